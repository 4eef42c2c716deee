#include "StageLayout.h"

#include "runtime/StageView.h"

#include <algorithm>

namespace player {

QRectF stageRectInView(QSizeF stage, QSizeF view, ScaleMode mode, std::uint8_t align)
{
    if (stage.width() <= 0 || stage.height() <= 0 || view.isEmpty())
        return QRectF(QPointF(0, 0), view);
    double sx = view.width() / stage.width();
    double sy = view.height() / stage.height();
    switch (mode) {
    case ScaleMode::ExactFit:
        break;
    case ScaleMode::ShowAll:
        sx = sy = std::min(sx, sy);
        break;
    case ScaleMode::NoBorder:
        sx = sy = std::max(sx, sy);
        break;
    case ScaleMode::NoScale:
        sx = sy = 1;
        break;
    }
    const QSizeF size(stage.width() * sx, stage.height() * sy);
    const auto place = [](double room, std::uint8_t bits, std::uint8_t before, std::uint8_t after) {
        if (bits & before)
            return 0.0;
        return bits & after ? room : room / 2;
    };
    return QRectF(QPointF(place(view.width() - size.width(), align, runtime::StageAlign::Left,
                                runtime::StageAlign::Right),
                          place(view.height() - size.height(), align, runtime::StageAlign::Top,
                                runtime::StageAlign::Bottom)),
                  size);
}

} // namespace player
