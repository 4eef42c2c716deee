#pragma once

#include "PlayerSettings.h"

#include <QRectF>
#include <QSizeF>
#include <cstdint>

namespace player {

// Where the stage goes in a view of the given size under a scale mode: show-all fits
// it whole, no-border fills the view and crops, exact-fit stretches it, no-scale keeps
// its size. It is centred but along the edges `align` names (runtime::StageAlign's
// bits; left and top win over right and bottom).
QRectF stageRectInView(QSizeF stagePixels, QSizeF viewPixels, ScaleMode mode,
                       std::uint8_t align = 0);

} // namespace player
