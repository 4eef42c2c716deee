#include "PointerShape.h"

namespace player {

Qt::CursorShape cursorShapeFor(runtime::PointerCursor cursor)
{
    switch (cursor) {
    case runtime::PointerCursor::Hand:
        return Qt::PointingHandCursor;
    case runtime::PointerCursor::IBeam:
        return Qt::IBeamCursor;
    case runtime::PointerCursor::Hidden:
        return Qt::BlankCursor;
    case runtime::PointerCursor::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace player
