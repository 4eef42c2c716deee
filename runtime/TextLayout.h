#pragma once

// A text field's text laid out in its box: lines broken by paragraph ends and, with
// word wrap, at the box's width; each line's glyphs placed by alignment, margins,
// indents, tab stops and letter spacing. Everything is in whole twips, the field's
// own space, measured from the box's top-left corner. Scripts read their metrics
// (textWidth, scroll...) from it and the renderer draws it: there is one layout.

#include "FontMetrics.h"
#include "RichText.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace runtime {

// Fields keep 2 pixels clear inside every edge of their box.
inline constexpr std::int32_t kTextGutter = 40;

// A font the text is set in: one of the movie's, or a system font by family name.
struct LayoutFont {
    const swf::Font* embedded = nullptr; // null for a system font
    std::string family;                  // system fonts
    bool bold = false;
    bool italic = false;
    // Null when the field asks for a movie font the movie does not have: its text
    // takes no room and draws nothing.
    std::shared_ptr<const FontMetrics> metrics;
};

// Gives each format its font (an index into `fonts`, added to as needed).
class LayoutFontSource {
public:
    virtual ~LayoutFontSource() = default;
    virtual std::uint32_t fontFor(const TextFormat& format, std::vector<LayoutFont>& fonts) = 0;
};

struct LaidGlyph {
    char16_t code = 0;  // the character drawn
    std::int32_t x = 0; // from the line's left edge
    std::int32_t advance = 0;
};

// The glyphs of one line in one format.
struct LaidRun {
    std::uint32_t font = 0;
    std::int32_t size = 0; // the em, twips
    std::uint32_t color = 0;
    bool underline = false;
    std::size_t firstGlyph = 0;
    std::size_t glyphCount = 0;
};

struct LaidLine {
    std::size_t begin = 0, end = 0; // text units, the line end not included
    std::int32_t x = 0;             // left edge, from the box's left
    std::int32_t top = 0;           // from the first line's top
    std::int32_t ascent = 0, descent = 0, leading = 0;
    // What the line counts for textWidth: trailing spaces only count when aligned left.
    std::int32_t width = 0;
    std::size_t firstRun = 0, runCount = 0;
    // Bullet paragraphs' first lines show a bullet at this x (negative for none).
    std::int32_t bulletX = -1;

    std::int32_t bottom() const { return top + ascent + descent; }
};

struct TextBox {
    std::int32_t width = 0, height = 0; // twips
    bool wordWrap = false;
    bool password = false;
};

struct TextLayout {
    std::vector<LayoutFont> fonts;
    std::vector<LaidLine> lines;
    std::vector<LaidRun> runs;
    std::vector<LaidGlyph> glyphs;
    TextBox box;
    // The widest line and the lines' height, twips.
    std::int32_t textWidth = 0;
    std::int32_t textHeight = 0;

    // Scroll positions count lines from 1, as scripts see them.
    int lineCount() const { return static_cast<int>(lines.size()); }
    // The last line that can be at the top: the lines after the ones that show from
    // the top.
    int maxScroll() const;
    // The last line wholly in view when `scroll` is at the top.
    int bottomScroll(int scroll) const;
    // Whole pixels the text can move left to show the end of its widest line.
    std::int32_t maxHScroll() const;
    // The distance the text moves up with `scroll` at the top.
    std::int32_t scrollOffset(int scroll) const;
};

TextLayout layoutText(const RichText& text, const TextBox& box, LayoutFontSource& fonts);

// The measures of one format's font at its size, whole twips.
struct ScaledFont {
    const FontMetrics* metrics = nullptr;
    std::int32_t size = 0;
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    double scale = 0;

    ScaledFont(const FontMetrics* font, std::int32_t sizeTwips);
    std::int32_t advance(char32_t code) const;
    std::int32_t kerning(char32_t left, char32_t right) const;
};

} // namespace runtime
