#include "KeyCodes.h"

#include <array>
#include <utility>

namespace runtime {

namespace {

// Punctuation keys of a US keyboard, with the character each types unshifted and
// shifted.
struct PunctuationKey {
    char plain;
    char shifted;
    int code;
};

constexpr std::array<PunctuationKey, 11> kPunctuation{{
    {';', ':', 186},
    {'=', '+', 187},
    {',', '<', 188},
    {'-', '_', 189},
    {'.', '>', 190},
    {'/', '?', 191},
    {'`', '~', 192},
    {'[', '{', 219},
    {'\\', '|', 220},
    {']', '}', 221},
    {'\'', '"', 222},
}};

// The digit keys' shifted characters, from 0 to 9.
constexpr char kShiftedDigits[] = ")!@#$%^&*(";

// The special keys a button's key-press condition can name.
constexpr std::array<std::pair<int, std::uint8_t>, 14> kButtonKeys{{
    {key::Left, 1},
    {key::Right, 2},
    {key::Home, 3},
    {key::End, 4},
    {key::Insert, 5},
    {key::Delete, 6},
    {key::Backspace, 8},
    {key::Enter, 13},
    {key::Up, 14},
    {key::Down, 15},
    {key::PageUp, 16},
    {key::PageDown, 17},
    {key::Tab, 18},
    {key::Escape, 19},
}};

} // namespace

int keyCodeForCharacter(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<int>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return static_cast<int>(c);
    if (c == ' ')
        return key::Space;
    for (int digit = 0; digit < 10; ++digit) {
        if (c == static_cast<char32_t>(kShiftedDigits[digit]))
            return '0' + digit;
    }
    for (const PunctuationKey& k : kPunctuation) {
        if (c == static_cast<char32_t>(k.plain) || c == static_cast<char32_t>(k.shifted))
            return k.code;
    }
    return 0;
}

int asciiOfKey(int keyCode)
{
    switch (keyCode) {
    case key::Backspace:
    case key::Tab:
    case key::Enter:
    case key::Escape:
    case key::Space:
        return keyCode;
    case key::Delete:
        return 127;
    default:
        return 0;
    }
}

std::uint8_t buttonKeyCode(int keyCode, int ascii)
{
    for (const auto& [code, buttonCode] : kButtonKeys) {
        if (code == keyCode)
            return buttonCode;
    }
    if (ascii >= 32 && ascii <= 126)
        return static_cast<std::uint8_t>(ascii);
    return 0;
}

} // namespace runtime
