#pragma once

#include "MovieWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swfwriter {

struct TextGlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0;
};

// One TEXTRECORD: the fields set are written, the others carry over from the records
// before it.
struct TextRecordFields {
    std::optional<std::uint16_t> fontId; // with `height`
    std::uint16_t height = 240;
    std::optional<Color> color;
    std::optional<std::int16_t> x, y;
    std::vector<TextGlyphEntry> glyphs;
};

// Builds the body of DefineText (1, RGB colours) and DefineText2 (2, RGBA).
class TextWriter {
public:
    explicit TextWriter(int textVersion = 1) : m_version(textVersion) {}

    TextWriter& setBounds(const Rect& bounds);
    TextWriter& setMatrix(const Matrix& matrix);
    TextWriter& addRecord(const TextRecordFields& record);
    // GlyphBits and AdvanceBits; the fewest that hold the entries unless set.
    TextWriter& setFieldBits(unsigned glyphBits, unsigned advanceBits);

    std::vector<std::uint8_t> body(std::uint16_t id) const;
    std::uint16_t tagCode() const { return m_version >= 2 ? 33 : 11; }

private:
    int m_version;
    Rect m_bounds;
    Matrix m_matrix;
    std::vector<TextRecordFields> m_records;
    std::optional<std::pair<unsigned, unsigned>> m_fieldBits;
};

} // namespace swfwriter
