#include "GlyphCache.h"

#include "PathFlattener.h"

namespace render {

std::shared_ptr<const PreparedFont> GlyphCache::get(const swf::Font& font, int level)
{
    const Key key{&font, level};
    if (auto found = m_cache.find(key))
        return found;
    auto prepared = std::make_shared<PreparedFont>();
    prepared->font = &font;
    const double tolerance = toleranceAtLevel(level);
    prepared->glyphs.reserve(font.glyphs.size());
    prepared->bytes = sizeof(PreparedFont);
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        QPainterPath path =
            flattenPath(font.glyphs[i].outline, tolerance, SubpathClosing::CloseAll);
        path.setFillRule(Qt::OddEvenFill);
        prepared->bytes += sizeof(QPainterPath) + std::size_t(path.elementCount()) * 24;
        prepared->glyphs.push_back(std::move(path));
        // The first glyph with a code keeps it, as a lookup by code would find it.
        prepared->glyphForCode.emplace(font.glyphs[i].code, static_cast<int>(i));
    }
    const std::size_t bytes = prepared->bytes;
    return m_cache.insert(key, std::move(prepared), bytes);
}

} // namespace render
