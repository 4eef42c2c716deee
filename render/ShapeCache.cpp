#include "ShapeCache.h"

#include "PathFlattener.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Morphs usually tween over a few dozen frames; keep about that many steps.
constexpr std::size_t kMorphRatios = 64;

} // namespace

ShapeCache::ShapeCache(std::size_t budgetBytes) : m_shapes(budgetBytes), m_morphs(kMorphRatios) {}

std::shared_ptr<const PreparedShape> ShapeCache::get(const swf::Shape& shape, int level)
{
    const Key key{&shape, 0, level};
    if (auto found = m_shapes.find(key))
        return found;
    std::shared_ptr<PreparedShape> prepared = prepareShape(shape, toleranceAtLevel(level));
    const std::size_t bytes = prepared->bytes;
    return m_shapes.insert(key, std::move(prepared), bytes);
}

std::shared_ptr<const PreparedShape> ShapeCache::get(const swf::MorphShape& morph, double ratio,
                                                     int level)
{
    const double clamped = std::isfinite(ratio) ? std::clamp(ratio, 0.0, 1.0) : 0.0;
    const auto step = static_cast<std::int64_t>(std::lround(clamped * 65535));
    const Key shapeKey{&morph, step + 1, level};
    if (auto found = m_shapes.find(shapeKey))
        return found;
    const Key morphKey{&morph, step + 1, 0};
    std::shared_ptr<const swf::Shape> shape = m_morphs.find(morphKey);
    if (!shape)
        shape = m_morphs.insert(
            morphKey, std::make_shared<const swf::Shape>(swf::morphShapeAt(morph, step / 65535.0)),
            1);
    std::shared_ptr<PreparedShape> prepared = prepareShape(*shape, toleranceAtLevel(level));
    prepared->owner = shape;
    const std::size_t bytes = prepared->bytes;
    return m_shapes.insert(shapeKey, std::move(prepared), bytes);
}

void ShapeCache::clear()
{
    m_shapes.clear();
    m_morphs.clear();
}

} // namespace render
