#include "TextCache.h"

#include "EditTextLayout.h"
#include "HtmlText.h"
#include "SharedPaths.h"

#include <cmath>

namespace render {

namespace {

// The level of a font's em units when its glyphs are drawn `height` twips tall and
// twips are at `level`.
int glyphLevel(int level, double height, double emSize)
{
    if (height <= 0 || emSize <= 0)
        return level;
    return level + static_cast<int>(std::lround(2 * std::log2(height / emSize)));
}

std::size_t bytesOf(const QPainterPath& path)
{
    return sizeof(QPainterPath) + std::size_t(path.elementCount()) * 24;
}

// A fingerprint of the settings the layout reads.
std::uint64_t layoutSettings(const swf::EditText& field)
{
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](std::int64_t value) {
        h ^= static_cast<std::uint64_t>(value);
        h *= 1099511628211ull;
    };
    mix(field.bounds.xMin.value);
    mix(field.bounds.xMax.value);
    mix(field.bounds.yMin.value);
    mix(field.bounds.yMax.value);
    mix((field.wordWrap ? 1 : 0) | (field.multiline ? 2 : 0) | (field.password ? 4 : 0) |
        (field.html ? 8 : 0) | (field.useOutlines ? 16 : 0) | (field.autoSize ? 32 : 0));
    mix(field.fontId.value_or(0xFFFFF));
    mix(field.height);
    mix(static_cast<int>(field.align));
    mix(field.leftMargin);
    mix(field.rightMargin);
    mix(field.indent);
    mix(field.leading);
    return h;
}

} // namespace

std::shared_ptr<const PreparedText>
TextCache::staticText(const swf::StaticText& text, const swf::MovieDefinition* movie, int level)
{
    Key key{&text, 0, level, {}};
    if (auto found = m_texts.find(key))
        return found;
    auto prepared = std::make_shared<PreparedText>();
    prepared->bytes = sizeof(PreparedText);
    SharedPaths warmer;
    for (const swf::TextRun& run : text.runs) {
        const swf::Font* font = movie ? movie->get<swf::Font>(run.fontId) : nullptr;
        // A run whose font is missing draws nothing, like a glyph index past the font.
        if (!font || font->glyphs.empty() || run.height == 0)
            continue;
        const double emSize = font->emSize > 0 ? font->emSize : 1024;
        const auto glyphs = m_glyphs.get(*font, glyphLevel(level, run.height, emSize));
        const double scale = run.height / emSize;
        PreparedText::Run out;
        out.color = run.color;
        out.path.setFillRule(Qt::OddEvenFill);
        double x = run.x;
        for (const swf::TextGlyph& glyph : run.glyphs) {
            if (glyph.index < glyphs->glyphs.size())
                out.path.addPath(
                    QTransform(scale, 0, 0, scale, x, run.y).map(glyphs->glyphs[glyph.index]));
            x += glyph.advance;
        }
        if (out.path.isEmpty())
            continue;
        warmer.prepare(out.path);
        prepared->bounds |= out.path.boundingRect();
        prepared->bytes += bytesOf(out.path);
        prepared->runs.push_back(std::move(out));
    }
    const std::size_t bytes = prepared->bytes;
    return m_texts.insert(key, std::move(prepared), bytes);
}

std::shared_ptr<const QPainterPath> TextCache::editText(const swf::EditText& field,
                                                        const std::string& text,
                                                        const swf::MovieDefinition* movie,
                                                        int level)
{
    Key key{&field, layoutSettings(field), level, text};
    if (auto found = m_fields.find(key))
        return found;
    QString shown = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (field.html)
        shown = plainTextFromHtml(shown);
    if (field.password)
        shown = QString(shown.size(), QLatin1Char('*'));

    const swf::Font* font =
        (movie && field.fontId) ? movie->get<swf::Font>(*field.fontId) : nullptr;
    QPainterPath path;
    bool laidOut = false;
    if (font && field.useOutlines && !font->glyphs.empty()) {
        const double emSize = font->emSize > 0 ? font->emSize : 1024;
        EmbeddedFace face(m_glyphs.get(*font, glyphLevel(level, field.height, emSize)),
                          field.height);
        // A font that embeds none of the characters falls back to the system font.
        if (face.covers(shown) || shown.isEmpty()) {
            path = layoutEditText(field, shown, face);
            laidOut = true;
        }
    }
    if (!laidOut)
        path = layoutEditText(field, shown, DeviceFace(font, field.height));
    SharedPaths().prepare(path);
    const std::size_t bytes = bytesOf(path) + text.size();
    return m_fields.insert(key, std::make_shared<const QPainterPath>(std::move(path)), bytes);
}

} // namespace render
