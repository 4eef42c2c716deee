#include "TabOrder.h"

#include "ButtonTracker.h"
#include "EditTextObject.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "format/Limits.h"

#include <algorithm>
#include <optional>

namespace runtime {

namespace {

struct Candidate {
    DisplayObject* object = nullptr;
    std::optional<double> tabIndex;
    // Whether it takes part in the automatic order.
    bool automatic = false;
};

bool isInputText(const DisplayObject& object)
{
    return object.kind() == ObjectKind::EditText &&
           !static_cast<const EditTextObject&>(object).definition().readOnly;
}

// Nothing when the object never takes the focus from the Tab key.
std::optional<Candidate> candidate(DisplayObject& object, const ScriptEngine* engine)
{
    const std::optional<bool> chosen = engine ? engine->tabEnabled(object) : std::nullopt;
    if (chosen == false)
        return std::nullopt;
    Candidate found;
    found.object = &object;
    found.tabIndex = engine ? engine->tabIndex(object) : std::nullopt;
    if (object.kind() == ObjectKind::EditText) {
        if (!isInputText(object))
            return std::nullopt;
        found.automatic = true;
    } else {
        found.automatic = chosen.value_or(false) || ButtonTracker::takesPointer(object);
    }
    if (!found.automatic && !found.tabIndex)
        return std::nullopt;
    return found;
}

bool hidesChildren(const DisplayObject& clip, const ScriptEngine* engine)
{
    return engine && engine->tabChildren(clip) == false;
}

void collect(ContainerObject& container, const ScriptEngine* engine, std::vector<Candidate>& out,
             int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return;
    for (const auto& [depth, child] : container.children()) {
        if (!child->visible() || child->isUnloading())
            continue;
        if (std::optional<Candidate> found = candidate(*child, engine))
            out.push_back(*found);
        if (child->kind() == ObjectKind::Sprite && !hidesChildren(*child, engine))
            collect(static_cast<ContainerObject&>(*child), engine, out, level + 1);
    }
}

} // namespace

std::vector<DisplayObject*> tabOrder(SpriteObject& root)
{
    const ScriptEngine* engine = root.context().scriptEngine();
    std::vector<Candidate> candidates;
    if (!hidesChildren(root, engine))
        collect(root, engine, candidates, 0);
    std::vector<DisplayObject*> order;
    const bool custom = std::any_of(candidates.begin(), candidates.end(),
                                    [](const Candidate& c) { return c.tabIndex.has_value(); });
    if (custom) {
        std::erase_if(candidates, [](const Candidate& c) { return !c.tabIndex; });
        std::stable_sort(
            candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return *a.tabIndex < *b.tabIndex; });
    } else {
        std::erase_if(candidates, [](const Candidate& c) { return !c.automatic; });
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const Candidate& a, const Candidate& b) {
                             const Bounds ba = a.object->boundsIn(nullptr);
                             const Bounds bb = b.object->boundsIn(nullptr);
                             if (ba.yMin != bb.yMin)
                                 return ba.yMin < bb.yMin;
                             return ba.xMin < bb.xMin;
                         });
    }
    order.reserve(candidates.size());
    for (const Candidate& c : candidates)
        order.push_back(c.object);
    return order;
}

} // namespace runtime
