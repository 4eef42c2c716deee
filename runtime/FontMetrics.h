#pragma once

// What text layout needs of a font: its vertical measures and each character's
// advance, in the font's own units (unitsPerEm() to the em). Movie fonts answer from
// their DefineFont tags; fonts of the system come from the host (Host::deviceFont), as
// the engine reads no font files itself.

#include "format/Font.h"

#include <memory>
#include <optional>
#include <unordered_map>

namespace runtime {

class FontMetrics {
public:
    virtual ~FontMetrics() = default;
    virtual double unitsPerEm() const = 0;
    virtual double ascent() const = 0;
    virtual double descent() const = 0;
    // The advance of `code`, or nothing when the font has no glyph for it.
    virtual std::optional<double> advance(char32_t code) const = 0;
    // The adjustment between two neighbours (0 when the font gives none).
    virtual double kerning(char32_t /*left*/, char32_t /*right*/) const { return 0; }
};

// A movie font's measures: its layout table when it has one, its outlines' extent
// otherwise.
class EmbeddedFontMetrics : public FontMetrics {
public:
    explicit EmbeddedFontMetrics(const swf::Font& font);
    double unitsPerEm() const override { return m_font.emSize > 0 ? m_font.emSize : 1024; }
    double ascent() const override;
    double descent() const override;
    std::optional<double> advance(char32_t code) const override;
    double kerning(char32_t left, char32_t right) const override;

    const swf::Font& font() const { return m_font; }

private:
    const swf::Font& m_font;
    std::unordered_map<char32_t, std::size_t> m_glyphs;
    std::unordered_map<std::uint32_t, double> m_kerning;
};

// Measures for a system font the host cannot give: a serif face's proportions, so that
// layout still breaks lines and scrolls in a plausible way.
class FallbackFontMetrics : public FontMetrics {
public:
    double unitsPerEm() const override { return 1000; }
    double ascent() const override { return 891; }
    double descent() const override { return 216; }
    std::optional<double> advance(char32_t code) const override;
};

} // namespace runtime
