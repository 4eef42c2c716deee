#pragma once

#include "LruCache.h"
#include "PreparedShape.h"
#include "format/MorphShape.h"

#include <cstdint>

namespace render {

// Prepared shapes by definition and flattening level. A definition's address is stable
// for the movie's life, and the cache is cleared when the movie changes.
class ShapeCache {
public:
    explicit ShapeCache(std::size_t budgetBytes);

    std::shared_ptr<const PreparedShape> get(const swf::Shape& shape, int level);
    // The morph drawn at `ratio` (0 to 1), from a small cache of recent ratios.
    std::shared_ptr<const PreparedShape> get(const swf::MorphShape& morph, double ratio, int level);
    void clear();

    std::size_t morphEntries() const { return m_morphs.size(); }

private:
    struct Key {
        const void* definition = nullptr;
        std::int64_t variant = 0; // the morph ratio in 1/65535 steps
        int level = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            std::size_t h = std::hash<const void*>()(key.definition);
            h = hashCombine(h, std::hash<std::int64_t>()(key.variant));
            return hashCombine(h, std::hash<int>()(key.level));
        }
    };
    LruCache<Key, const PreparedShape, KeyHash> m_shapes;
    // Morph ratios in use: the interpolated definitions, which the prepared shapes
    // above point into and keep alive.
    LruCache<Key, const swf::Shape, KeyHash> m_morphs;
};

} // namespace render
