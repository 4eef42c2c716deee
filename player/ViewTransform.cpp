#include "ViewTransform.h"

#include "StageLayout.h"

namespace player {

QTransform stageToView(const swf::Rect& stage, QSizeF view, ScaleMode mode, double zoom)
{
    const double widthTwips = std::max(1, stage.width().value);
    const double heightTwips = std::max(1, stage.height().value);
    const QRectF placed = stageRectInView(
        QSizeF(widthTwips / swf::Twips::kPerPixel, heightTwips / swf::Twips::kPerPixel), view,
        mode);
    QTransform transform;
    const QPointF centre(view.width() / 2, view.height() / 2);
    transform.translate(centre.x(), centre.y());
    transform.scale(zoom, zoom);
    transform.translate(-centre.x(), -centre.y());
    transform.translate(placed.x(), placed.y());
    transform.scale(placed.width() / widthTwips, placed.height() / heightTwips);
    transform.translate(-stage.xMin.value, -stage.yMin.value);
    return transform;
}

} // namespace player
