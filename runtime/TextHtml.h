#pragma once

// A text field's HTML, both ways: the subset of HTML the htmlText property reads (b, i,
// u, font, a, p, br, li, textformat and the common character references) and the
// markup it writes back, as the reference player spells it.

#include "RichText.h"
#include "TextStyles.h"

#include <string_view>

namespace runtime {

struct HtmlOptions {
    // condenseWhite: runs of white space show as one space, line breaks only from tags.
    bool condenseWhite = false;
    // Single-line fields break no lines: paragraphs, br and line ends run together.
    bool multiline = true;
    // A style sheet's styles, applied to the elements they name (null for none).
    const TextStyles* styles = nullptr;
    // Movies before SWF 8: text between two tags that is only white space (line ends
    // too) is dropped, and FONT's KERNING is not read.
    bool beforeSwf8 = false;
};

// The text and formats `html` gives, starting from `base`. Unknown tags are skipped;
// a tag that is cut off or has an unquoted attribute ends the text there.
RichText parseHtml(std::u16string_view html, const TextFormat& base, const HtmlOptions& options);

// The markup of `text`: one P (LI for bullets) per paragraph, inside a TEXTFORMAT when
// the paragraph has margins, indents, leading or tab stops, with the first run's
// attributes in a FONT and each later run's differences in a nested one.
std::u16string toHtml(const RichText& text);

} // namespace runtime
