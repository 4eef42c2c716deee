#pragma once

#include "LruCache.h"
#include "format/Font.h"

#include <QPainterPath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace render {

// A font's glyph outlines as flattened paths in the font's em units, and its codes.
// Each outline fills the same under the even-odd and the winding rule.
struct PreparedFont {
    const swf::Font* font = nullptr;
    std::vector<QPainterPath> glyphs;
    std::unordered_map<std::uint16_t, int> glyphForCode;
    std::size_t bytes = 0;

    // The glyph drawing `code`, or -1.
    int glyph(std::uint16_t code) const
    {
        auto it = glyphForCode.find(code);
        return it == glyphForCode.end() ? -1 : it->second;
    }
};

// Prepared fonts by font and flattening level (the level of the glyphs' own units).
class GlyphCache {
public:
    explicit GlyphCache(std::size_t budgetBytes) : m_cache(budgetBytes) {}

    std::shared_ptr<const PreparedFont> get(const swf::Font& font, int level);
    void clear() { m_cache.clear(); }

private:
    struct Key {
        const swf::Font* font = nullptr;
        int level = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            return hashCombine(std::hash<const void*>()(key.font), std::hash<int>()(key.level));
        }
    };
    LruCache<Key, const PreparedFont, KeyHash> m_cache;
};

} // namespace render
