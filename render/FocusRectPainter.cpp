#include "FocusRectPainter.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace render {

namespace {

constexpr double kStagePixelsWide = 3;
const QColor kFocusColor(255, 255, 0);

} // namespace

QRect focusRectPixels(const swf::Rect& box, const QTransform& view)
{
    const QRectF mapped = view.mapRect(
        QRectF(QPointF(box.xMin.value, box.yMin.value), QPointF(box.xMax.value, box.yMax.value)));
    const int left = static_cast<int>(std::lround(mapped.left()));
    const int top = static_cast<int>(std::lround(mapped.top()));
    const int right = static_cast<int>(std::lround(mapped.right()));
    const int bottom = static_cast<int>(std::lround(mapped.bottom()));
    if (right <= left || bottom <= top)
        return {};
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void paintFocusRect(QImage& target, const QRect& box, double pixelScale)
{
    const QRect visible = box.intersected(target.rect());
    if (visible.isEmpty())
        return;
    const int wide = std::max(1, static_cast<int>(std::lround(kStagePixelsWide * pixelScale)));
    QPainter painter(&target);
    painter.setClipRect(visible);
    // Four bands, so that a box narrower than two of them is filled, not crossed.
    const int across = std::min(wide, box.width());
    const int down = std::min(wide, box.height());
    painter.fillRect(QRect(box.left(), box.top(), box.width(), down), kFocusColor);
    painter.fillRect(QRect(box.left(), box.bottom() - down + 1, box.width(), down), kFocusColor);
    painter.fillRect(QRect(box.left(), box.top(), across, box.height()), kFocusColor);
    painter.fillRect(QRect(box.right() - across + 1, box.top(), across, box.height()), kFocusColor);
}

} // namespace render
