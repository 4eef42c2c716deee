#pragma once

#include "format/Movie.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

// The character and paragraph attributes of a stretch of text field text, as the
// TextFormat class carries them: each is either set or left open. Sizes and margins
// are whole pixels; colours are 0xRRGGBB.
struct TextFormat {
    std::optional<std::string> font;
    std::optional<std::int32_t> size;
    std::optional<std::uint32_t> color;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<std::string> url;
    std::optional<std::string> target;
    std::optional<swf::TextAlign> align;
    std::optional<std::int32_t> leftMargin;
    std::optional<std::int32_t> rightMargin;
    std::optional<std::int32_t> indent;
    std::optional<std::int32_t> leading;
    std::optional<std::int32_t> blockIndent;
    std::optional<std::vector<std::int32_t>> tabStops;
    std::optional<bool> bullet;
    std::optional<bool> kerning;
    std::optional<double> letterSpacing;

    // Takes every attribute `other` sets.
    void apply(const TextFormat& other);
    // Leaves open every attribute on which `other` differs: what a span of mixed
    // formats has in common.
    void intersect(const TextFormat& other);
    bool operator==(const TextFormat&) const = default;
};

// The font name a field without one shows in.
inline constexpr const char* kDefaultFontName = "Times New Roman";

// What a field's text starts with: every attribute set, from its definition (font
// names come from the movie's font when it has one).
TextFormat initialFormat(const swf::EditText& definition, const swf::MovieDefinition* movie);

} // namespace runtime
