#pragma once

#include "LruCache.h"
#include "Quality.h"
#include "format/Filter.h"
#include "format/Geometry.h"

#include <QImage>
#include <QRect>
#include <QTransform>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace render {

// What a group's layer was drawn from: when all of it is unchanged, the layer can be
// used again, moved by however far the group's translation moved. That move is whole
// device pixels, as the origin's place within its pixel is part of the state: a layer
// drawn at another sub-pixel place would land up to half a pixel off, and a slow move
// would go by jumps.
struct GroupState {
    std::uint64_t contentVersion = 0;
    double a = 1, b = 0, c = 0, d = 1; // the group's matrix without its translation
    swf::ColorTransform colorTransform;
    swf::BlendMode blend = swf::BlendMode::Normal;
    const std::vector<swf::Filter>* filters = nullptr;
    std::int16_t phaseX = 0, phaseY = 0; // the origin within its device pixel, 1/256ths
    friend bool operator==(const GroupState&, const GroupState&) = default;
};

struct GroupImage {
    GroupState state;
    QTransform viewLinear; // the view without its translation
    Quality quality = Quality::High;
    QPointF anchor;        // where the group's origin fell on the device
    QRect rect;            // the layer's device rectangle
    bool complete = false; // false when the layer was cut to the visible area
    QImage image;
};

// Layers of groups drawn in earlier frames, by object id, within a memory budget; and
// which plain groups stayed unchanged from one frame to the next (those are worth
// drawing once into a layer and reusing).
class GroupCache {
public:
    // The sub-pixel place of a group whose origin falls at `anchor` on the device.
    static void setPhase(GroupState& state, QPointF anchor);

    explicit GroupCache(std::size_t budgetBytes) : m_images(budgetBytes) {}

    // The layer of `objectId` placed at `anchor`, if the one kept can serve; its rect
    // is moved to where it goes now.
    std::shared_ptr<const GroupImage> reusable(std::uint64_t objectId, const GroupState& state,
                                               const QTransform& view, Quality quality,
                                               QPointF anchor, QRect& rect);
    void store(std::uint64_t objectId, GroupImage image);

    // Notes a plain group seen this frame; true when it looked the same last frame.
    bool seenUnchanged(std::uint64_t objectId, const GroupState& state);
    void endFrame();

    void clear();
    std::size_t cachedBytes() const { return m_images.totalCost(); }

private:
    LruCache<std::uint64_t, const GroupImage> m_images;
    std::unordered_map<std::uint64_t, GroupState> m_seenLast, m_seenNow;
};

} // namespace render
