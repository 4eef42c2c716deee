#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace runtime {

class DisplayObject;
class SpriteObject;

// The object that has the keyboard focus: a button, a clip, or a text field that then
// takes what is typed. The focus moves by the Tab key (along tabOrder()), by a script
// (Selection.setFocus), by a press of the pointer (onto a selectable text field, or
// away from everything) and away when the player's window loses the keyboard.
//
// A button or a clip acting as one that the keys or a script focus shows it as the
// pointer over it would: it rolls over (its rollOver event, its over state), and the
// object losing the focus rolls out, even when both are the same. Until the pointer
// moves, such an object hears the keys (its onKeyDown and onKeyUp, as it is the
// focus) and Enter or Space press it, where its focus rectangle shows; a plain clip
// in the tab order hears them, and shows its rectangle, while it keeps the focus. A
// text field taking the focus from the keys or a script has its whole text selected;
// it never hears the keys as a clip does, it takes the text typed.
//
// Scripts announce the moves they make themselves, at once: the others queue a
// FocusChange (after the roll events) for the objects' onKillFocus and onSetFocus and
// the Selection listeners.
class FocusControl {
public:
    enum class Cause : std::uint8_t { Script, Keyboard, Pointer, Window };
    struct Change {
        std::shared_ptr<DisplayObject> from;
        std::shared_ptr<DisplayObject> to;
    };

    // The focused object while it is on the stage.
    std::shared_ptr<DisplayObject> focused() const;
    // The focused object is a button or clip that the keys reach (see above).
    bool keysReachFocus() const;
    // The keys reach it and it shows its focus rectangle: its _focusrect was on when
    // it took the focus (a later change shows from the next move).
    bool showsFocusRect() const { return keysReachFocus() && m_showsRect; }

    // Gives the focus to `object` (null takes it from everyone). The change, or nothing
    // when the focus stays where it was.
    std::optional<Change> moveFocus(SpriteObject& root, std::shared_ptr<DisplayObject> object,
                                    Cause cause);
    // The same for the keys, the pointer or the window, queuing the change for the
    // scripts; false when nothing changed.
    bool setFocus(SpriteObject& root, std::shared_ptr<DisplayObject> object,
                  Cause cause = Cause::Keyboard);
    // The next object in tab order (the previous one backwards), round at the ends;
    // false when no object takes the focus.
    bool tab(SpriteObject& root, bool backwards);
    // The pointer moved: a focused button or clip no longer hears the keys, and rolls
    // out unless the pointer is over it.
    void pointerMoved(const DisplayObject* pointedAt);

private:
    std::weak_ptr<DisplayObject> m_focused;
    bool m_keysReachFocus = false;
    bool m_showsRect = false;
};

} // namespace runtime
