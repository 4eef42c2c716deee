#pragma once

#include "PlayerSettings.h"
#include "format/Geometry.h"

#include <QSizeF>
#include <QTransform>

namespace player {

// The mapping from the stage's twips to the view's pixels: the stage placed by the
// scale mode, then magnified by `zoom` about the view's centre.
QTransform stageToView(const swf::Rect& stage, QSizeF view, ScaleMode mode, double zoom = 1);

} // namespace player
