// SpriteObject: executing a frame's control tags, and replaying the timeline for a
// backward jump or a loop.
#include "Limits.h"
#include "MovieSounds.h"
#include "ObjectFactory.h"
#include "PlayerContext.h"
#include "SpriteObject.h"
#include "StageEvents.h"

#include <map>

namespace runtime {

namespace {

// Depths the timeline manages; from script depth 0 up the scripts' own clips stand.
bool isTimelineDepth(int depth)
{
    return depth >= 0 && depth < limits::kScriptDepthOffset;
}

bool isSprite(const swf::Character* character)
{
    return character && std::holds_alternative<swf::Sprite>(character->data);
}

// Whether the replay placing `tag` places `object` again. The authoring tool numbers
// each placement of a sprite in the ratio field, so the same ratio (or none in both)
// means the same instance: a clip stays even where the later tag names another sprite
// (a clip cannot change its character), while another shape or text at the depth is a
// new object.
bool sameInstance(const DisplayObject& object, const swf::PlaceObject& tag,
                  const swf::MovieDefinition& movie)
{
    if (object.isScriptPlaced() || !object.placedBy())
        return false;
    if (object.placedBy() == &tag)
        return true;
    if (object.placedBy()->ratio != tag.ratio)
        return false;
    const swf::Character* placed = movie.character(*tag.characterId);
    if (object.kind() == ObjectKind::Sprite && isSprite(placed))
        return true;
    return placed == object.character();
}

} // namespace

void SpriteObject::executeFrame(std::size_t frame, FrameMode mode)
{
    m_currentFrame = frame;
    // Frames the definition lacks (a count larger than its frames) are empty.
    if (frame >= m_timeline->frames.size())
        return;
    if (mode == FrameMode::Full)
        context().sounds().streamFrame(id(), *m_timeline, frame, context().tick());
    for (const swf::ControlTag& tag : m_timeline->frames[frame].tags)
        executeTag(tag, mode);
}

void SpriteObject::executeTag(const swf::ControlTag& tag, FrameMode mode)
{
    if (const auto* placeTag = std::get_if<swf::PlaceObject>(&tag)) {
        place(*placeTag);
    } else if (const auto* removeTag = std::get_if<swf::RemoveObject>(&tag)) {
        // The depth names the object; RemoveObject's character id adds nothing.
        removeChild(removeTag->depth);
    } else if (const auto* doAction = std::get_if<swf::DoAction>(&tag)) {
        // Queued where met: what the frame places before the tag queues its own code
        // first, what it places after queues after.
        if (mode == FrameMode::Full)
            queueFrameAction(doAction->actions);
    } else if (const auto* initAction = std::get_if<swf::DoInitAction>(&tag)) {
        // Init actions belong to the movie, not to a visit of the frame: a jump over
        // their frame still runs them (once).
        queueInitAction(*initAction);
    } else if (const auto* background = std::get_if<swf::SetBackgroundColor>(&tag)) {
        context().setBackground(background->color);
    } else if (const auto* startSound = std::get_if<swf::StartSound>(&tag)) {
        // A sound belongs to the visit of its frame, like the frame's actions.
        if (mode == FrameMode::Full)
            context().sounds().startSound(movie(), *startSound, id());
    }
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
        // display shows what the latest tag describes; but not an object a script
        // moved there.
        if (const DisplayObject* occupant = childAt(tag.depth);
            occupant && occupant->isDepthScripted())
            return;
        createAt(tag.depth, Placement::fromTag(tag), &tag);
        return;
    }
    DisplayObject* existing = childAt(tag.depth);
    if (existing && existing->isDepthScripted())
        return;
    if (!existing) {
        // Leniency: a move of an empty depth changes nothing.
        context().log(LogCategory::Timeline, [&] {
            return "ignored: move of empty depth " + std::to_string(tag.depth) + " in " + path();
        });
        return;
    }
    Placement placement = Placement::fromTag(tag);
    if (tag.characterId && movie().character(*tag.characterId) != existing->character()) {
        if (existing->kind() != ObjectKind::Sprite) {
            replace(*existing, tag);
            return;
        }
        // A clip keeps its character, and with it its name: the reference applies only
        // the move's other fields to it.
        placement.name = nullptr;
    }
    applyPlacement(*existing, placement, AbsentFields::Keep);
}

