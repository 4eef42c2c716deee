#include "DisplayObject.h"

#include "ContainerObject.h"
#include "PlayerContext.h"

namespace runtime {

DisplayObject::DisplayObject(PlayerContext& context, ObjectKind kind,
                             const swf::Character* character)
    : m_context(context), m_kind(kind), m_character(character), m_id(context.newObjectId()),
      m_createdTick(context.tick())
{
    m_context.objectCreated();
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

bool DisplayObject::onStage() const
{
    const DisplayObject* object = this;
    while (object->m_parent)
        object = object->m_parent;
    return object->m_isRoot;
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
        return "_level0";
    if (!m_parent)
        return m_name;
    return m_parent->path() + "." + m_name;
}

void DisplayObject::setMatrix(const swf::Matrix& value)
{
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
