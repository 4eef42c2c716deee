#pragma once

#include <algorithm>
#include <cstddef>

namespace runtime {

// A text field's selection, in UTF-16 units of its text: from where it was started
// (`anchor`) to where the caret stands (`caret`), either way round. Empty when both
// are the same: then it is only the caret.
struct TextSelection {
    std::size_t anchor = 0;
    std::size_t caret = 0;

    static TextSelection at(std::size_t index) { return {index, index}; }
    std::size_t begin() const { return std::min(anchor, caret); }
    std::size_t end() const { return std::max(anchor, caret); }
    bool empty() const { return anchor == caret; }
    // Both ends within a text of `length` units.
    TextSelection clamped(std::size_t length) const
    {
        return {std::min(anchor, length), std::min(caret, length)};
    }
    bool operator==(const TextSelection&) const = default;
};

} // namespace runtime
