#pragma once

#include "Twips.h"

#include <Qt>
#include <cstdint>

class QMouseEvent;

namespace windowing {

// Button and shift-key bits as the event arguments carry them.
enum MouseButtonBit : std::int16_t { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum ShiftBit : std::int16_t { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

struct MouseEventArgs {
    std::int16_t button = 0; // the button pressed or released; for moves, every button held
    std::int16_t shift = 0;
    Twips x = 0; // relative to the receiver's top-left corner
    Twips y = 0;
};

std::int16_t buttonBits(Qt::MouseButtons buttons);
std::int16_t shiftBits(Qt::KeyboardModifiers modifiers);

} // namespace windowing
