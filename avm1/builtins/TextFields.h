#pragma once

// What the engine and MovieClip need of the TextField class.

namespace runtime {
class EditTextObject;
}

namespace avm1 {

class ClipObject;
class Vm;
class Value;

// A text field was placed: it gets its own listener list (holding itself, as the
// reference's fields do) and binds to its variable.
void textFieldPlaced(Vm& vm, ClipObject& field);

// The field's style sheet (undefined for none), set from any object, and the styles
// its HTML is read with brought up to date with the sheet's.
Value styleSheetOf(ClipObject& clip);
void setStyleSheet(Vm& vm, ClipObject& clip, runtime::EditTextObject& field, Value value);
void refreshStyles(Vm& vm, ClipObject& clip, runtime::EditTextObject& field);

} // namespace avm1
