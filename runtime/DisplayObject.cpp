#include "DisplayObject.h"

#include "ContainerObject.h"
#include "Limits.h"
#include "PlayerContext.h"
#include "SpriteObject.h"

#include <type_traits>
#include <variant>

namespace runtime {

DisplayObject::DisplayObject(PlayerContext& context, ObjectKind kind,
                             const swf::Character* character)
    : m_context(context), m_movie(context.mainMovie()), m_kind(kind), m_character(character),
      m_id(context.newObjectId())
{
    m_context.objectCreated();
}

void DisplayObject::setMovieInstance(MovieInstancePtr movie)
{
    if (movie)
        m_movie = std::move(movie);
}

DisplayObject::~DisplayObject()
{
    m_context.objectDestroyed();
}

bool DisplayObject::isScriptable() const
{
    return m_kind == ObjectKind::Sprite || m_kind == ObjectKind::Button ||
           m_kind == ObjectKind::EditText;
}

const DisplayObject& DisplayObject::topmost() const
{
    const DisplayObject* object = this;
    while (object->m_parent)
        object = object->m_parent;
    return *object;
}

bool DisplayObject::onStage() const
{
    const DisplayObject& top = topmost();
    return top.m_isRoot && top.m_context.level(top.m_level) == &top;
}

int DisplayObject::scriptDepth() const
{
    return m_depth - limits::kScriptDepthOffset;
}

int DisplayObject::nestingLevel() const
{
    int level = 0;
    for (const DisplayObject* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

std::string DisplayObject::path() const
{
    if (m_isRoot)
        return "_level" + std::to_string(m_level);
    if (!m_parent)
        return m_name;
    return m_parent->path() + "." + m_name;
}

std::string DisplayObject::targetPath() const
{
    if (m_isRoot)
        return m_level == 0 ? "/" : "_level" + std::to_string(m_level);
    if (!m_parent)
        return m_name;
    const std::string above = m_parent->targetPath();
    return above + (above == "/" ? "" : "/") + m_name;
}

void DisplayObject::setMatrix(const swf::Matrix& value)
{
    // Scales and rotation set by scripts describe the old matrix, not this one.
    m_scriptTransform.reset();
    if (value == m_matrix)
        return;
    m_matrix = value;
    markPlacementChanged();
}

void DisplayObject::setColorTransform(const swf::ColorTransform& value)
{
    if (value == m_colorTransform)
        return;
    m_colorTransform = value;
    markColorChanged();
}

void DisplayObject::setRatio(std::uint16_t value)
{
    if (value == m_ratio)
        return;
    m_ratio = value;
    markContentChanged();
    ratioChanged();
}

void DisplayObject::setClipDepth(std::uint16_t value)
{
    if (value == m_clipDepth)
        return;
    m_clipDepth = value;
    markPlacementChanged();
}

void DisplayObject::setBlendMode(swf::BlendMode value)
{
    if (value == m_blendMode)
        return;
    m_blendMode = value;
    markContentChanged();
}

void DisplayObject::setFilters(FilterList value)
{
    if (value == m_filters)
        return;
    m_filters = std::move(value);
    markContentChanged();
}

void DisplayObject::setCacheAsBitmap(bool value)
{
    if (value == m_cacheAsBitmap)
        return;
    m_cacheAsBitmap = value;
    markContentChanged();
}

void DisplayObject::setVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    markPlacementChanged();
}

void DisplayObject::setScriptMask(DisplayObject* mask)
{
    if (mask == this)
        mask = nullptr;
    if (DisplayObject* old = scriptMask()) {
        old->m_scriptMaskee.reset();
        old->markPlacementChanged();
    }
    m_scriptMask.reset();
    if (mask) {
        if (const std::shared_ptr<DisplayObject> other = mask->m_scriptMaskee.lock()) {
            other->m_scriptMask.reset();
            other->markPlacementChanged();
        }
        mask->m_scriptMaskee = weak_from_this();
        m_scriptMask = mask->weak_from_this();
        mask->markPlacementChanged();
    }
    markPlacementChanged();
}

bool DisplayObject::isActiveScriptMask() const
{
    // Asked of every object drawn: most never mask anything.
    if (m_scriptMaskee.expired())
        return false;
    const std::shared_ptr<DisplayObject> maskee = m_scriptMaskee.lock();
    return maskee && maskee->scriptMask() == this && !isMask() && !maskee->isMask() &&
           maskee->onStage() && onStage();
}

const DisplayObject* DisplayObject::activeScriptMask() const
{
    const DisplayObject* mask = scriptMask();
    return mask && mask->isActiveScriptMask() ? mask : nullptr;
}

Bounds DisplayObject::localBounds() const
{
    if (!m_character)
        return {};
    return std::visit(
        [this](const auto& data) -> Bounds {
            using T = std::decay_t<decltype(data)>;
            if constexpr (std::is_same_v<T, swf::Shape>) {
                return Bounds::fromRect(data.bounds);
            } else if constexpr (std::is_same_v<T, swf::MorphShape>) {
                return Bounds::interpolate(Bounds::fromRect(data.startBounds),
                                           Bounds::fromRect(data.endBounds), m_ratio / 65535.0);
            } else if constexpr (std::is_same_v<T, swf::StaticText> ||
                                 std::is_same_v<T, swf::EditText>) {
                return Bounds::fromRect(data.bounds);
            } else {
                // Containers answer for themselves; bitmaps, fonts and sounds are never
                // placed.
                return {};
            }
        },
        m_character->data);
}

Bounds DisplayObject::boundsIn(const DisplayObject* space) const
{
    swf::Matrix toSpace = worldMatrix();
    if (space) {
        swf::Matrix fromStage;
        // A space flattened to a line has no inside: nothing can be measured in it.
        if (!space->worldMatrix().invert(fromStage))
            return {};
        toSpace = fromStage * toSpace;
    }
    return localBounds().transformed(toSpace);
}

swf::Matrix DisplayObject::worldMatrix() const
{
    return m_parent ? m_parent->worldMatrix() * m_matrix : m_matrix;
}

swf::ColorTransform DisplayObject::worldColorTransform() const
{
    return m_parent ? m_parent->worldColorTransform() * m_colorTransform : m_colorTransform;
}

void DisplayObject::markContentChanged()
{
    ++m_contentVersion;
    markPlacementChanged();
}

void DisplayObject::markPlacementChanged()
{
    for (DisplayObject* p = m_parent; p; p = p->m_parent)
        ++p->m_contentVersion;
}

void DisplayObject::markColorChanged()
{
    bumpSubtree();
    markPlacementChanged();
}

} // namespace runtime
