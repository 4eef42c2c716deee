#pragma once

#include <QString>
#include <optional>

namespace player {

// A key as movies hear it: the code scripts number keys by (runtime/KeyCodes.h) and
// the character it types, 0 for none.
struct MovieKey {
    int code = 0;
    int ascii = 0;
};

// The key of a Qt key event (its key and text); nothing for keys movies never hear.
std::optional<MovieKey> movieKey(int qtKey, const QString& text);

} // namespace player
