#pragma once

#include "format/Button.h"

#include <memory>

namespace runtime {

class ContainerObject;
class DisplayObject;

// Turns pointer input (stage twips) into button transitions, for buttons and for the
// clips that act as buttons (those with a press, release, roll or drag handler). It
// keeps the object the pointer is over and the one a press holds:
//   - with the pointer up, moving onto an object is IdleToOverUp, off it OverUpToIdle;
//   - a press over an object is OverUpToOverDown, and that object holds the press:
//     while the pointer stays down, leaving it is OverDownToOutDown, coming back
//     OutDownToOverDown, and the release is OverDownToOverUp inside or OutDownToIdle
//     outside; other objects do not react meanwhile;
//   - a trackAsMenu button lets go of the press when the pointer leaves
//     (OverDownToIdle), and a trackAsMenu button the pointer reaches while down takes it
//     (IdleToOverDown), so a release over it counts there.
// A button shows the state of its transition and queues its actions; a clip queues the
// matching clip event (rollOver, press, dragOut...).
//
// The object under the pointer is the topmost one that takes the pointer: an enabled,
// visible button whose hit area covers the point (a button inside it first), or a clip
// acting as a button whose drawing covers it (which then answers for all it holds).
// Masks are not considered.
//
// An object the timeline takes away and places again (the same character at the same
// depth of the same parent, as a jump back does) is the same object to the tracker:
// the new one takes over the old one's state without transitions.
class ButtonTracker {
public:
    void pointerMove(ContainerObject& root, double x, double y);
    void pointerDown(ContainerObject& root, double x, double y);
    void pointerUp(ContainerObject& root, double x, double y);

    bool isDown() const { return m_down; }
    // The object under the pointer with the pointer up, and the one holding a press.
    std::shared_ptr<DisplayObject> hovered() const;
    std::shared_ptr<DisplayObject> pressed() const;
    // The object the pointer is over now and that answers it: the hovered one with the
    // pointer up, the one holding the press while the pointer stays over it.
    std::shared_ptr<DisplayObject> pointedAt() const;

    static DisplayObject* targetAt(ContainerObject& root, double x, double y);
    // Whether the object answers the pointer at all: an enabled button, or a clip with
    // a button handler that scripts did not disable.
    static bool takesPointer(const DisplayObject& object);
    // Applies one transition to a button or a clip acting as one; false when a button
    // is not in the state the transition starts from.
    static bool transition(DisplayObject& object, swf::ButtonCondition condition);

private:
    // What the tracker holds, with where it stood, to know it again once replaced.
    struct Tracked {
        std::weak_ptr<DisplayObject> object;
        std::weak_ptr<DisplayObject> parent;
        int depth = 0;
        swf::CharacterId characterId = 0;

        void hold(const std::shared_ptr<DisplayObject>& held);
        void reset() { *this = {}; }
        // What stands where the object held stood, once it is gone and replaced.
        std::shared_ptr<DisplayObject> replacement() const;
    };

    void hover(DisplayObject* target);
    void dragTo(DisplayObject* target);
    // Objects that replaced what the tracker holds take their places and states.
    void takeOver();

    Tracked m_hovered;
    Tracked m_pressed;
    // The pointer is over the object holding the press.
    bool m_pressedInside = false;
    bool m_down = false;
};

} // namespace runtime
