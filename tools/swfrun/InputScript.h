#pragma once

#include "runtime/MoviePlayer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swfrun {

// The events a reference run sent to its movie, as its input file lists them: a JSON
// array of objects, each with a "type" ("MouseMove", "KeyDown", "Wait"...) and the
// fields of its type.
struct InputEvent {
    enum class Type : std::uint8_t {
        MouseMove,
        MouseDown,
        MouseUp,
        KeyDown,
        KeyUp,
        TextInput,
        TextControl,
        SetClipboardText,
        FocusGained,
        FocusLost,
        // Let one frame pass before the next event.
        Wait,
    };
    Type type = Type::Wait;
    // Mouse events: the pointer in stage pixels (the viewport's, when there is one).
    double x = 0;
    double y = 0;
    runtime::MoviePlayer::MouseButton button = runtime::MoviePlayer::MouseButton::Left;
    // Keys: the code as scripts number keys, and the character the key types.
    int keyCode = 0;
    int ascii = 0;
    // TextInput: the character typed.
    char32_t codepoint = 0;
    // TextControl: the command's name ("Backspace", "Paste"...) and the command;
    // SetClipboardText: the text.
    std::string text;
    std::optional<runtime::TextCommand> command;
};

// Files far larger than any recorded session are refused rather than read.
inline constexpr std::size_t kMaxInputFileBytes = 4 * 1024 * 1024;
// Events in one file: a long session holds a few thousand.
inline constexpr std::size_t kMaxInputEvents = 100'000;

struct InputScript {
    std::vector<InputEvent> events;
    // Empty when the file read; otherwise why it did not.
    std::string error;
};

// Reads the events from the file's bytes. Events of a type this reader does not know,
// and keys it has no code for, are left out; a file that is no array of objects, or
// that goes past the caps, is an error.
InputScript parseInputScript(std::span<const std::uint8_t> bytes);
InputScript readInputScript(const std::string& path);

// The key a file names: a name ("Tab", "ArrowLeft", "F5") or a character; 0 when it
// names none. The character the key types, if any, goes to `ascii`.
int keyCodeNamed(const std::string& name, int& ascii);

// The editing command a TextControl event names ("MoveLeft", "SelectAll", "Paste"...);
// nothing for a name this reader does not know.
std::optional<runtime::TextCommand> textCommandNamed(const std::string& name);

} // namespace swfrun
