#include "mTaskBarSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace mTaskBarSize {

namespace {

RECT toRect(const QRect& r)
{
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

} // namespace

RECT taskbarRectFrom(const QRect& screen, const QRect& available)
{
    if (!screen.isValid() || !available.isValid() || available == screen)
        return RECT{};
    // The band above, below, left of and right of the available area, each spanning
    // the screen's full width or height.
    const std::array<QRect, 4> bands = {
        QRect(screen.left(), screen.top(), screen.width(), available.top() - screen.top()),
        QRect(screen.left(), available.bottom() + 1, screen.width(),
              screen.bottom() - available.bottom()),
        QRect(screen.left(), screen.top(), available.left() - screen.left(), screen.height()),
        QRect(available.right() + 1, screen.top(), screen.right() - available.right(),
              screen.height()),
    };
    const QRect* largest = nullptr;
    for (const QRect& band : bands) {
        if (band.width() <= 0 || band.height() <= 0)
            continue;
        const auto area = qint64(band.width()) * band.height();
        if (!largest || area > qint64(largest->width()) * largest->height())
            largest = &band;
    }
    return largest ? toRect(*largest) : RECT{};
}

RECT taskbarRectOn(QStringView platformName, const std::optional<ScreenAreas>& primary)
{
    // Wayland hides other clients' panels: the available area there says nothing.
    if (platformName.startsWith(QLatin1String("wayland")) || !primary)
        return RECT{};
    return taskbarRectFrom(primary->screen, primary->available);
}

RECT GetTaskbarRect()
{
    std::optional<ScreenAreas> primary;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        primary = ScreenAreas{screen->geometry(), screen->availableGeometry()};
    return taskbarRectOn(QGuiApplication::platformName(), primary);
}

} // namespace mTaskBarSize
