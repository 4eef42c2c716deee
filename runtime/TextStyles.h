#pragma once

#include "TextFormat.h"

#include <cstdint>
#include <map>
#include <string>

namespace runtime {

// A style sheet's style as HTML text takes it: the attributes it sets, and how the
// element it styles shows.
struct TextStyle {
    enum class Display : std::uint8_t { Block, Inline, None };
    TextFormat format;
    Display display = Display::Block;
};

// Styles by selector: a tag name ("p", "heading") or a class (".note"), matched with
// their case.
using TextStyles = std::map<std::string, TextStyle>;

} // namespace runtime
