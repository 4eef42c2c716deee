#pragma once

#include "runtime/PointerCursor.h"

#include <Qt>

namespace player {

// The pointer the control shows for what the movie asks: the platform's arrow, hand and
// text beam, or none.
Qt::CursorShape cursorShapeFor(runtime::PointerCursor cursor);

} // namespace player
