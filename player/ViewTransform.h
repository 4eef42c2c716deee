#pragma once

#include "PlayerSettings.h"
#include "format/Geometry.h"
#include "runtime/StageView.h"

#include <QSizeF>
#include <QTransform>

namespace player {

// The mapping from the stage's twips to the view's pixels: the stage placed by the
// scale mode and the alignment (runtime::StageAlign's bits), then magnified by `zoom`
// about the view's centre.
QTransform stageToView(const swf::Rect& stage, QSizeF view, ScaleMode mode, double zoom = 1,
                       std::uint8_t align = 0);
// The same as the movie's stage settings say (its scale mode and alignment, which the
// host starts and scripts may change).
QTransform stageToView(const swf::Rect& stage, QSizeF view, const runtime::StageView& settings,
                       double zoom = 1);
ScaleMode scaleModeOf(runtime::StageScaleMode mode);
runtime::StageScaleMode stageScaleMode(ScaleMode mode);

} // namespace player
