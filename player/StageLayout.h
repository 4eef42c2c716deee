#pragma once

#include "PlayerSettings.h"

#include <QRectF>
#include <QSizeF>

namespace player {

// Where the stage goes in a view of the given size under a scale mode: show-all fits
// it whole and centred, no-border fills the view and crops, exact-fit stretches it,
// no-scale keeps its size, centred.
QRectF stageRectInView(QSizeF stagePixels, QSizeF viewPixels, ScaleMode mode);

} // namespace player
