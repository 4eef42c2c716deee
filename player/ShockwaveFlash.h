#pragma once

#include "MovieLoader.h"
#include "PlaybackClock.h"
#include "PlayerSettings.h"
#include "SoundClock.h"
#include "format/MovieHeader.h"
#include "render/Quality.h"
#include "runtime/ContextMenu.h"
#include "windowing/WindowedControl.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>

namespace runtime {
class MoviePlayer;
} // namespace runtime

namespace player {

class MovieSession;

// The player control on the main window. Visible and Move come from the window layer
// like any control's; the rest is the player's own: the movie to play, play and stop,
// the background colour and the scale mode, and its context menu. A movie loads on a
// worker thread; until its first frame is ready the control shows black, and a movie
// that cannot be played shows why, on one line. Nothing of the engine runs before a
// movie is set.
class ShockwaveFlash : public windowing::WindowedControl {
public:
    ShockwaveFlash(windowing::Form& form, QString name, PlayerSettings settings = {});
    ~ShockwaveFlash() override;

    const PlayerSettings& settings() const { return m_settings; }

    const QString& Movie() const { return m_movie; }
    // Makes the file the current movie from its first frame, replacing any earlier one
    // (a load still under way included), even when the path is the same. Nothing is
    // raised for a file that cannot be played.
    void setMovie(const QString& path);
    void Play();
    void Stop();
    bool IsPlaying() const { return m_playing; }

    // 0xRRGGBB, or -1 for the movie's own background.
    std::int32_t BackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(std::int32_t rgb);
    std::int32_t ScaleMode() const { return static_cast<std::int32_t>(m_scaleMode); }
    void setScaleMode(std::int32_t mode);

    // The context menu's commands.
    bool Loop() const { return m_loop; }
    void setLoop(bool loop);
    void Rewind();
    void Forward();
    void Back();
    render::Quality quality() const { return m_quality; }
    void setQuality(render::Quality quality);
    double zoom() const { return m_zoom; }
    void zoomIn();
    void zoomOut();
    void showAll();

    // What the control knows of its movie.
    const std::optional<swf::MovieHeader>& header() const { return m_header; }
    const QString& failure() const { return m_failure; }
    bool isLoading() const { return m_loader && m_loader->isLoading(); }
    bool hasMovie() const { return m_session != nullptr; }
    // The main timeline's current frame, counted from 0; -1 without a movie.
    long currentFrame() const;
    // The movie as the engine plays it, null without one.
    const runtime::MoviePlayer* moviePlayer() const;
    // The picture last drawn, at the control's size in device pixels (its device pixel
    // ratio is the screen's).
    const QImage& picture() const { return m_picture; }

    // Input and painting, from the control's widget.
    void pointer(QEvent::Type type, QPointF pixel, Qt::MouseButton button);
    // The context menu opened at `pixel`: what the movie makes of it (see PlayerMenu).
    runtime::ContextMenuModel contextMenuAt(QPointF pixel);
    // The movie's own menu item `index` was chosen.
    void chooseMenuItem(std::size_t index);
    // A key pressed (KeyPress) or released (KeyRelease): Qt's key and the text it typed.
    void key(QEvent::Type type, int qtKey, const QString& text);
    void viewResized();
    void paint(QPainter& painter, const QRect& area);
    // Text and the wheel, from the control's widget (ShockwaveFlashText.cpp). A text
    // field of the movie has the focus: the control then takes text from the keys and
    // from input methods.
    bool takesText() const;
    // A key press for the focused field: an editing command (Paste and Copy keep the
    // system's clipboard in step with the movie's) or the text it types.
    void textKey(const QKeyEvent& event);
    // Text an input method composed.
    void commitText(const QString& text);
    // What input methods ask about the focused field.
    QVariant textQuery(Qt::InputMethodQuery query) const;
    void wheel(QPointF pixel, int lines);
    // The control's widget took or lost the keyboard.
    void keyboardFocusChanged(bool hasFocus);

protected:
    void visibilityChanged() override;

private:
    class View;
    void showFailure(const QString& reason);
    void movieLoaded(MovieLoader::Result result);
    void tick();
    // The movie's time, by the sound's clock while a stream sound plays.
    std::int64_t movieTimeMs();
    void scheduleTick();
    void redraw();
    // Draws the movie into the picture, without asking for a paint.
    void drawPicture();
    // The pointer the movie asks for, over the control.
    void showPointer();
    // After a call into the movie: the picture and the pointer follow what it changed.
    void followMovie();
    // The window covers the whole screen, taskbar included, while the movie shown asks
    // for full screen (Stage.displayState), and goes back to its size after.
    void followFullScreen();
    // Input methods follow the focused field (or its going).
    void updateTextInput();
    // A movie playing in view has the keyboard, as if it had been clicked.
    void takeKeyboard();
    // The movie learns the control's size, in pixels.
    void tellViewport();
    QTransform viewTransform() const;

    PlayerSettings m_settings;
    QString m_movie;
    bool m_playing = false;
    bool m_fullScreen = false;
    bool m_loop = true;
    std::int32_t m_backgroundColor = -1;
    player::ScaleMode m_scaleMode;
    render::Quality m_quality = render::Quality::High;
    double m_zoom = 1;
    std::optional<swf::MovieHeader> m_header;
    QString m_failure;

    std::unique_ptr<MovieLoader> m_loader;
    std::unique_ptr<MovieSession> m_session;
    PlaybackClock m_clock;
    SoundClock m_soundClock;
    QElapsedTimer m_time;
    QTimer m_timer;
    QImage m_picture;
    // The movie's stage settings the picture was drawn with.
    std::uint64_t m_drawnStageVersion = 0;
};

// The line the player shows for a movie it cannot play.
QString failureLine(const QString& reason);
render::Quality qualityFromSetting(const QString& quality);

} // namespace player
