#pragma once

#include "runtime/TextEditing.h"

#include <QKeyEvent>
#include <QString>
#include <optional>

namespace player {

// What a key press does to the focused text field of a movie: an editing command, as
// the platform's key bindings name them (arrows, Home and End, the clipboard, select
// all...), or the text it types. Nothing for keys that do neither.
std::optional<runtime::TextCommand> textCommandFor(const QKeyEvent& event);
// The text a key press types into a field: printable text without Control or Meta
// held, else empty.
QString typedText(const QKeyEvent& event);

} // namespace player
