#include "ContainerObject.h"

#include "PlayerContext.h"

namespace runtime {

ContainerObject::~ContainerObject()
{
    // Children that others still hold must not point at a parent that is gone.
    for (auto& [depth, child] : m_children)
        detach(*child);
}

DisplayObject* ContainerObject::childAt(int depth) const
{
    auto it = m_children.find(depth);
    return it == m_children.end() ? nullptr : it->second.get();
}

DisplayObject* ContainerObject::childByName(std::string_view name) const
{
    const NameCase rule = context().nameCase();
    for (const auto& [depth, child] : m_children) {
        if (sameName(child->name(), name, rule))
            return child.get();
    }
    return nullptr;
}

std::vector<std::shared_ptr<DisplayObject>> ContainerObject::childrenSnapshot() const
{
    std::vector<std::shared_ptr<DisplayObject>> out;
    out.reserve(m_children.size());
    for (const auto& [depth, child] : m_children)
        out.push_back(child);
    return out;
}

void ContainerObject::placeChild(int depth, std::shared_ptr<DisplayObject> child)
{
    if (!child)
        return;
    if (child->m_parent && child->m_parent != this)
        child->m_parent->removeChild(child->m_depth);
    else if (child->m_parent == this)
        m_children.erase(child->m_depth);
    auto& slot = m_children[depth];
    if (slot)
        detach(*slot);
    slot = std::move(child);
    slot->m_parent = this;
    slot->m_depth = depth;
    markContentChanged();
}

std::shared_ptr<DisplayObject> ContainerObject::removeChild(int depth)
{
    auto it = m_children.find(depth);
    if (it == m_children.end())
        return nullptr;
    std::shared_ptr<DisplayObject> child = std::move(it->second);
    m_children.erase(it);
    detach(*child);
    markContentChanged();
    return child;
}

void ContainerObject::removeAllChildren()
{
    if (m_children.empty())
        return;
    for (auto& [depth, child] : m_children)
        detach(*child);
    m_children.clear();
    markContentChanged();
}

void ContainerObject::bumpSubtree()
{
    DisplayObject::bumpSubtree();
    for (auto& [depth, child] : m_children)
        child->bumpSubtree();
}

void ContainerObject::detach(DisplayObject& child)
{
    child.m_parent = nullptr;
}

} // namespace runtime
