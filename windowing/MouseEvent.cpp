#include "MouseEvent.h"

namespace windowing {

std::int16_t buttonBits(Qt::MouseButtons buttons)
{
    std::int16_t bits = 0;
    if (buttons & Qt::LeftButton)
        bits |= LeftButton;
    if (buttons & Qt::RightButton)
        bits |= RightButton;
    if (buttons & Qt::MiddleButton)
        bits |= MiddleButton;
    return bits;
}

std::int16_t shiftBits(Qt::KeyboardModifiers modifiers)
{
    std::int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        bits |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        bits |= AltMask;
    return bits;
}

} // namespace windowing
