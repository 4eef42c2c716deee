#include "ViewTransform.h"

#include "StageLayout.h"

namespace player {

QTransform stageToView(const swf::Rect& stage, QSizeF view, ScaleMode mode, double zoom,
                       std::uint8_t align)
{
    const double widthTwips = std::max(1, stage.width().value);
    const double heightTwips = std::max(1, stage.height().value);
    const QRectF placed = stageRectInView(
        QSizeF(widthTwips / swf::Twips::kPerPixel, heightTwips / swf::Twips::kPerPixel), view, mode,
        align);
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

QTransform stageToView(const swf::Rect& stage, QSizeF view, const runtime::StageView& settings,
                       double zoom)
{
    return stageToView(stage, view, scaleModeOf(settings.scaleMode()), zoom, settings.align());
}

ScaleMode scaleModeOf(runtime::StageScaleMode mode)
{
    switch (mode) {
    case runtime::StageScaleMode::NoBorder:
        return ScaleMode::NoBorder;
    case runtime::StageScaleMode::ExactFit:
        return ScaleMode::ExactFit;
    case runtime::StageScaleMode::NoScale:
        return ScaleMode::NoScale;
    case runtime::StageScaleMode::ShowAll:
        break;
    }
    return ScaleMode::ShowAll;
}

runtime::StageScaleMode stageScaleMode(ScaleMode mode)
{
    switch (mode) {
    case ScaleMode::NoBorder:
        return runtime::StageScaleMode::NoBorder;
    case ScaleMode::ExactFit:
        return runtime::StageScaleMode::ExactFit;
    case ScaleMode::NoScale:
        return runtime::StageScaleMode::NoScale;
    case ScaleMode::ShowAll:
        break;
    }
    return runtime::StageScaleMode::ShowAll;
}

} // namespace player