void SpriteObject::replace(DisplayObject& existing, const swf::PlaceObject& tag)
{
    std::shared_ptr<DisplayObject> object = createObject(*tag.characterId, *this);
    // A replacement that cannot be made leaves the old object in place.
    if (!object)
        return;
    inheritPlacement(existing, *object);
    placeChild(tag.depth, object);
    // The replacement keeps the old object's name, as a clip does: a move's name
    // renames nothing it replaces.
    Placement placement = Placement::fromTag(tag);
    placement.name = nullptr;
    applyPlacement(*object, placement, AbsentFields::Keep);
    nameIfNeeded(*object);
    announcePlaced(*object);
    object->initialize();
}

void SpriteObject::createAt(int depth, const Placement& placement, const swf::PlaceObject* tag)
{
    std::shared_ptr<DisplayObject> object = createObject(*placement.characterId, *this);
    if (!object)
        return;
    placeChild(depth, object);
    applyPlacement(*object, placement, AbsentFields::Reset);
    object->setPlacedBy(tag);
    nameIfNeeded(*object);
    announcePlaced(*object);
    object->initialize();
}

void SpriteObject::nameIfNeeded(DisplayObject& object)
{
    // Scripts reach every clip by a path, so one placed without a name gets one.
    if (object.isScriptable() && object.name().empty())
        object.setName(context().newInstanceName());
}

void SpriteObject::rebuildTo(std::size_t frame, FrameMode targetMode)
{
    const swf::MovieDefinition& definitions = movie();
    const std::size_t stored = std::min(frame + 1, m_timeline->frames.size());

    // What stands at each depth once the target frame is reached: the placement in
    // force there, or nothing. An object now at a depth stays if that placement places
    // the same instance (the replay then applies the placement to it); anything else
    // is taken away first.
    std::map<int, const swf::PlaceObject*> atTarget;
    for (std::size_t f = 0; f < stored; ++f) {
        for (const swf::ControlTag& tag : m_timeline->frames[f].tags) {
            if (const auto* placeTag = std::get_if<swf::PlaceObject>(&tag)) {
                if (!placeTag->move && placeTag->characterId)
                    atTarget[placeTag->depth] = placeTag;
            } else if (const auto* removeTag = std::get_if<swf::RemoveObject>(&tag)) {
                atTarget[removeTag->depth] = nullptr;
            }
        }
    }
    std::map<int, const swf::PlaceObject*> kept;
    for (const auto& [depth, child] : Children(children())) {
        if (!isTimelineDepth(depth) || child->isUnloading())
            continue;
        auto placed = atTarget.find(depth);
        // An object of the timeline's that a script moved to another depth stays where
        // the target frame has something placed, whatever it is (which it then keeps
        // from being placed).
        if (child->isDepthScripted() && !child->isScriptPlaced() && placed != atTarget.end() &&
            placed->second)
            continue;
        if (placed != atTarget.end() && placed->second &&
            sameInstance(*child, *placed->second, definitions))
            kept.emplace(depth, placed->second);
        else
            removeChild(depth);
    }

    // The replay: every frame for its placements (what comes and goes in between is
    // made and removed, with its events), the target frame in full.
    for (std::size_t f = 0; f < stored; ++f) {
        m_currentFrame = f;
        const FrameMode mode = f == frame ? targetMode : FrameMode::PlacementsOnly;
        for (const swf::ControlTag& tag : m_timeline->frames[f].tags) {
            auto keep = kept.end();
            if (const auto* placeTag = std::get_if<swf::PlaceObject>(&tag))
                keep = kept.find(placeTag->depth);
            else if (const auto* removeTag = std::get_if<swf::RemoveObject>(&tag))
                keep = kept.find(removeTag->depth);
            if (keep == kept.end()) {
                executeTag(tag, mode);
                continue;
            }
            // Until its own placement, what the timeline did at a kept object's depth
            // (other objects that came and went there) would only disturb it.
            const auto* placeTag = std::get_if<swf::PlaceObject>(&tag);
            if (placeTag != keep->second)
                continue;
            Placement placement = Placement::fromTag(*placeTag);
            // The instance keeps what made it itself: its name and its clip actions.
            placement.name = nullptr;
            placement.clipActions = nullptr;
            if (DisplayObject* object = childAt(keep->first))
                applyPlacement(*object, placement, AbsentFields::Reset);
            kept.erase(keep);
        }
    }
    m_currentFrame = frame;
    if (targetMode == FrameMode::Full && frame < m_timeline->frames.size())
        context().sounds().streamFrame(id(), *m_timeline, frame, context().tick());
}

} // namespace runtime
