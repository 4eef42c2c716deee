// The player's text input: what is typed and the editing keys go to the focused text
// field; a press of the pointer gives the focus to the selectable field under it (and
// puts the caret there) or takes it from everyone, and dragging on selects; the wheel
// scrolls the field under the pointer.
#include "ButtonTracker.h"
#include "EditTextObject.h"
#include "FieldAtPointer.h"
#include "Limits.h"
#include "MoviePlayer.h"
#include "RichText.h"
#include "TextCaret.h"

namespace runtime {

EditTextObject* MoviePlayer::focusedField() const
{
    const std::shared_ptr<DisplayObject> focused = m_context.input().focus().focused();
    if (!focused || focused->kind() != ObjectKind::EditText)
        return nullptr;
    return static_cast<EditTextObject*>(focused.get());
}

void MoviePlayer::queueTextChanged(EditTextObject& field)
{
    QueuedAction action;
    action.kind = QueuedAction::Kind::TextChanged;
    action.target = field.shared_from_this();
    m_context.actions().push(std::move(action));
}

void MoviePlayer::queueTextScrolled(EditTextObject& field,
                                    const std::array<std::int32_t, 4>& before)
{
    if (field.scrollState() == before)
        return;
    QueuedAction action;
    action.kind = QueuedAction::Kind::TextScrolled;
    action.target = field.shared_from_this();
    m_context.actions().push(std::move(action));
}

void MoviePlayer::textInput(std::string_view utf8)
{
    EditTextObject* field = focusedField();
    if (!field)
        return;
    // No event types more than this many units (of four bytes at most each).
    utf8 = utf8.substr(0, 4 * limits::kMaxTypedText);
    const auto before = field->scrollState();
    if (TextEditor(*field, m_clipboard).type(toUtf16(utf8)))
        queueTextChanged(*field);
    queueTextScrolled(*field, before);
    runActions();
}

void MoviePlayer::textCommand(TextCommand command)
{
    EditTextObject* field = focusedField();
    if (!field)
        return;
    const auto before = field->scrollState();
    if (TextEditor(*field, m_clipboard).apply(command))
        queueTextChanged(*field);
    queueTextScrolled(*field, before);
    runActions();
}

std::string MoviePlayer::clipboardText() const
{
    return toUtf8(m_clipboard);
}

void MoviePlayer::setClipboardText(std::string_view utf8)
{
    m_clipboard = toUtf16(utf8);
    if (m_clipboard.size() > limits::kMaxFieldText)
        m_clipboard.resize(limits::kMaxFieldText);
}

void MoviePlayer::pointerWheel(double x, double y, int lines)
{
    InputState& input = m_context.input();
    input.pointerMoved(x, y);
    QueuedAction wheel;
    wheel.kind = QueuedAction::Kind::MouseWheel;
    wheel.target = m_root;
    wheel.wheelDelta = lines;
    if (DisplayObject* under = ButtonTracker::targetAt(*m_root, x, y))
        wheel.button = under->shared_from_this();
    m_context.actions().push(std::move(wheel));
    if (EditTextObject* field = fieldAt(*m_root, x, y);
        field && field->extras().mouseWheelEnabled) {
        const auto before = field->scrollState();
        field->setScroll(field->scroll() - lines);
        queueTextScrolled(*field, before);
    }
    runActions();
}

void MoviePlayer::windowFocusChanged(bool hasKeyboard)
{
    if (hasKeyboard)
        return;
    m_context.input().focus().setFocus(*m_root, nullptr, FocusControl::Cause::Window);
    runActions();
}

namespace {

// A link's address names a script call from this scheme on, in any case.
constexpr std::string_view kScriptLink = "asfunction:";

bool isScriptLink(const std::string& url)
{
    if (url.size() < kScriptLink.size())
        return false;
    for (std::size_t i = 0; i < kScriptLink.size(); ++i) {
        const char c = url[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != kScriptLink[i])
            return false;
    }
    return true;
}

} // namespace

void MoviePlayer::followLink(double x, double y)
{
    EditTextObject* field = fieldAt(*m_root, x, y);
    const std::optional<std::size_t> unit = field ? unitAt(*field, x, y) : std::nullopt;
    if (!unit)
        return;
    const TextFormat format = field->formatOf(*unit, *unit + 1);
    if (!format.url || !isScriptLink(*format.url))
        return;
    QueuedAction link;
    link.kind = QueuedAction::Kind::TextLink;
    link.target = field->shared_from_this();
    link.url = format.url->substr(kScriptLink.size());
    m_context.actions().push(std::move(link));
}

void MoviePlayer::focusByPointer(double x, double y)
{
    EditTextObject* field = selectableFieldAt(*m_root, x, y);
    std::shared_ptr<DisplayObject> object = field ? field->shared_from_this() : nullptr;
    m_context.input().focus().setFocus(*m_root, object, FocusControl::Cause::Pointer);
    m_selecting = object;
    if (field)
        field->setSelection(TextSelection::at(caretIndexAt(*field, x, y)));
}

void MoviePlayer::selectByPointer(double x, double y)
{
    const std::shared_ptr<DisplayObject> object = m_selecting.lock();
    if (!object || !object->onStage() || object != m_context.input().focus().focused())
        return;
    auto& field = static_cast<EditTextObject&>(*object);
    TextSelection selection = field.selection();
    selection.caret = caretIndexAt(field, x, y);
    field.setSelection(selection);
}

} // namespace runtime
