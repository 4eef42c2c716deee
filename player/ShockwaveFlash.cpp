#include "ShockwaveFlash.h"

#include "StageLayout.h"
#include "windowing/Form.h"

#include <QFile>
#include <QPainter>

namespace player {

namespace {

// The header needs a few dozen bytes even when compressed; this is ample.
constexpr qint64 kHeaderReadBytes = 4096;

QColor rgbColor(std::int32_t rgb)
{
    return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff);
}

} // namespace

QString failureLine(const QString& reason)
{
    return QStringLiteral("Cannot play this movie: ") + reason;
}

class ShockwaveFlash::View : public windowing::ControlWidget {
public:
    View(ShockwaveFlash& player, QWidget* parent) : ControlWidget(player, parent), m_player(player)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!m_player.m_failure.isEmpty()) {
            painter.setPen(QColor(0xd0, 0xd0, 0xd0));
            painter.drawText(
                rect().adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                fontMetrics().elidedText(m_player.m_failure, Qt::ElideRight, width() - 16));
            return;
        }
        if (!m_player.m_header)
            return;
        const swf::MovieHeader& header = *m_player.m_header;
        const QRectF stage = stageRectInView(QSizeF(header.widthPixels(), header.heightPixels()),
                                             size(), m_player.m_scaleMode);
        // Until frames are drawn, the stage shows its background: the control's colour
        // when set, else white, the movie's default.
        const QColor background = m_player.m_backgroundColor >= 0
                                      ? rgbColor(m_player.m_backgroundColor)
                                      : QColor(Qt::white);
        painter.fillRect(stage, background);
    }

private:
    ShockwaveFlash& m_player;
};

ShockwaveFlash::ShockwaveFlash(windowing::Form& form, QString name, PlayerSettings settings)
    : WindowedControl(form, std::move(name)), m_settings(std::move(settings)), m_playing(false),
      m_scaleMode(scaleModeFromSetting(m_settings.scale))
{
    setWidget(new View(*this, form.window()));
}

ShockwaveFlash::~ShockwaveFlash() = default;

void ShockwaveFlash::setMovie(const QString& path)
{
    m_movie = path;
    m_header.reset();
    m_failure.clear();
    m_playing = m_settings.play;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = failureLine(QString::fromUtf8(swf::errorText(
            file.exists() ? swf::ErrorCode::CannotRead : swf::ErrorCode::CannotOpen)));
    } else {
        const QByteArray start = file.read(kHeaderReadBytes);
        auto header =
            swf::readMovieHeader(std::span(reinterpret_cast<const std::uint8_t*>(start.constData()),
                                           static_cast<std::size_t>(start.size())));
        if (header)
            m_header = *header;
        else
            m_failure = failureLine(QString::fromStdString(header.error().message()));
    }
    if (widget())
        widget()->update();
}

void ShockwaveFlash::Play()
{
    m_playing = true;
}

void ShockwaveFlash::Stop()
{
    m_playing = false;
}

void ShockwaveFlash::setBackgroundColor(std::int32_t rgb)
{
    m_backgroundColor = rgb < 0 ? -1 : (rgb & 0xffffff);
    if (widget())
        widget()->update();
}

void ShockwaveFlash::setScaleMode(std::int32_t mode)
{
    if (mode < 0 || mode > 3)
        return; // the control keeps its mode for values it does not know
    m_scaleMode = static_cast<player::ScaleMode>(mode);
    if (widget())
        widget()->update();
}

} // namespace player
