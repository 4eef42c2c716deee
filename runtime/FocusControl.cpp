#include "FocusControl.h"

#include "ButtonTracker.h"
#include "EditTextObject.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "format/Limits.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace runtime {

namespace {

void collectFocusable(const ContainerObject& container, std::vector<DisplayObject*>& out, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return;
    for (const auto& [depth, child] : container.children()) {
        if (!child->visible() || child->isUnloading())
            continue;
        if (FocusControl::takesFocus(*child))
            out.push_back(child.get());
        if (child->kind() == ObjectKind::Sprite || child->kind() == ObjectKind::Button)
            collectFocusable(static_cast<const ContainerObject&>(*child), out, level + 1);
    }
}

// Objects scripts gave a tabIndex, by it, when there are any: the others are left out.
// Otherwise from the top down, then from the left. The display order breaks ties.
std::vector<DisplayObject*> tabOrder(SpriteObject& root)
{
    std::vector<DisplayObject*> objects;
    collectFocusable(root, objects, 0);
    if (const ScriptEngine* engine = root.context().scriptEngine()) {
        std::vector<std::pair<double, DisplayObject*>> indexed;
        for (DisplayObject* object : objects) {
            if (const std::optional<double> index = engine->tabIndex(*object))
                indexed.emplace_back(*index, object);
        }
        if (!indexed.empty()) {
            std::stable_sort(indexed.begin(), indexed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            objects.clear();
            for (const auto& [index, object] : indexed)
                objects.push_back(object);
            return objects;
        }
    }
    std::stable_sort(objects.begin(), objects.end(), [](DisplayObject* a, DisplayObject* b) {
        const Bounds ba = a->boundsIn(nullptr);
        const Bounds bb = b->boundsIn(nullptr);
        if (ba.yMin != bb.yMin)
            return ba.yMin < bb.yMin;
        return ba.xMin < bb.xMin;
    });
    return objects;
}

bool isInputText(const DisplayObject& object)
{
    return object.kind() == ObjectKind::EditText &&
           !static_cast<const EditTextObject&>(object).definition().readOnly;
}

} // namespace

bool FocusControl::takesFocus(const DisplayObject& object)
{
    if (object.isRoot())
        return false;
    std::optional<bool> chosen;
    if (const ScriptEngine* engine = object.context().scriptEngine())
        chosen = engine->tabEnabled(object);
    // Only input fields take the focus, whatever scripts say.
    if (object.kind() == ObjectKind::EditText)
        return isInputText(object) && chosen.value_or(true);
    return chosen.value_or(ButtonTracker::takesPointer(object));
}

std::shared_ptr<DisplayObject> FocusControl::focused() const
{
    std::shared_ptr<DisplayObject> object = m_focused.lock();
    return object && object->onStage() ? object : nullptr;
}

bool FocusControl::setFocus(SpriteObject& root, std::shared_ptr<DisplayObject> object)
{
    std::shared_ptr<DisplayObject> previous = focused();
    if (previous == object)
        return false;
    m_focused = object;
    QueuedAction change;
    change.kind = QueuedAction::Kind::FocusChange;
    change.target = root.shared_from_this();
    change.button = std::move(object);
    change.other = std::move(previous);
    root.context().actions().push(std::move(change));
    return true;
}

bool FocusControl::tab(SpriteObject& root, bool backwards)
{
    const std::vector<DisplayObject*> order = tabOrder(root);
    if (order.empty())
        return false;
    const std::shared_ptr<DisplayObject> current = focused();
    const auto at = std::find(order.begin(), order.end(), current.get());
    std::size_t next = 0;
    if (at == order.end())
        next = backwards ? order.size() - 1 : 0;
    else if (backwards)
        next = at == order.begin() ? order.size() - 1 : std::size_t(at - order.begin()) - 1;
    else
        next = (std::size_t(at - order.begin()) + 1) % order.size();
    setFocus(root, order[next]->shared_from_this());
    return true;
}

} // namespace runtime
