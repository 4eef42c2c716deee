#pragma once

#include "LruCache.h"
#include "PreparedShape.h"
#include "format/MorphShape.h"

#include <cstdint>
#include <vector>

namespace render {

// Prepared shapes by definition and flattening level. A definition's address is stable
// for the movie's life, and the cache is cleared when the movie changes. Drawings,
// which come and go with the clips that draw them, are kept apart, by clip.
class ShapeCache {
public:
    explicit ShapeCache(std::size_t budgetBytes);

    std::shared_ptr<const PreparedShape> get(const swf::Shape& shape, int level);
    // The morph drawn at `ratio` (0 to 1), from a small cache of recent ratios.
    std::shared_ptr<const PreparedShape> get(const swf::MorphShape& morph, double ratio, int level);
    // What a clip's scripts drew: one entry per clip and level, made again when the
    // drawing's version changes, so that a clip redrawn every frame leaves nothing stale.
    std::shared_ptr<const PreparedShape> getDrawing(std::shared_ptr<const swf::Shape> drawing,
                                                    std::uint64_t objectId, std::uint64_t version,
                                                    int level);
    // Prepares, several at a time on the helper threads, the drawings that are not
    // ready yet: a frame of many clips redrawn by script has as many to prepare.
    struct DrawingRequest {
        std::shared_ptr<const swf::Shape> drawing;
        std::uint64_t objectId = 0;
        std::uint64_t version = 0;
        int level = 0;
    };
    void prepareDrawings(std::vector<DrawingRequest> requests);
    void clear();

    std::size_t morphEntries() const { return m_morphs.size(); }
    std::size_t drawingEntries() const { return m_drawings.size(); }

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
    struct DrawingKey {
        std::uint64_t objectId = 0;
        int level = 0;
        friend bool operator==(const DrawingKey&, const DrawingKey&) = default;
    };
    struct DrawingKeyHash {
        std::size_t operator()(const DrawingKey& key) const
        {
            return hashCombine(std::hash<std::uint64_t>()(key.objectId),
                               std::hash<int>()(key.level));
        }
    };
    struct PreparedDrawing {
        std::uint64_t version = 0;
        std::shared_ptr<const PreparedShape> shape;
    };

    LruCache<Key, const PreparedShape, KeyHash> m_shapes;
    LruCache<DrawingKey, const PreparedDrawing, DrawingKeyHash> m_drawings;
    // Morph ratios in use: the interpolated definitions, which the prepared shapes
    // above point into and keep alive.
    LruCache<Key, const swf::Shape, KeyHash> m_morphs;
};

} // namespace render
