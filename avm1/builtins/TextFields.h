#pragma once

// What the engine and MovieClip need of the TextField class.

#include <string>

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

// duplicateMovieClip of a field: a field with the default settings, no text and an
// empty box, at `depth` of the field's clip, placed where the field was and in its
// colours. Null when `clip` is no field or nothing was made.
ClipObject* duplicateTextField(ClipObject& clip, const std::string& name, long long depth);

} // namespace avm1
