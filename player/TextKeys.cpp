#include "TextKeys.h"

#include <QKeySequence>
#include <array>
#include <utility>

namespace player {

namespace {

using Command = runtime::TextCommand;

constexpr std::array<std::pair<QKeySequence::StandardKey, Command>, 22> kBindings{{
    {QKeySequence::SelectAll, Command::SelectAll},
    {QKeySequence::Copy, Command::Copy},
    {QKeySequence::Cut, Command::Cut},
    {QKeySequence::Paste, Command::Paste},
    {QKeySequence::SelectPreviousChar, Command::SelectLeft},
    {QKeySequence::SelectNextChar, Command::SelectRight},
    {QKeySequence::SelectPreviousWord, Command::SelectLeftWord},
    {QKeySequence::SelectNextWord, Command::SelectRightWord},
    {QKeySequence::SelectStartOfLine, Command::SelectLineStart},
    {QKeySequence::SelectEndOfLine, Command::SelectLineEnd},
    {QKeySequence::SelectStartOfDocument, Command::SelectTextStart},
    {QKeySequence::SelectEndOfDocument, Command::SelectTextEnd},
    {QKeySequence::MoveToPreviousChar, Command::MoveLeft},
    {QKeySequence::MoveToNextChar, Command::MoveRight},
    {QKeySequence::MoveToPreviousWord, Command::MoveLeftWord},
    {QKeySequence::MoveToNextWord, Command::MoveRightWord},
    {QKeySequence::MoveToStartOfLine, Command::MoveLineStart},
    {QKeySequence::MoveToEndOfLine, Command::MoveLineEnd},
    {QKeySequence::MoveToStartOfDocument, Command::MoveTextStart},
    {QKeySequence::MoveToEndOfDocument, Command::MoveTextEnd},
    {QKeySequence::DeleteStartOfWord, Command::BackspaceWord},
    {QKeySequence::DeleteEndOfWord, Command::DeleteWord},
}};

} // namespace

std::optional<runtime::TextCommand> textCommandFor(const QKeyEvent& event)
{
    for (const auto& [binding, command] : kBindings) {
        if (event.matches(binding))
            return command;
    }
    switch (event.key()) {
    case Qt::Key_Backspace:
        return Command::Backspace;
    case Qt::Key_Delete:
        return Command::Delete;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Command::Enter;
    default:
        return std::nullopt;
    }
}

QString typedText(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return {};
    const QString text = event.text();
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    return text;
}

} // namespace player
