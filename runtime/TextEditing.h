#pragma once

#include "TextSelection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

class EditTextObject;

// The editing keys and clipboard commands a focused text field answers.
enum class TextCommand : std::uint8_t {
    MoveLeft,
    MoveRight,
    MoveLeftWord,
    MoveRightWord,
    MoveLineStart,
    MoveLineEnd,
    MoveTextStart,
    MoveTextEnd,
    SelectLeft,
    SelectRight,
    SelectLeftWord,
    SelectRightWord,
    SelectLineStart,
    SelectLineEnd,
    SelectTextStart,
    SelectTextEnd,
    SelectAll,
    Copy,
    Cut,
    Paste,
    Backspace,
    BackspaceWord,
    Delete,
    DeleteWord,
    Enter,
};

// The user's edits of one text field: typed text, the editing keys and the clipboard,
// working on the field's selection.
//   - Only input fields change; a selectable dynamic field still moves its selection
//     and copies. A password field never gives its text to the clipboard.
//   - New text replaces the selection and leaves the caret after it. Typed text goes
//     through the field's restrict list (TextRestrict), pasted text too; control
//     characters are never typed (pasted tabs stay), and line breaks go in only in a
//     multiline field (Enter, or pasted). What would take the field past its maxChars
//     is cut off.
//   - Paste with nothing on the clipboard changes nothing, the selection included.
// Line starts and ends are those of the lines the field lays out.
class TextEditor {
public:
    TextEditor(EditTextObject& field, std::u16string& clipboard)
        : m_field(field), m_clipboard(clipboard)
    {}

    // Each returns whether the field's text changed.
    bool type(std::u16string_view text);
    bool apply(TextCommand command);

private:
    bool editable() const;
    std::u16string admit(std::u16string_view text, bool pasted) const;
    // Puts `text` in place of the selection, as far as maxChars lets it.
    bool insert(std::u16string_view text);
    bool erase(std::size_t begin, std::size_t end);
    // Moves the caret; the anchor follows unless `extend`.
    void moveTo(std::size_t index, bool extend);
    std::size_t previousCharacter(std::size_t index) const;
    std::size_t nextCharacter(std::size_t index) const;
    std::size_t previousWord(std::size_t index) const;
    std::size_t nextWord(std::size_t index) const;
    std::size_t lineStart(std::size_t index) const;
    std::size_t lineEnd(std::size_t index) const;
    const std::u16string& text() const;
    TextSelection selection() const;

    EditTextObject& m_field;
    std::u16string& m_clipboard;
};

} // namespace runtime
