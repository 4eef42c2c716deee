#include "KeyboardState.h"

namespace runtime {

void KeyboardState::press(int keyCode, int ascii)
{
    m_lastCode = keyCode;
    m_lastAscii = ascii;
    if (!inRange(keyCode))
        return;
    m_down.set(static_cast<std::size_t>(keyCode));
    m_toggled.flip(static_cast<std::size_t>(keyCode));
}

void KeyboardState::release(int keyCode, int ascii)
{
    m_lastCode = keyCode;
    m_lastAscii = ascii;
    if (inRange(keyCode))
        m_down.reset(static_cast<std::size_t>(keyCode));
}

bool KeyboardState::isDown(int keyCode) const
{
    return inRange(keyCode) && m_down.test(static_cast<std::size_t>(keyCode));
}

bool KeyboardState::isToggled(int keyCode) const
{
    return inRange(keyCode) && m_toggled.test(static_cast<std::size_t>(keyCode));
}

} // namespace runtime
