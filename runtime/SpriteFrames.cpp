// SpriteObject: executing a frame's control tags, and rebuilding for a backward jump.
#include "ObjectFactory.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "TimelineState.h"

namespace runtime {

void SpriteObject::executeFrame(std::size_t frame, FrameMode mode, ActionBlocks& actions)
{
    m_currentFrame = frame;
    // Frames the definition lacks (a count larger than its frames) are empty.
    if (frame >= m_timeline.frames.size())
        return;
    for (const swf::ControlTag& tag : m_timeline.frames[frame].tags)
        executeTag(tag, mode, actions);
}

void SpriteObject::executeTag(const swf::ControlTag& tag, FrameMode mode, ActionBlocks& actions)
{
    if (const auto* placeTag = std::get_if<swf::PlaceObject>(&tag)) {
        place(*placeTag);
    } else if (const auto* removeTag = std::get_if<swf::RemoveObject>(&tag)) {
        // The depth names the object; RemoveObject's character id adds nothing.
        removeChild(removeTag->depth);
    } else if (const auto* doAction = std::get_if<swf::DoAction>(&tag)) {
        if (mode == FrameMode::Full)
            actions.emplace_back(doAction->actions);
    } else if (const auto* initAction = std::get_if<swf::DoInitAction>(&tag)) {
        // Init actions belong to the movie, not to a visit of the frame: a jump over
        // their frame still runs them (once).
        queueInitAction(*initAction);
    } else if (const auto* background = std::get_if<swf::SetBackgroundColor>(&tag)) {
        context().setBackground(background->color);
    }
    // StartSound waits for the sound engine.
}

void SpriteObject::place(const swf::PlaceObject& tag)
{
    if (!tag.move) {
        if (!tag.characterId) {
            context().log(LogCategory::Timeline, [&] {
                return "ignored: placement without a character at depth " +
                       std::to_string(tag.depth) + " in " + path();
            });
            return;
        }
        // Leniency: a placement on an occupied depth replaces what is there, so the
        // display shows what the latest tag describes.
        createAt(tag.depth, Placement::fromTag(tag));
        return;
    }
    DisplayObject* existing = childAt(tag.depth);
    if (!existing) {
        // Leniency: a move of an empty depth changes nothing.
        context().log(LogCategory::Timeline, [&] {
            return "ignored: move of empty depth " + std::to_string(tag.depth) + " in " + path();
        });
        return;
    }
    if (tag.characterId && context().movie().character(*tag.characterId) != existing->character())
        replace(*existing, tag);
    else
        applyPlacement(*existing, Placement::fromTag(tag), AbsentFields::Keep);
}

void SpriteObject::replace(DisplayObject& existing, const swf::PlaceObject& tag)
{
    std::shared_ptr<DisplayObject> object = createObject(context(), *tag.characterId, *this);
    // A replacement that cannot be made leaves the old object in place.
    if (!object)
        return;
    inheritPlacement(existing, *object);
    placeChild(tag.depth, object);
    applyPlacement(*object, Placement::fromTag(tag), AbsentFields::Keep);
    nameIfNeeded(*object);
    object->initialize();
}

void SpriteObject::createAt(int depth, const Placement& placement)
{
    std::shared_ptr<DisplayObject> object = createObject(context(), *placement.characterId, *this);
    if (!object)
        return;
    placeChild(depth, object);
    applyPlacement(*object, placement, AbsentFields::Reset);
    nameIfNeeded(*object);
    object->initialize();
}

void SpriteObject::nameIfNeeded(DisplayObject& object)
{
    // Scripts reach every clip by a path, so one placed without a name gets one.
    if (object.isScriptable() && object.name().empty())
        object.setName(context().newInstanceName());
}

void SpriteObject::rebuildTo(std::size_t frame, ActionBlocks& actions)
{
    const swf::MovieDefinition& movie = context().movie();
    TimelineState state(movie);
    const std::size_t stored = std::min(frame + 1, m_timeline.frames.size());
    for (std::size_t f = 0; f < stored; ++f) {
        for (const swf::ControlTag& tag : m_timeline.frames[f].tags) {
            state.apply(tag);
            if (const auto* initAction = std::get_if<swf::DoInitAction>(&tag))
                queueInitAction(*initAction);
            else if (const auto* background = std::get_if<swf::SetBackgroundColor>(&tag))
                context().setBackground(background->color);
            else if (const auto* doAction = std::get_if<swf::DoAction>(&tag);
                     doAction && f == frame)
                actions.emplace_back(doAction->actions);
        }
    }
    m_currentFrame = frame;

    // What stays: the same character at the same depth keeps its object (and a clip's
    // own timeline keeps playing); everything else goes.
    const TimelineState::Entries& target = state.entries();
    for (const auto& [depth, child] : Children(children())) {
        auto it = target.find(depth);
        if (it == target.end() || movie.character(*it->second.characterId) != child->character())
            removeChild(depth);
    }
    for (const auto& [depth, placement] : target) {
        if (DisplayObject* existing = childAt(depth))
            applyPlacement(*existing, placement, AbsentFields::Reset);
        else
            createAt(depth, placement);
    }
}

} // namespace runtime
