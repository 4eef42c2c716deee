#pragma once

#include <memory>

namespace runtime {

class DisplayObject;
class SpriteObject;

// The object that has the keyboard focus (Selection.setFocus, the Tab key): it hears
// the keys first (its onKeyDown and onKeyUp), and Enter or Space press it when it is a
// button or a clip acting as one.
//
// Tab moves the focus along the tab order of the objects that take the focus
// (visible enabled buttons, clips acting as buttons, input text fields, and whatever
// scripts set tabEnabled on; tabEnabled false leaves one out): by tabIndex when
// scripts gave any (the objects without one are left out), else the automatic order,
// from the top of the stage down and, on one line, from left to right.
class FocusControl {
public:
    // The focused object while it is on the stage.
    std::shared_ptr<DisplayObject> focused() const;
    // Gives the focus to `object` (null takes it from everyone), queuing the change for
    // the scripts; false when nothing changed.
    bool setFocus(SpriteObject& root, std::shared_ptr<DisplayObject> object);
    // The next object in tab order (the previous one backwards), round at the ends;
    // false when no object takes the focus.
    bool tab(SpriteObject& root, bool backwards);

    static bool takesFocus(const DisplayObject& object);

private:
    std::weak_ptr<DisplayObject> m_focused;
};

} // namespace runtime
