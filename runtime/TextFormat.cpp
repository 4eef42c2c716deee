#include "TextFormat.h"

#include "format/Movie.h"

namespace runtime {

namespace {

template <typename T> void take(std::optional<T>& into, const std::optional<T>& from)
{
    if (from)
        into = from;
}

template <typename T> void keepCommon(std::optional<T>& mine, const std::optional<T>& theirs)
{
    if (mine != theirs)
        mine.reset();
}

} // namespace

void TextFormat::apply(const TextFormat& other)
{
    take(font, other.font);
    take(size, other.size);
    take(color, other.color);
    take(bold, other.bold);
    take(italic, other.italic);
    take(underline, other.underline);
    take(url, other.url);
    take(target, other.target);
    take(align, other.align);
    take(leftMargin, other.leftMargin);
    take(rightMargin, other.rightMargin);
    take(indent, other.indent);
    take(leading, other.leading);
    take(blockIndent, other.blockIndent);
    take(tabStops, other.tabStops);
    take(bullet, other.bullet);
    take(kerning, other.kerning);
    take(letterSpacing, other.letterSpacing);
}

void TextFormat::intersect(const TextFormat& other)
{
    keepCommon(font, other.font);
    keepCommon(size, other.size);
    keepCommon(color, other.color);
    keepCommon(bold, other.bold);
    keepCommon(italic, other.italic);
    keepCommon(underline, other.underline);
    keepCommon(url, other.url);
    keepCommon(target, other.target);
    keepCommon(align, other.align);
    keepCommon(leftMargin, other.leftMargin);
    keepCommon(rightMargin, other.rightMargin);
    keepCommon(indent, other.indent);
    keepCommon(leading, other.leading);
    keepCommon(blockIndent, other.blockIndent);
    keepCommon(tabStops, other.tabStops);
    keepCommon(bullet, other.bullet);
    keepCommon(kerning, other.kerning);
    keepCommon(letterSpacing, other.letterSpacing);
}

TextFormat initialFormat(const swf::EditText& definition, const swf::MovieDefinition* movie)
{
    TextFormat format;
    format.font = kDefaultFontName;
    format.bold = false;
    format.italic = false;
    if (!definition.fontClass.empty())
        format.font = definition.fontClass;
    if (movie && definition.fontId) {
        if (const auto* font = movie->get<swf::Font>(*definition.fontId)) {
            if (!font->name.empty())
                format.font = font->name;
            // HTML fields take their style from the markup alone.
            if (!definition.html) {
                format.bold = font->bold;
                format.italic = font->italic;
            }
        }
    }
    format.size = definition.height / 20;
    const swf::Rgba& c = definition.color;
    format.color = (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b;
    format.underline = false;
    format.url = "";
    format.target = "";
    // HTML fields take their alignment from the markup's paragraphs.
    format.align = definition.html ? swf::TextAlign::Left : definition.align;
    format.leftMargin = definition.leftMargin / 20;
    format.rightMargin = definition.rightMargin / 20;
    // The indent is signed, whatever the format's description says.
    format.indent = static_cast<std::int16_t>(definition.indent) / 20;
    format.leading = definition.leading / 20;
    format.blockIndent = 0;
    format.tabStops = std::vector<std::int32_t>{};
    format.bullet = false;
    format.kerning = false;
    format.letterSpacing = 0;
    return format;
}

} // namespace runtime
