#pragma once

#include "AudioOutput.h"
#include "FileDialogs.h"
#include "format/Imports.h"
#include "format/Movie.h"
#include "render/Quality.h"
#include "render/ScriptRasterizer.h"
#include "render/StageRenderer.h"
#include "runtime/Host.h"
#include "runtime/MoviePlayer.h"
#include "runtime/ScriptEngine.h"

#include <QColor>
#include <QImage>
#include <QTransform>
#include <functional>
#include <memory>
#include <optional>

namespace player {

// One loaded movie being played in the control: the engine's player with its script
// engine, and the renderer that draws it, with the host they report to. Lives on the
// user-interface thread.
class MovieSession : private runtime::Host {
public:
    // `files` serves the files the movie's scripts load (XML, variables, other movies),
    // as its imports were found; without it the movie loads none. `prepare` sets the
    // player up (its address, how the stage is shown) before the first frame's scripts
    // run. The movie's file dialogs open over `dialogParent`.
    explicit MovieSession(swf::MoviePtr movie, swf::ImportFetcher files = {},
                          const std::function<void(runtime::MoviePlayer&)>& prepare = {},
                          QWidget* dialogParent = nullptr);
    ~MovieSession() override;

    runtime::MoviePlayer& player() { return *m_player; }
    const runtime::MoviePlayer& player() const { return *m_player; }

    // Steps the movie `frames` times.
    void advance(int frames);
    // Whether the picture changed since it was last drawn.
    bool needsRedraw() const { return m_dirty; }
    void markDirty() { m_dirty = true; }
    void draw(QImage& target, const QTransform& view, render::Quality quality,
              std::optional<QColor> background);
    // Stop silences the sound at once; Play lets it go on.
    void setSoundPaused(bool paused) { m_audio.setPaused(paused); }
    const AudioOutput& audio() const { return m_audio; }
    // The played time of the output while a timeline's stream sound plays, which the
    // movie's time then follows; nothing otherwise.
    std::optional<std::int64_t> streamSoundMs() const;

private:
    void requestRepaint() override { m_dirty = true; }
    void trace(std::string_view line) override;
    bool logEnabled(runtime::LogCategory category) const override;
    void log(runtime::LogCategory category, std::string_view message) override;
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override;
    std::shared_ptr<const runtime::FontMetrics> deviceFont(std::string_view family, bool bold,
                                                           bool italic) override;
    runtime::BitmapRasterizer* bitmapRasterizer() override { return &m_bitmaps; }
    runtime::AudioSink* audioSink() override { return &m_audio; }
    std::uint32_t openFileDialog(const runtime::FileDialogRequest& request) override
    {
        return m_dialogs.open(request);
    }
    std::optional<runtime::FileDialogAnswer> fileDialogAnswer(std::uint32_t ticket) override
    {
        return m_dialogs.answer(ticket);
    }
    bool writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes) override;

    swf::ImportFetcher m_files;
    FileDialogs m_dialogs;
    // Before the player, which scripts draw into bitmaps through while it lives.
    render::ScriptRasterizer m_bitmaps;
    // Before the player, which connects to it as it is made and lets go as it goes.
    AudioOutput m_audio;
    std::unique_ptr<runtime::MoviePlayer> m_player;
    // After the player: it detaches from the player as it goes.
    std::unique_ptr<runtime::ScriptEngine> m_scripts;
    render::StageRenderer m_renderer;
    bool m_dirty = true;
};

} // namespace player
