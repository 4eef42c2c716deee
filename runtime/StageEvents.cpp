#include "StageEvents.h"

#include "ContainerObject.h"
#include "PlayerContext.h"

#include <algorithm>
#include <vector>

namespace runtime {

namespace {

bool hasClipActions(const DisplayObject& object)
{
    return object.clipActions() && !object.clipActions()->empty();
}

bool answersUnload(const DisplayObject& clip, const ScriptEngine* engine)
{
    if (const auto* actions = clip.clipActions()) {
        for (const swf::ClipAction& action : *actions) {
            if (action.events & swf::ClipEventUnload)
                return true;
        }
    }
    return engine && engine->hasUnloadHandler(clip);
}

// Every object of the subtree, the top first. Nesting is capped when objects are made
// (limits::kMaxDisplayNesting), and the walk keeps its own stack.
std::vector<DisplayObject*> subtree(DisplayObject& top)
{
    std::vector<DisplayObject*> out{&top};
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i]->kind() != ObjectKind::Sprite && out[i]->kind() != ObjectKind::Button)
            continue;
        for (const auto& [depth, child] : static_cast<ContainerObject*>(out[i])->children())
            out.push_back(child.get());
    }
    return out;
}

} // namespace

void queueClipEvent(DisplayObject& clip, ClipEvent event)
{
    QueuedAction action;
    action.kind = QueuedAction::Kind::Clip;
    action.target = clip.shared_from_this();
    action.event = event;
    clip.context().actions().push(std::move(action));
}

void announcePlaced(DisplayObject& object)
{
    PlayerContext& context = object.context();
    if (ScriptEngine* engine = context.scriptEngine())
        engine->objectCreated(object);
    if (object.kind() != ObjectKind::Sprite)
        return;
    if (!object.isRoot()) {
        queueClipEvent(object, ClipEvent::Initialize);
        queueClipEvent(object, ClipEvent::Construct);
    }
    if (hasClipActions(object))
        queueClipEvent(object, ClipEvent::Load);
    else
        context.deferLoad(object.shared_from_this());
}

bool queueUnloads(DisplayObject& top)
{
    const ScriptEngine* engine = top.context().scriptEngine();
    std::vector<DisplayObject*> clips;
    for (DisplayObject* object : subtree(top)) {
        if (object->kind() == ObjectKind::Sprite && !object->isUnloading())
            clips.push_back(object);
    }
    // Clips made later unload first: ids grow with creation, and a clip is always
    // made before what it holds.
    std::sort(clips.begin(), clips.end(),
              [](const DisplayObject* a, const DisplayObject* b) { return a->id() > b->id(); });
    bool answered = false;
    for (DisplayObject* clip : clips) {
        queueClipEvent(*clip, ClipEvent::Unload);
        answered = answered || answersUnload(*clip, engine);
    }
    return answered;
}

void announceRemoved(DisplayObject& top)
{
    ScriptEngine* engine = top.context().scriptEngine();
    if (!engine)
        return;
    for (DisplayObject* object : subtree(top))
        engine->objectRemoved(*object);
}

void finishUnloading(PlayerContext& context)
{
    for (const std::shared_ptr<DisplayObject>& object : context.takeUnloading()) {
        ContainerObject* parent = object->parent();
        if (parent && object->isUnloading())
            parent->takeAwayUnloaded(*object);
    }
}

} // namespace runtime
