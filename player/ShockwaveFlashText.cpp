// The player control's text input: keys and input methods type into the movie's focused
// text field, the system clipboard follows the movie's own, and the wheel turns.
#include "MovieSession.h"
#include "ShockwaveFlash.h"
#include "TextKeys.h"
#include "runtime/EditTextObject.h"
#include "runtime/TextCaret.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethod>
#include <QWidget>

namespace player {

namespace {

const runtime::EditTextObject* focusedField(runtime::MoviePlayer& movie)
{
    const auto focused = movie.input().focus().focused();
    if (!focused || focused->kind() != runtime::ObjectKind::EditText)
        return nullptr;
    return static_cast<const runtime::EditTextObject*>(focused.get());
}

} // namespace

const runtime::MoviePlayer* ShockwaveFlash::moviePlayer() const
{
    return m_session ? &m_session->player() : nullptr;
}

bool ShockwaveFlash::takesText() const
{
    return m_session && focusedField(m_session->player());
}

void ShockwaveFlash::textKey(const QKeyEvent& event)
{
    if (!takesText())
        return;
    runtime::MoviePlayer& movie = m_session->player();
    if (const auto command = textCommandFor(event)) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (*command == runtime::TextCommand::Paste && clipboard)
            movie.setClipboardText(clipboard->text().toStdString());
        const std::string before = movie.clipboardText();
        movie.textCommand(*command);
        const std::string after = movie.clipboardText();
        if (clipboard && after != before)
            clipboard->setText(QString::fromStdString(after));
    } else if (const QString text = typedText(event); !text.isEmpty()) {
        movie.textInput(text.toStdString());
    }
    followMovie();
}

void ShockwaveFlash::commitText(const QString& text)
{
    if (!takesText() || text.isEmpty())
        return;
    m_session->player().textInput(text.toStdString());
    followMovie();
}

QVariant ShockwaveFlash::textQuery(Qt::InputMethodQuery query) const
{
    const runtime::EditTextObject* field = m_session ? focusedField(m_session->player()) : nullptr;
    if (query == Qt::ImEnabled)
        return field != nullptr;
    if (!field)
        return {};
    const runtime::TextSelection& selection = field->selection();
    switch (query) {
    case Qt::ImCursorRectangle: {
        const runtime::Bounds caret = caretBox(*field, selection.caret);
        const swf::Matrix world = field->worldMatrix();
        const QTransform toView =
            QTransform(world.a, world.b, world.c, world.d, world.tx, world.ty) * viewTransform();
        return toView.mapRect(QRectF(caret.xMin, caret.yMin, 1, caret.height())).toRect();
    }
    case Qt::ImSurroundingText:
        return field->definition().password ? QString()
                                            : QString::fromStdString(field->plainText());
    case Qt::ImCursorPosition:
        return static_cast<int>(selection.caret);
    case Qt::ImAnchorPosition:
        return static_cast<int>(selection.anchor);
    case Qt::ImHints: {
        Qt::InputMethodHints hints = Qt::ImhNone;
        if (field->definition().password)
            hints |= Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText;
        if (field->definition().multiline)
            hints |= Qt::ImhMultiLine;
        return static_cast<int>(hints);
    }
    default:
        return {};
    }
}

void ShockwaveFlash::wheel(QPointF pixel, int lines)
{
    if (!m_session || lines == 0)
        return;
    bool invertible = false;
    const QPointF twips = viewTransform().inverted(&invertible).map(pixel);
    if (!invertible)
        return;
    m_session->player().pointerWheel(twips.x(), twips.y(), lines);
    followMovie();
}

void ShockwaveFlash::keyboardFocusChanged(bool hasFocus)
{
    if (!m_session)
        return;
    m_session->player().windowFocusChanged(hasFocus);
    followMovie();
}

void ShockwaveFlash::takeKeyboard()
{
    if (QWidget* view = widget(); view && view->isVisible() && !view->hasFocus())
        view->setFocus(Qt::OtherFocusReason);
}

void ShockwaveFlash::updateTextInput()
{
    QWidget* view = widget();
    if (!view)
        return;
    const bool text = takesText();
    if (view->testAttribute(Qt::WA_InputMethodEnabled) != text)
        view->setAttribute(Qt::WA_InputMethodEnabled, text);
    if (view->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput | Qt::ImEnabled | Qt::ImHints);
}

} // namespace player
