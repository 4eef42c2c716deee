#include "TextCache.h"

#include "DeviceFonts.h"
#include "SharedPaths.h"

#include <QRawFont>
#include <cmath>
#include <map>

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

std::shared_ptr<const PreparedText>
TextCache::editText(const std::shared_ptr<const runtime::TextLayout>& layout, const swf::Rect& box,
                    std::int32_t scrollX, std::int32_t scrollY,
                    const swf::MovieDefinition* /*movie*/, int level)
{
    FieldKey key{layout, box.xMin.value, box.yMin.value, scrollX, scrollY, level};
    if (auto found = m_fields.find(key))
        return found;
    auto prepared = std::make_shared<PreparedText>();
    prepared->bytes = sizeof(PreparedText);
    // One path a colour: glyphs wind (movie glyphs are prepared so), and so the ones
    // that overlap their neighbours join.
    std::map<std::uint32_t, QPainterPath> byColor;
    std::vector<QRawFont> deviceFaces(layout->fonts.size());
    const double top = box.yMin.value + runtime::kTextGutter - scrollY;
    const double viewBottom = box.yMax.value - box.yMin.value + scrollY;
    for (const runtime::LaidLine& line : layout->lines) {
        // Lines wholly above or below the box cannot show.
        if (line.top + line.ascent + line.descent < scrollY || line.top > viewBottom)
            continue;
        const double baseline = top + line.top + line.ascent;
        const double left = box.xMin.value + line.x - scrollX;
        for (std::size_t r = line.firstRun; r < line.firstRun + line.runCount; ++r) {
            const runtime::LaidRun& run = layout->runs[r];
            const runtime::LayoutFont& font = layout->fonts[run.font];
            for (std::size_t g = run.firstGlyph; g < run.firstGlyph + run.glyphCount; ++g) {
                const runtime::LaidGlyph& glyph = layout->glyphs[g];
                const QPointF origin(left + glyph.x, baseline);
                addGlyph(byColor[run.color], font, deviceFaces[run.font], glyph.code, run.size,
                         origin, level);
            }
            if (run.underline && run.glyphCount > 0) {
                const runtime::LaidGlyph& first = layout->glyphs[run.firstGlyph];
                const runtime::LaidGlyph& last =
                    layout->glyphs[run.firstGlyph + run.glyphCount - 1];
                const double thickness = std::max(20.0, run.size / 16.0);
                byColor[run.color].addRect(QRectF(left + first.x, baseline + thickness,
                                                  last.x + last.advance - first.x, thickness));
            }
        }
        if (line.bulletX >= 0 && line.runCount > 0) {
            // The bullet is the first run's font's, when it has one.
            const runtime::LaidRun& run = layout->runs[line.firstRun];
            const runtime::LayoutFont& font = layout->fonts[run.font];
            addGlyph(byColor[run.color], font, deviceFaces[run.font], u'\u2022', run.size,
                     QPointF(box.xMin.value + line.bulletX - scrollX, baseline), level);
        }
    }
    SharedPaths warmer;
    for (auto& [color, path] : byColor) {
        path.setFillRule(Qt::WindingFill);
        if (path.isEmpty())
            continue;
        warmer.prepare(path);
        PreparedText::Run out;
        out.color =
            swf::Rgba{static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 8),
                      static_cast<std::uint8_t>(color), 255};
        out.path = std::move(path);
        prepared->bounds |= out.path.boundingRect();
        prepared->bytes += bytesOf(out.path);
        prepared->runs.push_back(std::move(out));
    }
    const std::size_t bytes = prepared->bytes;
    return m_fields.insert(key, std::move(prepared), bytes);
}

void TextCache::addGlyph(QPainterPath& path, const runtime::LayoutFont& font, QRawFont& device,
                         char16_t code, std::int32_t size, QPointF origin, int level)
{
    if (code == u' ' || code == u'\t' || code == u'\r' || size <= 0)
        return;
    if (font.embedded) {
        const double emSize = font.embedded->emSize > 0 ? font.embedded->emSize : 1024;
        const auto glyphs = m_glyphs.get(*font.embedded, glyphLevel(level, size, emSize));
        const int index = glyphs->glyph(code);
        if (index < 0)
            return;
        const double scale = size / emSize;
        path.addPath(QTransform(scale, 0, 0, scale, origin.x(), origin.y())
                         .map(glyphs->glyphs[std::size_t(index)]));
        return;
    }
    if (!font.metrics)
        return;
    if (!device.isValid())
        device = DeviceFonts::shared().face(font.family, font.bold, font.italic);
    if (!device.isValid())
        return;
    const QVector<quint32> indexes = device.glyphIndexesForString(QString(QChar(code)));
    if (indexes.size() != 1 || indexes[0] == 0)
        return;
    const double scale = size / std::max(1.0, device.pixelSize());
    path.addPath(QTransform(scale, 0, 0, scale, origin.x(), origin.y())
                     .map(device.pathForGlyph(indexes[0])));
}

} // namespace render
