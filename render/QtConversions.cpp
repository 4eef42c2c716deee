#include "QtConversions.h"

#include <algorithm>
#include <cmath>

namespace render {

Qt::PenCapStyle toQtCap(swf::CapStyle cap)
{
    switch (cap) {
    case swf::CapStyle::None:
        return Qt::FlatCap;
    case swf::CapStyle::Square:
        return Qt::SquareCap;
    case swf::CapStyle::Round:
        break;
    }
    return Qt::RoundCap;
}

Qt::PenJoinStyle toQtJoin(swf::JoinStyle join)
{
    switch (join) {
    case swf::JoinStyle::Bevel:
        return Qt::BevelJoin;
    case swf::JoinStyle::Miter:
        return Qt::MiterJoin;
    case swf::JoinStyle::Round:
        break;
    }
    return Qt::RoundJoin;
}

double averageScale(const QTransform& transform)
{
    const double sx = std::hypot(transform.m11(), transform.m12());
    const double sy = std::hypot(transform.m21(), transform.m22());
    return (sx + sy) / 2;
}

double maxScale(const QTransform& transform)
{
    return std::max(std::hypot(transform.m11(), transform.m12()),
                    std::hypot(transform.m21(), transform.m22()));
}

QRect deviceBounds(const QRectF& bounds, const QTransform& transform)
{
    if (bounds.isNull())
        return {};
    const QRectF mapped = transform.mapRect(bounds);
    // Antialiasing and the rasteriser's rounding may touch one pixel beyond the exact box.
    constexpr double kLimit = 1 << 24;
    if (!std::isfinite(mapped.left()) || !std::isfinite(mapped.right()) ||
        std::abs(mapped.left()) > kLimit || std::abs(mapped.right()) > kLimit ||
        std::abs(mapped.top()) > kLimit || std::abs(mapped.bottom()) > kLimit)
        return QRect(-(1 << 24), -(1 << 24), 1 << 25, 1 << 25);
    return mapped.toAlignedRect().adjusted(-1, -1, 1, 1);
}

} // namespace render
