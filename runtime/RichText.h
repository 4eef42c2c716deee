#pragma once

// A text field's text as scripts see it: UTF-16 units (scripts index text by them),
// split into runs that each carry one format. Paragraphs end at '\r'.

#include "TextFormat.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

class RichText {
public:
    struct Run {
        std::size_t length = 0;
        TextFormat format;
    };

    const std::u16string& text() const { return m_text; }
    std::size_t length() const { return m_text.size(); }
    const std::vector<Run>& runs() const { return m_runs; }

    // The text becomes `text`, all in `format`; what exceeds limits::kMaxFieldText is
    // cut off.
    void assign(std::u16string_view text, const TextFormat& format);
    // Adds `text` at the end in `format`, joining the last run when the formats agree.
    void append(std::u16string_view text, const TextFormat& format);
    // Replaces units [begin, end) (clamped to the text) with `text` in `format`.
    void replace(std::size_t begin, std::size_t end, std::u16string_view text,
                 const TextFormat& format);
    // Applies the attributes `format` sets to units [begin, end).
    void applyFormat(std::size_t begin, std::size_t end, const TextFormat& format);
    // The attributes units [begin, end) share; for an empty range, those of the unit
    // at `begin` (or the last one). Null when there is no text at all.
    std::optional<TextFormat> formatOf(std::size_t begin, std::size_t end) const;

private:
    // Splits the run holding `at` so that a run starts there; returns its index.
    std::size_t splitAt(std::size_t at);
    void mergeRuns();

    std::u16string m_text;
    std::vector<Run> m_runs;
};

// Conversions between the runtime's UTF-8 and the UTF-16 units of text fields.
// Malformed UTF-8 bytes become U+FFFD; unpaired surrogates too on the way back.
std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

} // namespace runtime
