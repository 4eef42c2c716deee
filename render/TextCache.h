#pragma once

#include "GlyphCache.h"
#include "LruCache.h"
#include "format/Movie.h"
#include "format/Text.h"

#include <QPainterPath>
#include <string>
#include <vector>

namespace render {

// A static text's runs as one path each, in the text's own twips.
struct PreparedText {
    struct Run {
        QPainterPath path;
        swf::Rgba color;
    };
    std::vector<Run> runs;
    QRectF bounds;
    std::size_t bytes = 0;
};

// Text made into paths once per definition (and, for edit text, per text shown) and
// flattening level.
class TextCache {
public:
    TextCache(GlyphCache& glyphs, std::size_t budgetBytes)
        : m_glyphs(glyphs), m_texts(budgetBytes), m_fields(budgetBytes)
    {}

    std::shared_ptr<const PreparedText> staticText(const swf::StaticText& text,
                                                   const swf::MovieDefinition* movie, int level);
    // The glyphs of `text` laid out in the field, in the field's twips.
    std::shared_ptr<const QPainterPath> editText(const swf::EditText& field,
                                                 const std::string& text,
                                                 const swf::MovieDefinition* movie, int level);
    void clear()
    {
        m_texts.clear();
        m_fields.clear();
    }

private:
    struct Key {
        const void* definition = nullptr;
        // What of an edit text's settings shapes its layout: a field that scripts
        // changed draws from a new definition, which may reuse a freed one's address.
        std::uint64_t settings = 0;
        int level = 0;
        std::string text;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            std::size_t h = std::hash<const void*>()(key.definition);
            h = hashCombine(h, std::hash<std::uint64_t>()(key.settings));
            h = hashCombine(h, std::hash<int>()(key.level));
            return hashCombine(h, std::hash<std::string>()(key.text));
        }
    };
    GlyphCache& m_glyphs;
    LruCache<Key, const PreparedText, KeyHash> m_texts;
    LruCache<Key, const QPainterPath, KeyHash> m_fields;
};

} // namespace render
