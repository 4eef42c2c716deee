#include "KeyMapping.h"

#include "runtime/KeyCodes.h"

#include <Qt>
#include <array>
#include <utility>

namespace player {

namespace {

namespace key = runtime::key;

constexpr std::array<std::pair<int, int>, 25> kSpecialKeys{{
    {Qt::Key_Backspace, key::Backspace},
    {Qt::Key_Tab, key::Tab},
    {Qt::Key_Backtab, key::Tab},
    {Qt::Key_Return, key::Enter},
    {Qt::Key_Enter, key::Enter},
    {Qt::Key_Shift, key::Shift},
    {Qt::Key_Control, key::Control},
    {Qt::Key_Alt, key::Alt},
    {Qt::Key_Pause, key::Pause},
    {Qt::Key_CapsLock, key::CapsLock},
    {Qt::Key_Escape, key::Escape},
    {Qt::Key_Space, key::Space},
    {Qt::Key_PageUp, key::PageUp},
    {Qt::Key_PageDown, key::PageDown},
    {Qt::Key_End, key::End},
    {Qt::Key_Home, key::Home},
    {Qt::Key_Left, key::Left},
    {Qt::Key_Up, key::Up},
    {Qt::Key_Right, key::Right},
    {Qt::Key_Down, key::Down},
    {Qt::Key_Insert, key::Insert},
    {Qt::Key_Delete, key::Delete},
    {Qt::Key_NumLock, key::NumLock},
    {Qt::Key_ScrollLock, key::ScrollLock},
    {Qt::Key_Meta, 0},
}};

// Function keys the engine numbers: F1 to F15.
constexpr int kFunctionKeys = 15;

// The character the event typed, when it is one byte scripts can see.
int typedAscii(const QString& text)
{
    if (text.size() != 1)
        return 0;
    const char16_t c = text.front().unicode();
    return c < 0x80 ? c : 0;
}

} // namespace

std::optional<MovieKey> movieKey(int qtKey, const QString& text)
{
    for (const auto& [qt, code] : kSpecialKeys) {
        if (qt != qtKey)
            continue;
        if (code == 0)
            return std::nullopt;
        return MovieKey{code, runtime::asciiOfKey(code)};
    }
    if (qtKey >= Qt::Key_F1 && qtKey < Qt::Key_F1 + kFunctionKeys)
        return MovieKey{key::F1 + (qtKey - Qt::Key_F1), 0};
    // Printable keys: Qt numbers them by their (capital) Latin-1 character.
    if (qtKey > 0x20 && qtKey < 0x7f) {
        const int code = runtime::keyCodeForCharacter(static_cast<char32_t>(qtKey));
        if (code == 0)
            return std::nullopt;
        const int ascii = typedAscii(text);
        return MovieKey{code, ascii ? ascii : qtKey};
    }
    return std::nullopt;
}

} // namespace player
