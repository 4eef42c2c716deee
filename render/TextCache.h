#pragma once

#include "GlyphCache.h"
#include "LruCache.h"
#include "format/Movie.h"
#include "format/Text.h"
#include "runtime/TextLayout.h"

#include <QPainterPath>
#include <QRawFont>
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
    // The glyphs of a field's laid-out text, one path per colour, in the field's twips:
    // the layout's lines placed in `box`, moved up by `scrollY` and left by `scrollX`.
    // (The layout's fonts are already those of the field's movie.)
    std::shared_ptr<const PreparedText>
    editText(const std::shared_ptr<const runtime::TextLayout>& layout, const swf::Rect& box,
             std::int32_t scrollX, std::int32_t scrollY, const swf::MovieDefinition* movie,
             int level);
    void clear()
    {
        m_texts.clear();
        m_fields.clear();
    }

private:
    void addGlyph(QPainterPath& path, const runtime::LayoutFont& font, QRawFont& device,
                  char16_t code, std::int32_t size, QPointF origin, int level);

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
    // A field's text: its layout (held by the entry, so that its address is not reused
    // while the entry lives), where it is placed and scrolled, and the level.
    struct FieldKey {
        std::shared_ptr<const runtime::TextLayout> layout;
        std::int32_t x = 0, y = 0, scrollX = 0, scrollY = 0;
        int level = 0;
        friend bool operator==(const FieldKey&, const FieldKey&) = default;
    };
    struct FieldKeyHash {
        std::size_t operator()(const FieldKey& key) const
        {
            std::size_t h = std::hash<const void*>()(key.layout.get());
            for (std::int32_t v : {key.x, key.y, key.scrollX, key.scrollY, key.level})
                h = hashCombine(h, std::hash<std::int32_t>()(v));
            return h;
        }
    };
    GlyphCache& m_glyphs;
    LruCache<Key, const PreparedText, KeyHash> m_texts;
    LruCache<FieldKey, const PreparedText, FieldKeyHash> m_fields;
};

} // namespace render
