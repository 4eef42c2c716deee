#pragma once

#include "KeyCodes.h"

#include <bitset>

namespace runtime {

// Which keys are down and which are toggled (Caps Lock's light, and every other key's
// own flag, which flips at each press), and the key scripts last heard of: what
// Key.isDown, Key.isToggled, Key.getCode and Key.getAscii answer. Codes outside
// 0 to key::Count - 1 are never down.
class KeyboardState {
public:
    void press(int keyCode, int ascii);
    void release(int keyCode, int ascii);

    bool isDown(int keyCode) const;
    bool isToggled(int keyCode) const;
    // The key of the last press or release, and the character it typed (0 for none).
    int lastCode() const { return m_lastCode; }
    int lastAscii() const { return m_lastAscii; }

private:
    static bool inRange(int keyCode) { return keyCode >= 0 && keyCode < key::Count; }

    std::bitset<key::Count> m_down;
    std::bitset<key::Count> m_toggled;
    int m_lastCode = 0;
    int m_lastAscii = 0;
};

} // namespace runtime
