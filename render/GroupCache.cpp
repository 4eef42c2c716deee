#include "GroupCache.h"

#include <cmath>

namespace render {

namespace {

bool sameLinear(const QTransform& a, const QTransform& b)
{
    return a.m11() == b.m11() && a.m12() == b.m12() && a.m21() == b.m21() && a.m22() == b.m22();
}

QTransform linearPart(const QTransform& t)
{
    return QTransform(t.m11(), t.m12(), t.m21(), t.m22(), 0, 0);
}

// 1/256 of a pixel is far finer than the eye sees and coarse enough for the jitter of
// floating point to land on the same step.
constexpr double kPhaseSteps = 256;

std::int16_t phaseOf(double device)
{
    if (!std::isfinite(device) || std::abs(device) > 1e9)
        return 0;
    const double within = device - std::floor(device);
    return static_cast<std::int16_t>(std::lround(within * kPhaseSteps) % long(kPhaseSteps));
}

} // namespace

void GroupCache::setPhase(GroupState& state, QPointF anchor)
{
    state.phaseX = phaseOf(anchor.x());
    state.phaseY = phaseOf(anchor.y());
}

std::shared_ptr<const GroupImage> GroupCache::reusable(std::uint64_t objectId,
                                                       const GroupState& state,
                                                       const QTransform& view, Quality quality,
                                                       QPointF anchor, QRect& rect)
{
    std::shared_ptr<const GroupImage> found = m_images.find(objectId);
    if (!found || !(found->state == state) || found->quality != quality ||
        !sameLinear(found->viewLinear, linearPart(view)))
        return nullptr;
    // Same phase, so the move is whole pixels but for the phase's rounding.
    const QPointF delta = anchor - found->anchor;
    if (!std::isfinite(delta.x()) || !std::isfinite(delta.y()) || std::abs(delta.x()) > 1e6 ||
        std::abs(delta.y()) > 1e6)
        return nullptr;
    const QPoint shift(static_cast<int>(std::lround(delta.x())),
                       static_cast<int>(std::lround(delta.y())));
    // A layer cut to the visible area may now need what was cut off.
    if (!found->complete && !shift.isNull())
        return nullptr;
    rect = found->rect.translated(shift);
    return found;
}

void GroupCache::store(std::uint64_t objectId, GroupImage image)
{
    const std::size_t bytes = std::size_t(image.image.sizeInBytes()) + sizeof(GroupImage);
    image.viewLinear = linearPart(image.viewLinear);
    m_images.insert(objectId, std::make_shared<const GroupImage>(std::move(image)), bytes);
}

bool GroupCache::seenUnchanged(std::uint64_t objectId, const GroupState& state)
{
    m_seenNow[objectId] = state;
    auto it = m_seenLast.find(objectId);
    return it != m_seenLast.end() && it->second == state;
}

void GroupCache::endFrame()
{
    m_seenLast.swap(m_seenNow);
    m_seenNow.clear();
}

void GroupCache::clear()
{
    m_images.clear();
    m_seenLast.clear();
    m_seenNow.clear();
}

} // namespace render
