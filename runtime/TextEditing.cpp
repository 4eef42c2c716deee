#include "TextEditing.h"

#include "EditTextObject.h"
#include "Limits.h"
#include "TextCaret.h"
#include "TextRestrict.h"

#include <algorithm>

namespace runtime {

namespace {

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool isLineBreak(char32_t c)
{
    return c == U'\r' || c == U'\n';
}

// Characters no key types into a field: the C0 and C1 controls and DEL.
bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// Words for the word-wise keys: letters, digits and '_' of basic Latin, and every
// character past it that is no space.
bool isWordCharacter(char16_t unit)
{
    if (unit >= 0x80)
        return unit != 0x00A0 && unit != 0x3000;
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'z') ||
           (unit >= u'A' && unit <= u'Z') || unit == u'_';
}

// The code points of UTF-16 text; an unpaired surrogate stands for itself.
std::u32string codePoints(std::u16string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            out.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

} // namespace

const std::u16string& TextEditor::text() const
{
    return m_field.content().text();
}

TextSelection TextEditor::selection() const
{
    return m_field.selection();
}

bool TextEditor::editable() const
{
    return !m_field.definition().readOnly;
}

bool TextEditor::type(std::u16string_view typed)
{
    if (!editable())
        return false;
    const std::u16string admitted = admit(typed.substr(0, limits::kMaxTypedText), false);
    return !admitted.empty() && insert(admitted);
}

// What of `text` the field takes: no controls (pasted text keeps its tabs, and its line
// breaks as '\r' in a multiline field), and only what its restrict list lets in.
std::u16string TextEditor::admit(std::u16string_view text, bool pasted) const
{
    std::optional<TextRestrict> restrict;
    if (const auto& list = m_field.extras().restrict)
        restrict.emplace(codePoints(toUtf16(*list)));
    std::u16string admitted;
    char32_t previous = 0;
    for (const char32_t c : codePoints(text)) {
        const bool crlf = previous == U'\r' && c == U'\n';
        previous = c;
        if (isLineBreak(c)) {
            if (pasted && m_field.definition().multiline && !crlf)
                admitted.push_back(u'\r');
            continue;
        }
        if (isControl(c) && !(pasted && c == U'\t'))
            continue;
        const std::optional<char32_t> in = restrict ? restrict->admit(c) : std::optional(c);
        if (in)
            appendUtf16(admitted, *in);
    }
    return admitted;
}

bool TextEditor::insert(std::u16string_view text)
{
    const TextSelection selected = selection();
    const std::size_t length = this->text().size();
    const std::size_t kept = length - (selected.end() - selected.begin());
    std::size_t room = limits::kMaxFieldText - std::min(kept, limits::kMaxFieldText);
    if (const auto maxChars = m_field.definition().maxLength; maxChars && *maxChars > 0)
        room = std::min(room, *maxChars > kept ? *maxChars - kept : 0);
    if (text.size() > room) {
        text = text.substr(0, room);
        // A character is never split in two.
        if (!text.empty() && isHighSurrogate(text.back()))
            text.remove_suffix(1);
    }
    if (text.empty() && selected.empty())
        return false;
    const std::size_t begin = selected.begin();
    m_field.replaceText(begin, selected.end(), toUtf8(text));
    m_field.setSelection(TextSelection::at(begin + text.size()));
    return true;
}

bool TextEditor::erase(std::size_t begin, std::size_t end)
{
    if (!editable() || begin >= end)
        return false;
    m_field.replaceText(begin, end, {});
    m_field.setSelection(TextSelection::at(begin));
    return true;
}

void TextEditor::moveTo(std::size_t index, bool extend)
{
    TextSelection moved = selection();
    moved.caret = index;
    if (!extend)
        moved.anchor = index;
    m_field.setSelection(moved);
}

std::size_t TextEditor::previousCharacter(std::size_t index) const
{
    const std::u16string& units = text();
    if (index == 0)
        return 0;
    --index;
    if (index > 0 && isLowSurrogate(units[index]) && isHighSurrogate(units[index - 1]))
        --index;
    return index;
}

std::size_t TextEditor::nextCharacter(std::size_t index) const
{
    const std::u16string& units = text();
    if (index >= units.size())
        return units.size();
    ++index;
    if (index < units.size() && isLowSurrogate(units[index]) && isHighSurrogate(units[index - 1]))
        ++index;
    return index;
}

// Words: the spaces before the caret, then the word before them.
std::size_t TextEditor::previousWord(std::size_t index) const
{
    const std::u16string& units = text();
    while (index > 0 && !isWordCharacter(units[index - 1]))
        --index;
    while (index > 0 && isWordCharacter(units[index - 1]))
        --index;
    return index;
}

std::size_t TextEditor::nextWord(std::size_t index) const
{
    const std::u16string& units = text();
    while (index < units.size() && isWordCharacter(units[index]))
        ++index;
    while (index < units.size() && !isWordCharacter(units[index]))
        ++index;
    return index;
}

// Lines as the field lays them out (wrapped lines count), else its paragraphs.
std::size_t TextEditor::lineStart(std::size_t index) const
{
    if (const auto line = lineAround(m_field, index))
        return std::min(line->first, index);
    const std::u16string& units = text();
    while (index > 0 && !isLineBreak(units[index - 1]))
        --index;
    return index;
}

std::size_t TextEditor::lineEnd(std::size_t index) const
{
    if (const auto line = lineAround(m_field, index))
        return std::max(line->second, index);
    const std::u16string& units = text();
    while (index < units.size() && !isLineBreak(units[index]))
        ++index;
    return index;
}

bool TextEditor::apply(TextCommand command)
{
    const TextSelection selected = selection();
    const std::size_t caret = selected.caret;
    const std::size_t length = text().size();
    const bool secret = m_field.definition().password;
    switch (command) {
    case TextCommand::MoveLeft:
        moveTo(selected.empty() ? previousCharacter(caret) : selected.begin(), false);
        return false;
    case TextCommand::MoveRight:
        moveTo(selected.empty() ? nextCharacter(caret) : selected.end(), false);
        return false;
    case TextCommand::MoveLeftWord:
        moveTo(previousWord(caret), false);
        return false;
    case TextCommand::MoveRightWord:
        moveTo(nextWord(caret), false);
        return false;
    case TextCommand::MoveLineStart:
        moveTo(lineStart(caret), false);
        return false;
    case TextCommand::MoveLineEnd:
        moveTo(lineEnd(caret), false);
        return false;
    case TextCommand::MoveTextStart:
        moveTo(0, false);
        return false;
    case TextCommand::MoveTextEnd:
        moveTo(length, false);
        return false;
    case TextCommand::SelectLeft:
        moveTo(previousCharacter(caret), true);
        return false;
    case TextCommand::SelectRight:
        moveTo(nextCharacter(caret), true);
        return false;
    case TextCommand::SelectLeftWord:
        moveTo(previousWord(caret), true);
        return false;
    case TextCommand::SelectRightWord:
        moveTo(nextWord(caret), true);
        return false;
    case TextCommand::SelectLineStart:
        moveTo(lineStart(caret), true);
        return false;
    case TextCommand::SelectLineEnd:
        moveTo(lineEnd(caret), true);
        return false;
    case TextCommand::SelectTextStart:
        moveTo(0, true);
        return false;
    case TextCommand::SelectTextEnd:
        moveTo(length, true);
        return false;
    case TextCommand::SelectAll:
        m_field.setSelection(TextSelection{0, length});
        return false;
    case TextCommand::Copy:
        if (!secret && !selected.empty())
            m_clipboard = text().substr(selected.begin(), selected.end() - selected.begin());
        return false;
    case TextCommand::Cut:
        if (secret || selected.empty() || !editable())
            return false;
        m_clipboard = text().substr(selected.begin(), selected.end() - selected.begin());
        return erase(selected.begin(), selected.end());
    case TextCommand::Paste: {
        if (m_clipboard.empty() || !editable())
            return false;
        // Pasted text keeps its line breaks only where Enter would make them, and its
        // tabs; the restrict list applies as to what is typed.
        const std::u16string pasted = admit(m_clipboard, true);
        return !pasted.empty() && insert(pasted);
    }
    case TextCommand::Backspace:
        if (!selected.empty())
            return erase(selected.begin(), selected.end());
        return erase(previousCharacter(caret), caret);
    case TextCommand::BackspaceWord:
        if (!selected.empty())
            return erase(selected.begin(), selected.end());
        return erase(previousWord(caret), caret);
    case TextCommand::Delete:
        if (!selected.empty())
            return erase(selected.begin(), selected.end());
        return erase(caret, nextCharacter(caret));
    case TextCommand::DeleteWord:
        if (!selected.empty())
            return erase(selected.begin(), selected.end());
        return erase(caret, nextWord(caret));
    case TextCommand::Enter:
        if (!editable() || !m_field.definition().multiline)
            return false;
        return insert(u"\r");
    }
    return false;
}

} // namespace runtime
