#pragma once

#include "PlayerSettings.h"
#include "format/MovieHeader.h"
#include "windowing/WindowedControl.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace player {

// The player control on the main window. Visible and Move come from the window layer
// like any control's; the rest is the player's own: the movie to play, play and stop,
// the background colour and the scale mode.
class ShockwaveFlash : public windowing::WindowedControl {
public:
    ShockwaveFlash(windowing::Form& form, QString name, PlayerSettings settings = {});
    ~ShockwaveFlash() override;

    const PlayerSettings& settings() const { return m_settings; }

    const QString& Movie() const { return m_movie; }
    // Makes the file the current movie, replacing any earlier one, even when the path
    // is the same. A file that cannot be played leaves the player showing why, on
    // black; nothing is raised.
    void setMovie(const QString& path);
    void Play();
    void Stop();
    bool IsPlaying() const { return m_playing; }

    // 0xRRGGBB, or -1 for the movie's own background.
    std::int32_t BackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::int32_t rgb);
    std::int32_t ScaleMode() const { return static_cast<std::int32_t>(m_scaleMode); }
    void setScaleMode(std::int32_t mode);

    // What the control knows of its movie: its header once read, or why it cannot be
    // played.
    const std::optional<swf::MovieHeader>& header() const { return m_header; }
    const QString& failure() const { return m_failure; }

private:
    class View;
    friend class View;

    PlayerSettings m_settings;
    QString m_movie;
    bool m_playing = false;
    std::int32_t m_backgroundColor = -1;
    player::ScaleMode m_scaleMode;
    std::optional<swf::MovieHeader> m_header;
    QString m_failure;
};

// The line the player shows for a movie it cannot play.
QString failureLine(const QString& reason);

} // namespace player
