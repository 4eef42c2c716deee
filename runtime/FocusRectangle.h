#pragma once

#include "format/Geometry.h"

#include <optional>

namespace runtime {

class PlayerContext;

// The rectangle the focus shows, stage twips, while the keys reach the focused button or
// clip and its _focusrect was on as it took the focus: around a button's hit area, or a clip's
// bounds. Text fields show their caret instead. Nothing when there is nothing to show.
std::optional<swf::Rect> focusRectangle(const PlayerContext& context);

} // namespace runtime
