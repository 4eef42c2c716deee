// The player's input: pointer and keys, handed out in the reference's order. Each event
// queues, in turn, the clip events every clip hears (FrameStep's order, the newest clip
// first), the focused object's own key handler, the Mouse or Key listeners, and then
// what the event does to buttons and the focus; the queue then runs.
#include "ButtonObject.h"
#include "FrameStep.h"
#include "MoviePlayer.h"
#include "PointerHitTest.h"
#include "StageEvents.h"
#include "format/Limits.h"

#include <vector>

namespace runtime {

namespace {

int mouseKey(MoviePlayer::MouseButton button)
{
    switch (button) {
    case MoviePlayer::MouseButton::Left:
        return key::MouseLeft;
    case MoviePlayer::MouseButton::Right:
        return key::MouseRight;
    case MoviePlayer::MouseButton::Middle:
        return key::MouseMiddle;
    }
    return key::MouseLeft;
}

void queueHandler(DisplayObject& object, ClipEvent event)
{
    QueuedAction action;
    action.kind = QueuedAction::Kind::Handler;
    action.target = object.shared_from_this();
    action.event = event;
    object.context().actions().push(std::move(action));
}

// Every button shown on the stage, parents before what they hold, lower depths first.
void collectButtons(ContainerObject& container, std::vector<ButtonObject*>& out, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return;
    for (const auto& [depth, child] : container.children()) {
        if (child->isUnloading() || !child->visible())
            continue;
        if (child->kind() == ObjectKind::Button)
            out.push_back(static_cast<ButtonObject*>(child.get()));
        if (child->kind() == ObjectKind::Button || child->kind() == ObjectKind::Sprite)
            collectButtons(static_cast<ContainerObject&>(*child), out, level + 1);
    }
}

} // namespace

void MoviePlayer::queueListeners(ClipEvent event)
{
    QueuedAction action;
    action.kind = QueuedAction::Kind::Listeners;
    action.target = m_root;
    action.event = event;
    m_context.actions().push(std::move(action));
}

void MoviePlayer::pointerMove(double x, double y)
{
    InputState& input = m_context.input();
    input.pointerMoved(x, y);
    input.drag().follow(x, y);
    broadcastClipEvent(*m_root, ClipEvent::MouseMove);
    queueListeners(ClipEvent::MouseMove);
    m_buttons.pointerMove(*m_root, x, y);
    input.focus().pointerMoved(m_buttons.pointedAt().get());
    if (m_buttons.isDown())
        selectByPointer(x, y);
    runActions();
}

void MoviePlayer::pointerDown(double x, double y, MouseButton button)
{
    InputState& input = m_context.input();
    input.pointerMoved(x, y);
    input.keyboard().press(mouseKey(button), 0);
    if (button == MouseButton::Left) {
        input.drag().follow(x, y);
        broadcastClipEvent(*m_root, ClipEvent::MouseDown);
        queueListeners(ClipEvent::MouseDown);
        focusByPointer(x, y);
        m_buttons.pointerDown(*m_root, x, y);
        followLink(x, y);
    }
    runActions();
}

void MoviePlayer::pointerUp(double x, double y, MouseButton button)
{
    InputState& input = m_context.input();
    input.pointerMoved(x, y);
    input.keyboard().release(mouseKey(button), 0);
    if (button == MouseButton::Left) {
        input.drag().follow(x, y);
        broadcastClipEvent(*m_root, ClipEvent::MouseUp);
        queueListeners(ClipEvent::MouseUp);
        selectByPointer(x, y);
        m_selecting.reset();
        m_buttons.pointerUp(*m_root, x, y);
    }
    runActions();
}

void MoviePlayer::keyDown(int keyCode, int ascii)
{
    InputState& input = m_context.input();
    input.keyboard().press(keyCode, ascii);
    broadcastClipEvent(*m_root, ClipEvent::KeyDown);
    if (input.focus().keysReachFocus())
        queueHandler(*input.focus().focused(), ClipEvent::KeyDown);
    queueListeners(ClipEvent::KeyDown);
    if (!queueKeyPress(keyCode, ascii)) {
        if (keyCode == key::Tab)
            input.focus().tab(*m_root, input.keyboard().isDown(key::Shift));
        else if (keyCode == key::Enter || keyCode == key::Space)
            pressFocused();
    }
    runActions();
}

void MoviePlayer::keyUp(int keyCode, int ascii)
{
    InputState& input = m_context.input();
    input.keyboard().release(keyCode, ascii);
    broadcastClipEvent(*m_root, ClipEvent::KeyUp);
    if (input.focus().keysReachFocus())
        queueHandler(*input.focus().focused(), ClipEvent::KeyUp);
    queueListeners(ClipEvent::KeyUp);
    runActions();
}

// Clips' keyPress clip actions all hear the key; the first button with a key-press
// condition for it takes it from the focus.
bool MoviePlayer::queueKeyPress(int keyCode, int ascii)
{
    const std::uint8_t code = buttonKeyCode(keyCode, ascii);
    if (code == 0)
        return false;
    for (const std::shared_ptr<SpriteObject>& clip : clipsInExecutionOrder(*m_root)) {
        const auto* actions = clip->clipActions();
        if (!actions)
            continue;
        for (const swf::ClipAction& action : *actions) {
            if ((action.events & clipEventBit(ClipEvent::KeyPress)) && action.keyCode == code) {
                QueuedAction press;
                press.kind = QueuedAction::Kind::Clip;
                press.target = clip;
                press.event = ClipEvent::KeyPress;
                press.keyCode = code;
                m_context.actions().push(std::move(press));
                break;
            }
        }
    }
    std::vector<ButtonObject*> buttons;
    collectButtons(*m_root, buttons, 0);
    for (ButtonObject* button : buttons) {
        if (button->queueKeyPress(code))
            return true;
    }
    return false;
}

// Only where the focus shows: the keys reach it and its rectangle is on.
void MoviePlayer::pressFocused()
{
    const FocusControl& focus = m_context.input().focus();
    const std::shared_ptr<DisplayObject> focused = focus.focused();
    if (!focused || !focus.showsFocusRect() || !ButtonTracker::takesPointer(*focused))
        return;
    if (focused->kind() == ObjectKind::Button) {
        static_cast<ButtonObject&>(*focused).pressByKey();
    } else {
        queueClipEvent(*focused, ClipEvent::Press);
        queueClipEvent(*focused, ClipEvent::Release);
    }
}

void MoviePlayer::trackStillPointer()
{
    const InputState& input = m_context.input();
    if (!input.pointerKnown())
        return;
    m_context.input().drag().follow(input.pointerX(), input.pointerY());
    m_buttons.pointerMove(*m_root, input.pointerX(), input.pointerY());
}

ContextMenuModel MoviePlayer::openContextMenu(double x, double y)
{
    ContextMenuModel model;
    model.playerItems = m_context.stageView().showMenu();
    if (m_engine && m_root) {
        m_engine->contextMenuOpening(topmostAt(*m_root, x, y, nullptr), model);
        runActions();
    }
    return model;
}

void MoviePlayer::chooseContextMenuItem(std::size_t index)
{
    if (!m_engine)
        return;
    m_engine->contextMenuItemChosen(index);
    runActions();
}

} // namespace runtime
