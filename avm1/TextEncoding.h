#pragma once

#include <string>
#include <string_view>

namespace avm1 {

// Text as it leaves the movie (trace output, drawn text). Strings of movies before
// SWF 6 are bytes in the authoring system's code page, which the players of the time
// read as Windows-1252 on western systems; such bytes that are not UTF-8 already (many
// tools wrote UTF-8 anyway) are converted from Latin-1. From SWF 6 text is UTF-8.
std::string displayText(std::string_view bytes, int swfVersion);
bool isWellFormedUtf8(std::string_view bytes);

} // namespace avm1
