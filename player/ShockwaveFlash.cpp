#include "ShockwaveFlash.h"

#include "KeyMapping.h"
#include "MovieSession.h"
#include "PlayerMenu.h"
#include "PointerShape.h"
#include "ViewTransform.h"
#include "runtime/PointerCursor.h"
#include "windowing/Form.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace player {

namespace {

// The header needs a few dozen bytes even when compressed; this is ample.
constexpr qint64 kHeaderReadBytes = 4096;
constexpr double kZoomStep = 2;
constexpr double kMaxZoom = 64;

QColor rgbColor(std::int32_t rgb)
{
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

// The control's size in the screen's own pixels.
QSize devicePixels(QSize logical, qreal ratio)
{
    return QSize(static_cast<int>(std::lround(logical.width() * ratio)),
                 static_cast<int>(std::lround(logical.height() * ratio)));
}

} // namespace

QString failureLine(const QString& reason)
{
    return QStringLiteral("Cannot play this movie: ") + reason;
}

render::Quality qualityFromSetting(const QString& quality)
{
    if (quality.compare(QLatin1String("Low"), Qt::CaseInsensitive) == 0 ||
        quality.compare(QLatin1String("AutoLow"), Qt::CaseInsensitive) == 0)
        return render::Quality::Low;
    if (quality.compare(QLatin1String("Medium"), Qt::CaseInsensitive) == 0)
        return render::Quality::Medium;
    return render::Quality::High;
}

class ShockwaveFlash::View : public windowing::ControlWidget {
public:
    View(ShockwaveFlash& player, QWidget* parent) : ControlWidget(player, parent), m_player(player)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        // Its own pointer, never the one of the window beneath (a list label's hand).
        setCursor(Qt::ArrowCursor);
        // The movie hears the keys once it is clicked, Tab included.
        setFocusPolicy(Qt::ClickFocus);
        // The movie follows the pointer with no button held too.
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        m_player.paint(painter, event->rect());
    }
    void resizeEvent(QResizeEvent*) override { m_player.viewResized(); }
    void mousePressEvent(QMouseEvent* event) override
    {
        ControlWidget::mousePressEvent(event);
        m_player.pointer(QEvent::MouseButtonPress, event->position(), event->button());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        ControlWidget::mouseMoveEvent(event);
        m_player.pointer(QEvent::MouseMove, event->position(), Qt::NoButton);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        ControlWidget::mouseReleaseEvent(event);
        m_player.pointer(QEvent::MouseButtonRelease, event->position(), event->button());
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        m_player.key(QEvent::KeyPress, event->key(), event->text());
        m_player.textKey(*event);
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (!event->isAutoRepeat())
            m_player.key(QEvent::KeyRelease, event->key(), event->text());
    }
    bool focusNextPrevChild(bool) override { return false; }
    void wheelEvent(QWheelEvent* event) override
    {
        ControlWidget::wheelEvent(event);
        // A wheel step is 120; finer wheels add up to whole lines.
        m_wheel += event->angleDelta().y();
        const int lines = m_wheel / 120;
        m_wheel -= lines * 120;
        m_player.wheel(event->position(), lines);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        ControlWidget::focusInEvent(event);
        m_player.keyboardFocusChanged(true);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        ControlWidget::focusOutEvent(event);
        // The player's own menu does not take the keyboard from the movie.
        if (event->reason() != Qt::PopupFocusReason)
            m_player.keyboardFocusChanged(false);
    }
    void inputMethodEvent(QInputMethodEvent* event) override
    {
        m_player.commitText(event->commitString());
        event->accept();
    }
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override
    {
        return m_player.textQuery(query);
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        event->accept();
        if (m_player.settings().menu)
            showPlayerMenu(m_player, event->globalPos(), m_player.contextMenuAt(event->pos()));
    }

private:
    ShockwaveFlash& m_player;
    int m_wheel = 0;
};

