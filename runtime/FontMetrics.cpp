#include "FontMetrics.h"

#include <algorithm>

namespace runtime {

namespace {

std::uint32_t pairKey(char32_t left, char32_t right)
{
    return (static_cast<std::uint32_t>(left & 0xFFFF) << 16) | (right & 0xFFFF);
}

} // namespace

EmbeddedFontMetrics::EmbeddedFontMetrics(const swf::Font& font) : m_font(font)
{
    m_glyphs.reserve(font.glyphs.size());
    for (std::size_t i = 0; i < font.glyphs.size(); ++i)
        m_glyphs.emplace(font.glyphs[i].code, i); // the first glyph for a code wins
    for (const swf::KerningPair& pair : font.kerning)
        m_kerning.emplace(pairKey(pair.left, pair.right), pair.adjustment);
}

double EmbeddedFontMetrics::ascent() const
{
    return m_font.hasLayout ? m_font.ascent : unitsPerEm() * 0.8;
}

double EmbeddedFontMetrics::descent() const
{
    return m_font.hasLayout ? m_font.descent : unitsPerEm() * 0.2;
}

std::optional<double> EmbeddedFontMetrics::advance(char32_t code) const
{
    const auto found = m_glyphs.find(code);
    if (found == m_glyphs.end())
        return std::nullopt;
    const swf::Glyph& glyph = m_font.glyphs[found->second];
    if (m_font.hasLayout)
        return glyph.advance;
    // Without a layout table the outline's right edge stands in for the advance.
    std::int32_t right = glyph.bounds.xMax.value;
    for (const swf::Segment& segment : glyph.outline.segments)
        right = std::max(right, segment.x);
    return std::max<double>(0, right);
}

double EmbeddedFontMetrics::kerning(char32_t left, char32_t right) const
{
    if (m_kerning.empty())
        return 0;
    const auto found = m_kerning.find(pairKey(left, right));
    return found == m_kerning.end() ? 0 : found->second;
}

std::optional<double> FallbackFontMetrics::advance(char32_t code) const
{
    if (code == U' ')
        return 250;
    if (code >= U'0' && code <= U'9')
        return 500;
    if (code >= U'A' && code <= U'Z')
        return 667;
    return 444;
}

} // namespace runtime
