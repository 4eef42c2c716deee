#include "StageLayout.h"

#include <algorithm>

namespace player {

QRectF stageRectInView(QSizeF stage, QSizeF view, ScaleMode mode)
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
    return QRectF(QPointF((view.width() - size.width()) / 2, (view.height() - size.height()) / 2),
                  size);
}

} // namespace player
