#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfwriter {

// DefineEditText's fields; the optional ones are written when set, with their flags.
struct EditTextFields {
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false;
    bool html = false, useOutlines = false;
    std::optional<std::uint16_t> fontId;
    std::optional<std::string> fontClass;
    std::uint16_t height = 240; // written with a font id or class
    std::optional<Color> color;
    std::optional<std::uint16_t> maxLength;
    struct Layout {
        std::uint8_t align = 0; // 0 left, 1 right, 2 center, 3 justify
        std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
        std::int16_t leading = 0;
    };
    std::optional<Layout> layout;
    std::string variableName;
    std::optional<std::string> initialText;
};

std::vector<std::uint8_t> editTextBody(std::uint16_t id, const EditTextFields& fields);
inline constexpr std::uint16_t kDefineEditTextCode = 37;

} // namespace swfwriter