ShockwaveFlash::ShockwaveFlash(windowing::Form& form, QString name, PlayerSettings settings)
    : WindowedControl(form, std::move(name)), m_settings(std::move(settings)),
      m_loop(m_settings.loop), m_scaleMode(scaleModeFromSetting(m_settings.scale)),
      m_quality(qualityFromSetting(m_settings.quality))
{
    setWidget(new View(*this, form.window()));
    m_time.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

ShockwaveFlash::~ShockwaveFlash() = default;

void ShockwaveFlash::setMovie(const QString& path)
{
    m_movie = path;
    m_header.reset();
    m_failure.clear();
    m_session.reset();
    m_timer.stop();
    m_zoom = 1;
    m_playing = m_settings.play;
    if (m_loader)
        m_loader->cancel();
    showPointer();

    // The header is read at once (a few bytes), so that a missing or foreign file says
    // so right away; the whole movie follows on a worker thread.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showFailure(QString::fromUtf8(swf::errorText(file.exists() ? swf::ErrorCode::CannotRead
                                                                   : swf::ErrorCode::CannotOpen)));
        return;
    }
    const QByteArray start = file.read(kHeaderReadBytes);
    auto header = swf::readMovieHeader(std::span(
        reinterpret_cast<const std::uint8_t*>(start.constData()), std::size_t(start.size())));
    if (!header) {
        showFailure(QString::fromStdString(header.error().message()));
        return;
    }
    m_header = *header;
    if (!m_loader)
        m_loader = std::make_unique<MovieLoader>(
            [this](MovieLoader::Result r) { movieLoaded(std::move(r)); });
    m_loader->load(path);
    redraw();
}

void ShockwaveFlash::showFailure(const QString& reason)
{
    m_failure = failureLine(reason);
    m_session.reset();
    m_timer.stop();
    showPointer();
    if (widget())
        widget()->update();
}

void ShockwaveFlash::movieLoaded(MovieLoader::Result result)
{
    if (!result) {
        showFailure(QString::fromStdString(result.error().message()));
        return;
    }
    // What the first frame's scripts may read: their address, the stage as the control
    // shows it.
    const auto prepare = [this](runtime::MoviePlayer& movie) {
        // Scripts read it as _url, and address the files beside the movie from it.
        movie.setMovieUrl(
            QUrl::fromLocalFile(QFileInfo(m_movie).absoluteFilePath()).toString().toStdString());
        movie.stageView().setScaleMode(stageScaleMode(m_scaleMode));
        if (widget())
            movie.setViewport(widget()->width(), widget()->height());
    };
    m_session = std::make_unique<MovieSession>(std::move(result.value()),
                                               importFetcherFor(QFileInfo(m_movie).absolutePath()),
                                               prepare, widget());
    runtime::MoviePlayer& movie = m_session->player();
    movie.setLoop(m_loop);
    if (!m_playing)
        movie.stop();
    m_clock.start(movie.frameRate(), movieTimeMs());
    redraw();
    scheduleTick();
    if (Visible())
        takeKeyboard();
}

void ShockwaveFlash::scheduleTick()
{
    if (!m_session || !Visible()) {
        m_timer.stop();
        return;
    }
    const std::int64_t wait = m_clock.msUntilNextFrame(movieTimeMs());
    if (wait >= 0)
        m_timer.start(static_cast<int>(std::min<std::int64_t>(wait, 1000 * 60)));
}

std::int64_t ShockwaveFlash::movieTimeMs()
{
    return m_soundClock.now(m_time.elapsed(),
                            m_session ? m_session->streamSoundMs() : std::nullopt);
}

void ShockwaveFlash::tick()
{
    if (!m_session)
        return;
    const int due = m_clock.framesDue(movieTimeMs());
    m_session->advance(due);
    // A movie loaded into level 0 may have brought another rate.
    const double rate = m_session ? m_session->player().frameRate() : 0;
    if (m_session && std::min(rate, PlaybackClock::kMaxFrameRate) != m_clock.framesPerSecond())
        m_clock.start(rate, movieTimeMs());
    followMovie();
    scheduleTick();
}

void ShockwaveFlash::Play()
{
    m_playing = true;
    if (m_session) {
        m_session->player().play();
        m_session->setSoundPaused(false);
        followMovie();
    }
    scheduleTick();
}

void ShockwaveFlash::Stop()
{
    m_playing = false;
    if (m_session) {
        m_session->player().stop();
        m_session->setSoundPaused(true);
    }
}

