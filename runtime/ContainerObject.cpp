#include "ContainerObject.h"

#include "Limits.h"
#include "PlayerContext.h"
#include "StageEvents.h"

#include <algorithm>
#include <limits>

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

DisplayObject* ContainerObject::childAtScriptDepth(int scriptDepth) const
{
    if (scriptDepth < limits::kMinScriptDepth || scriptDepth > limits::kMaxScriptDepth)
        return nullptr;
    DisplayObject* child = childAt(scriptDepth + limits::kScriptDepthOffset);
    return child && !child->isUnloading() ? child : nullptr;
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

long long ContainerObject::nextHighestScriptDepth() const
{
    if (m_children.empty())
        return 0;
    const int highest = m_children.rbegin()->first - limits::kScriptDepthOffset;
    return highest < 0 ? 0 : static_cast<long long>(highest) + 1;
}

void ContainerObject::placeChild(int depth, std::shared_ptr<DisplayObject> child)
{
    if (!child)
        return;
    if (child->m_parent && child->m_parent != this) {
        child->m_parent->m_children.erase(child->m_depth);
        child->m_parent->markContentChanged();
    } else if (child->m_parent == this) {
        m_children.erase(child->m_depth);
    }
    if (m_children.count(depth))
        removeChild(depth);
    auto& slot = m_children[depth];
    slot = std::move(child);
    slot->m_parent = this;
    slot->m_depth = depth;
    slot->m_unloading = false;
    markContentChanged();
}

std::shared_ptr<DisplayObject> ContainerObject::removeChild(int depth)
{
    auto it = m_children.find(depth);
    if (it == m_children.end() || it->second->m_unloading)
        return nullptr;
    std::shared_ptr<DisplayObject> child = it->second;
    m_children.erase(it);
    markContentChanged();
    const bool keep = queueUnloads(*child);
    const int parked = keep ? unloadingDepth(depth) : depth;
    if (keep && parked < depth) {
        child->m_depth = parked;
        child->m_unloading = true;
        m_children[parked] = child;
        context().keepUntilUnloaded(child);
        return child;
    }
    // Told while its path is still whole, though no longer in the list.
    announceRemoved(*child);
    detach(*child);
    return child;
}

void ContainerObject::swapChildDepth(DisplayObject& child, int depth)
{
    if (child.m_parent != this || child.m_depth == depth)
        return;
    const int from = child.m_depth;
    std::shared_ptr<DisplayObject> moving = std::move(m_children[from]);
    m_children.erase(from);
    auto there = m_children.find(depth);
    if (there != m_children.end()) {
        there->second->m_depth = from;
        m_children[from] = std::move(there->second);
        m_children.erase(depth);
    }
    moving->m_depth = depth;
    m_children[depth] = std::move(moving);
    markContentChanged();
}

void ContainerObject::takeAwayUnloaded(DisplayObject& child)
{
    auto it = m_children.find(child.m_depth);
    if (it == m_children.end() || it->second.get() != &child)
        return;
    std::shared_ptr<DisplayObject> taken = std::move(it->second);
    m_children.erase(it);
    markContentChanged();
    announceRemoved(*taken);
    detach(*taken);
    taken->m_unloading = false;
}

int ContainerObject::unloadingDepth(int depth) const
{
    // Below every depth in use: the reference moves such a clip under the others, so
    // a name lookup finds it before a clip placed at its old depth meanwhile.
    const int lowest = m_children.empty() ? 0 : std::min(0, m_children.begin()->first);
    const int mirrored = depth >= 0 ? -1 - depth : depth - 1;
    if (mirrored < lowest || !m_children.count(mirrored))
        return mirrored;
    // Leniency: a depth that cannot go lower removes the clip at once.
    return lowest == std::numeric_limits<int>::min() ? depth : lowest - 1;
}

Bounds ContainerObject::localBounds() const
{
    Bounds bounds;
    for (const auto& [depth, child] : m_children) {
        if (!child->isUnloading())
            bounds.include(child->localBounds().transformed(child->matrix()));
    }
    return bounds;
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
