#pragma once

#include <cstdint>

namespace runtime {

// Key codes as scripts see them (Key.getCode, Key.isDown, Key.isToggled): the virtual
// key codes of a PC keyboard. Letters are numbered by their capital, digits by
// themselves; the mouse buttons are keys too.
namespace key {
inline constexpr int MouseLeft = 1;
inline constexpr int MouseRight = 2;
inline constexpr int MouseMiddle = 4;
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Pause = 19;
inline constexpr int CapsLock = 20;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112; // F1 to F15 follow on
inline constexpr int NumLock = 144;
inline constexpr int ScrollLock = 145;
// Codes are one byte: Key.isDown of anything larger is false.
inline constexpr int Count = 256;
} // namespace key

// The key that types `character` on a US keyboard ('a' and 'A' are 65, ';' is 186);
// 0 when no key does.
int keyCodeForCharacter(char32_t character);

// The character code scripts get from Key.getAscii for a key that types no character
// of its own (Enter is 13, Escape 27, Delete 127); 0 for keys such as the arrows.
int asciiOfKey(int keyCode);

// The key code a DefineButton2 key-press condition names for a key press: 1 to 19 for
// the special keys (left, right, home, end, insert, delete, backspace, enter, up,
// down, page up, page down, tab, escape), else the character typed (32 to 126); 0 when
// no condition can match.
std::uint8_t buttonKeyCode(int keyCode, int ascii);

} // namespace runtime