void ShockwaveFlash::visibilityChanged()
{
    WindowedControl::visibilityChanged();
    // A hidden player does no work; it takes up the movie's time where it left off.
    if (Visible() && m_session) {
        m_clock.start(m_session->player().frameRate(), movieTimeMs());
        scheduleTick();
        takeKeyboard();
    } else {
        m_timer.stop();
    }
    followFullScreen();
}

void ShockwaveFlash::setBackgroundColor(std::int32_t rgb)
{
    m_backgroundColor = rgb < 0 ? -1 : (rgb & 0xffffff);
    redraw();
}

void ShockwaveFlash::setScaleMode(std::int32_t mode)
{
    if (mode < 0 || mode > 3)
        return; // the control keeps its mode for values it does not know
    m_scaleMode = static_cast<player::ScaleMode>(mode);
    if (m_session)
        m_session->player().stageView().setScaleMode(stageScaleMode(m_scaleMode));
    redraw();
}

void ShockwaveFlash::setLoop(bool loop)
{
    m_loop = loop;
    if (m_session)
        m_session->player().setLoop(loop);
}

void ShockwaveFlash::Rewind()
{
    if (!m_session)
        return;
    m_session->player().gotoFrame(0);
    m_session->player().stop();
    m_playing = false;
    redraw();
}

void ShockwaveFlash::Forward()
{
    if (!m_session)
        return;
    m_session->player().nextFrame();
    m_playing = false;
    redraw();
}

void ShockwaveFlash::Back()
{
    if (!m_session)
        return;
    m_session->player().prevFrame();
    m_playing = false;
    redraw();
}

void ShockwaveFlash::setQuality(render::Quality quality)
{
    m_quality = quality;
    redraw();
}

void ShockwaveFlash::zoomIn()
{
    m_zoom = std::min(m_zoom * kZoomStep, kMaxZoom);
    redraw();
}

void ShockwaveFlash::zoomOut()
{
    m_zoom = std::max(m_zoom / kZoomStep, 1.0);
    redraw();
}

void ShockwaveFlash::showAll()
{
    m_zoom = 1;
    redraw();
}

long ShockwaveFlash::currentFrame() const
{
    return m_session ? static_cast<long>(m_session->player().currentFrame()) : -1;
}

QTransform ShockwaveFlash::viewTransform() const
{
    const swf::Rect stage = m_session ? m_session->player().stage() : swf::Rect{};
    const QSizeF size = widget() ? QSizeF(widget()->size()) : QSizeF();
    // The movie's own settings, which start from the control's and which scripts change.
    if (m_session)
        return stageToView(stage, size, m_session->player().stageView(), m_zoom);
    return stageToView(stage, size, m_scaleMode, m_zoom);
}

void ShockwaveFlash::drawPicture()
{
    QWidget* view = widget();
    if (!m_session || !view || view->size().isEmpty())
        return;
    // Drawn at the screen's own pixels, so that a scaled screen shows the movie sharp.
    const qreal ratio = view->devicePixelRatioF();
    const QSize size = devicePixels(view->size(), ratio);
    if (m_picture.size() != size)
        m_picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (m_picture.devicePixelRatio() != ratio)
        m_picture.setDevicePixelRatio(ratio);
    std::optional<QColor> background;
    if (m_backgroundColor >= 0)
        background = rgbColor(m_backgroundColor);
    m_session->draw(m_picture, viewTransform() * QTransform::fromScale(ratio, ratio), m_quality,
                    background);
    m_drawnStageVersion = m_session->player().stageView().version();
}

void ShockwaveFlash::redraw()
{
    QWidget* view = widget();
    if (!view)
        return;
    drawPicture();
    view->update();
    showPointer();
    followFullScreen();
}

void ShockwaveFlash::viewResized()
{
    tellViewport();
    redraw();
}

void ShockwaveFlash::tellViewport()
{
    if (m_session && widget())
        m_session->player().setViewport(widget()->width(), widget()->height());
}

