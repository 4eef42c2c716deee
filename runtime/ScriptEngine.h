#pragma once

#include "ContextMenu.h"
#include "format/Style.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace runtime {

class DisplayObject;

// The events a clip's handlers answer, by script (onLoad, onEnterFrame...) or by its
// PlaceObject clip actions (onClipEvent). Each carries the CLIPEVENTFLAGS bit of the
// file format (bits as the 32-bit little-endian word of SWF 6 and later reads them), so
// the engine can match clip-action records against it.
#define RUNTIME_CLIP_EVENT_LIST(X)                                                                 \
    X(Load, 0x00000001u, "onLoad")                                                                 \
    X(EnterFrame, 0x00000002u, "onEnterFrame")                                                     \
    X(Unload, 0x00000004u, "onUnload")                                                             \
    X(MouseMove, 0x00000008u, "onMouseMove")                                                       \
    X(MouseDown, 0x00000010u, "onMouseDown")                                                       \
    X(MouseUp, 0x00000020u, "onMouseUp")                                                           \
    X(KeyDown, 0x00000040u, "onKeyDown")                                                           \
    X(KeyUp, 0x00000080u, "onKeyUp")                                                               \
    X(Data, 0x00000100u, "onData")                                                                 \
    X(Initialize, 0x00000200u, "")                                                                 \
    X(Press, 0x00000400u, "onPress")                                                               \
    X(Release, 0x00000800u, "onRelease")                                                           \
    X(ReleaseOutside, 0x00001000u, "onReleaseOutside")                                             \
    X(RollOver, 0x00002000u, "onRollOver")                                                         \
    X(RollOut, 0x00004000u, "onRollOut")                                                           \
    X(DragOver, 0x00008000u, "onDragOver")                                                         \
    X(DragOut, 0x00010000u, "onDragOut")                                                           \
    X(KeyPress, 0x00020000u, "")                                                                   \
    X(Construct, 0x00040000u, "")

enum class ClipEvent : std::uint8_t {
#define RUNTIME_CLIP_EVENT_ENUM(name, bit, method) name,
    RUNTIME_CLIP_EVENT_LIST(RUNTIME_CLIP_EVENT_ENUM)
#undef RUNTIME_CLIP_EVENT_ENUM
};

// The CLIPEVENTFLAGS bit of an event, and the script method that answers it ("" for
// events only clip actions answer).
std::uint32_t clipEventBit(ClipEvent event);
const char* clipEventMethod(ClipEvent event);
// The script method that answers a button's transition (a ButtonCondition bit):
// onRollOver, onPress, onDragOut...; "" for none.
const char* buttonEventMethod(std::uint16_t condition);

// What a movie load reports to whoever follows it (a MovieClipLoader), in this order:
// Start, Progress and Complete as the file has arrived, Init once the movie's first
// frame has run; Error alone when there is no file (or nothing playable in it).
// Dropped, for a load whose clip went before its turn, reports nothing to scripts: the
// follower is let go.
enum class LoadEvent : std::uint8_t { Start, Progress, Complete, Init, Error, Dropped };

// One block of byte code or one event waiting to run, with what it runs on.
struct QueuedAction {
    enum class Kind : std::uint8_t {
        Init,   // DoInitAction: once per sprite, before the frame actions queued with it
        Frame,  // DoAction of a frame just entered
        Button, // a ButtonAction block whose condition a pointer transition met
        // A pointer transition of a button, with no code: scripts may handle it
        // (onPress, onRelease...). Queued after the transition's Button blocks.
        ButtonEvent,
        // An event of a clip (`event`): the engine runs the clip's matching clip
        // actions, then its script handler. Initialize, Construct and Unload events run
        // for clips already off the stage; the others only for clips on it. KeyDown
        // and KeyUp run the clip actions alone: their script handlers answer the focus
        // (Handler below).
        Clip,
        // The script handler of `event` on `target` alone (a focused object's
        // onKeyDown), without clip actions.
        Handler,
        // `event` (MouseMove, MouseDown, MouseUp, KeyDown, KeyUp) for the listeners
        // scripts gave the Mouse or Key object; `target` is the main timeline.
        Listeners,
        // The focus moved from `other` to `button` (either may be null): the objects'
        // onKillFocus and onSetFocus, then the Selection listeners' onSetFocus.
        // `target` is the main timeline.
        FocusChange,
        // The user changed the text of the field `target` (typing, deleting, pasting):
        // its variable follows and it tells its listeners (onChanged).
        TextChanged,
        // The user scrolled the field `target`, or changed its text so that what it
        // can scroll changed: it tells its listeners (onScroller).
        TextScrolled,
        // A press on a link of the field `target` whose address is a script call
        // ("asfunction:name,argument"): `url` holds what follows the scheme.
        TextLink,
        // The mouse wheel turned by `wheelDelta` lines (up is positive) over `button`
        // (the object under the pointer, or null), for the Mouse listeners'
        // onMouseWheel; `target` is the main timeline.
        MouseWheel,
        // The stage's size as scripts see it changed (the host's view, with no-scale):
        // Stage's listeners hear onResize. `target` is the main timeline.
        Resize,
        // `loadEvent` of the load `observer` follows, into `target` (the clip or level
        // root the movie went to, or null for a level that could not be loaded). Runs
        // wherever the target stands.
        Load,
    };

