#include "ShapeCache.h"

#include "PathFlattener.h"

#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Morphs usually tween over a few dozen frames; keep about that many steps.
constexpr std::size_t kMorphRatios = 64;
// Drawings get this fraction of the budget on top of the movie's shapes: what many
// clips redraw every frame must not push the movie's own shapes out.
constexpr std::size_t kDrawingShare = 4;
// Drawings to prepare at once before the helper threads are worth their hand-over.
constexpr std::size_t kParallelDrawings = 8;

} // namespace

ShapeCache::ShapeCache(std::size_t budgetBytes)
    : m_shapes(budgetBytes), m_drawings(budgetBytes / kDrawingShare), m_morphs(kMorphRatios)
{}

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

std::shared_ptr<const PreparedShape>
ShapeCache::getDrawing(std::shared_ptr<const swf::Shape> drawing, std::uint64_t objectId,
                       std::uint64_t version, int level)
{
    if (!drawing)
        return nullptr;
    const DrawingKey key{objectId, level};
    if (auto found = m_drawings.find(key); found && found->version == version)
        return found->shape;
    std::shared_ptr<PreparedShape> prepared = prepareShape(*drawing, toleranceAtLevel(level));
    const std::size_t bytes = prepared->bytes;
    prepared->owner = std::move(drawing);
    auto entry = std::make_shared<const PreparedDrawing>(PreparedDrawing{version, prepared});
    // Replacing the clip's entry at this level drops the drawing it had before.
    m_drawings.insert(key, std::move(entry), bytes);
    return prepared;
}

void ShapeCache::prepareDrawings(std::vector<DrawingRequest> requests)
{
    std::erase_if(requests, [this](const DrawingRequest& r) {
        const auto found = r.drawing ? m_drawings.find({r.objectId, r.level}) : nullptr;
        return !r.drawing || (found && found->version == r.version);
    });
    // A few are prepared faster here than handed out.
    if (requests.size() < kParallelDrawings)
        return;
    const std::vector<std::shared_ptr<PreparedShape>> prepared =
        QtConcurrent::blockingMapped(requests, [](const DrawingRequest& r) {
            return prepareShape(*r.drawing, toleranceAtLevel(r.level));
        });
    for (std::size_t i = 0; i < requests.size(); ++i) {
        DrawingRequest& r = requests[i];
        const std::size_t bytes = prepared[i]->bytes;
        prepared[i]->owner = std::move(r.drawing);
        m_drawings.insert(
            {r.objectId, r.level},
            std::make_shared<const PreparedDrawing>(PreparedDrawing{r.version, prepared[i]}),
            bytes);
    }
}

void ShapeCache::clear()
{
    m_drawings.clear();
    m_shapes.clear();
    m_morphs.clear();
}

} // namespace render