void ShockwaveFlash::paint(QPainter& painter, const QRect& area)
{
    QWidget* view = widget();
    // The window moved to a screen of another pixel ratio since the last picture.
    if (m_session && m_picture.size() != devicePixels(view->size(), view->devicePixelRatioF()))
        drawPicture();
    if (m_session && m_picture.size() == devicePixels(view->size(), view->devicePixelRatioF())) {
        const qreal ratio = m_picture.devicePixelRatio();
        painter.drawImage(QRectF(area), m_picture,
                          QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                                 area.height() * ratio));
        return;
    }
    painter.fillRect(area, Qt::black);
    if (!m_failure.isEmpty()) {
        painter.setPen(QColor(0xd0, 0xd0, 0xd0));
        const QRect line = view->rect().adjusted(8, 0, -8, 0);
        painter.drawText(line, Qt::AlignVCenter | Qt::AlignLeft,
                         view->fontMetrics().elidedText(m_failure, Qt::ElideRight, line.width()));
    }
}

void ShockwaveFlash::pointer(QEvent::Type type, QPointF pixel, Qt::MouseButton button)
{
    if (!m_session)
        return;
    bool invertible = false;
    const QPointF twips = viewTransform().inverted(&invertible).map(pixel);
    if (!invertible)
        return;
    runtime::MoviePlayer& movie = m_session->player();
    const QTransform view = viewTransform();
    movie.input().setViewMatrix(
        swf::Matrix{view.m11(), view.m12(), view.m21(), view.m22(), view.dx(), view.dy()});
    const auto mouseButton =
        [](Qt::MouseButton qt) -> std::optional<runtime::MoviePlayer::MouseButton> {
        switch (qt) {
        case Qt::LeftButton:
            return runtime::MoviePlayer::MouseButton::Left;
        case Qt::RightButton:
            return runtime::MoviePlayer::MouseButton::Right;
        case Qt::MiddleButton:
            return runtime::MoviePlayer::MouseButton::Middle;
        default:
            return std::nullopt;
        }
    };
    if (type == QEvent::MouseMove) {
        movie.pointerMove(twips.x(), twips.y());
    } else if (const auto which = mouseButton(button)) {
        if (type == QEvent::MouseButtonPress)
            movie.pointerDown(twips.x(), twips.y(), *which);
        else if (type == QEvent::MouseButtonRelease)
            movie.pointerUp(twips.x(), twips.y(), *which);
    }
    followMovie();
}

runtime::ContextMenuModel ShockwaveFlash::contextMenuAt(QPointF pixel)
{
    if (!m_session)
        return {};
    bool invertible = false;
    const QPointF twips = viewTransform().inverted(&invertible).map(pixel);
    if (!invertible)
        return {};
    runtime::ContextMenuModel model = m_session->player().openContextMenu(twips.x(), twips.y());
    followMovie();
    return model;
}

void ShockwaveFlash::chooseMenuItem(std::size_t index)
{
    if (!m_session)
        return;
    m_session->player().chooseContextMenuItem(index);
    followMovie();
}

void ShockwaveFlash::key(QEvent::Type type, int qtKey, const QString& text)
{
    if (!m_session)
        return;
    const std::optional<MovieKey> pressed = movieKey(qtKey, text);
    if (!pressed)
        return;
    runtime::MoviePlayer& movie = m_session->player();
    if (type == QEvent::KeyPress)
        movie.keyDown(pressed->code, pressed->ascii);
    else if (type == QEvent::KeyRelease)
        movie.keyUp(pressed->code, pressed->ascii);
    followMovie();
}

void ShockwaveFlash::followFullScreen()
{
    QWidget* view = widget();
    const bool wanted =
        view && m_session && Visible() && m_session->player().stageView().fullScreen();
    if (!view || wanted == m_fullScreen)
        return;
    m_fullScreen = wanted;
    if (wanted)
        view->window()->showFullScreen();
    else
        view->window()->showNormal();
}

void ShockwaveFlash::followMovie()
{
    if (!m_session)
        return;
    followFullScreen();
    if (m_session->needsRedraw() ||
        m_session->player().stageView().version() != m_drawnStageVersion)
        redraw();
    else
        showPointer();
    updateTextInput();
}

void ShockwaveFlash::showPointer()
{
    QWidget* view = widget();
    if (!view)
        return;
    const Qt::CursorShape shape =
        m_session ? cursorShapeFor(runtime::pointerCursor(m_session->player())) : Qt::ArrowCursor;
    if (view->cursor().shape() != shape)
        view->setCursor(shape);
}

} // namespace player