    Kind kind = Kind::Frame;
    // The timeline the code runs on ("this"): the sprite whose frame it is, the timeline
    // holding the DoInitAction tag, the button's parent, or the clip of a Clip event.
    std::shared_ptr<DisplayObject> target;
    // The button whose transition queued a Button block or event; FocusChange: the
    // object taking the focus. Null otherwise.
    std::shared_ptr<DisplayObject> button;
    // FocusChange: the object losing the focus.
    std::shared_ptr<DisplayObject> other;
    // The byte code, inside the movie definition the player keeps alive.
    std::span<const std::uint8_t> code;
    swf::CharacterId spriteId = 0;          // Init: the sprite the block initialises
    std::uint16_t condition = 0;            // Button, ButtonEvent: the ButtonCondition bit met
    ClipEvent event = ClipEvent::Load;      // Clip, Handler, Listeners
    std::uint8_t keyCode = 0;               // Clip, KeyPress: the key
    LoadEvent loadEvent = LoadEvent::Start; // Load
    std::uint64_t observer = 0;             // Load: the engine's name for the load
    std::size_t bytes = 0;                  // Load: the file's length
    int wheelDelta = 0;                     // MouseWheel
    std::string url;                        // TextLink
};

// The ActionScript interpreter, as the runtime sees it. The runtime never includes an
// interpreter header: it decides what runs and in which order, and the engine runs it.
class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;

    // Runs one queued block or event. Returns the number of actions it executed, which
    // the player counts against its per-step cap.
    virtual std::size_t runAction(const QueuedAction& action) = 0;

    // An object was just placed (by the timeline or a script), before its first frame
    // runs: the engine gives it its script object, and its class when one is
    // registered for its character.
    virtual void objectCreated(DisplayObject& /*object*/) {}
    // An object left the stage (removed by its timeline, a rebuild or a script), told
    // for every object of a removed subtree. A removed clip whose subtree has an unload
    // handler stays reachable until the step's actions have run, so that its Unload
    // events (queued when it was removed) still find it by name; it is told here when
    // it is finally taken away.
    virtual void objectRemoved(DisplayObject& /*object*/) {}
    // Whether a script gave the clip an unload handler (onUnload, on the clip or its
    // class); the runtime knows about onClipEvent(unload) itself.
    virtual bool hasUnloadHandler(const DisplayObject& /*clip*/) const { return false; }
    // Whether a script gave the clip a handler of a button event (onPress, onRelease,
    // onRollOver...): such a clip takes the pointer as a button does.
    virtual bool hasButtonHandler(const DisplayObject& /*clip*/) const { return false; }
    // A script set the object's enabled property to false: it ignores the pointer.
    virtual bool isDisabled(const DisplayObject& /*object*/) const { return false; }
    // Whether a button, or a clip acting as one, shows the hand over it (useHandCursor);
    // scripts may turn it off.
    virtual bool usesHandCursor(const DisplayObject& /*object*/) const { return true; }
    // The object's tabEnabled as a script set it, or true for a clip that scripts gave a
    // member named as a button handler (onPress...), whatever its value; nothing else.
    virtual std::optional<bool> tabEnabled(const DisplayObject& /*object*/) const
    {
        return std::nullopt;
    }
    // A clip's tabChildren as a script set it; nothing when no script did.
    virtual std::optional<bool> tabChildren(const DisplayObject& /*clip*/) const
    {
        return std::nullopt;
    }
    // Whether the focus shows its rectangle around the object (_focusrect), and Enter
    // or Space press it.
    virtual bool showsFocusRect(const DisplayObject& /*object*/) const { return true; }
    // The object's tabIndex as a script set it; nothing when no script did.
    virtual std::optional<double> tabIndex(const DisplayObject& /*object*/) const
    {
        return std::nullopt;
    }
    // A movie was loaded into `clip` (a clip, or a level's root taking another movie),
    // or unloaded from it, and its first frame has not run yet: its script object
    // starts afresh, without the variables and handlers it had.
    virtual void movieReplaced(DisplayObject& /*clip*/) {}
    // A step (a frame advance or an input event) is over and no code runs: a safe
    // moment for the engine's housekeeping (garbage collection, timers).
    virtual void stepFinished() {}
    // The context menu opens over `target` (the topmost object under the pointer; null
    // for the stage): the menu that applies there hears onSelect, then says how the
    // player's menu looks. `model` comes with the player's own settings.
    virtual void contextMenuOpening(const DisplayObject* /*target*/, ContextMenuModel& /*model*/) {}
    // The movie's own item `index` (of those contextMenuOpening gave) was chosen.
    virtual void contextMenuItemChosen(std::size_t /*index*/) {}
};

} // namespace runtime
