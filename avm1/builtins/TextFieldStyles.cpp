// A text field's style sheet: the TextField.StyleSheet (or any object) a script gave
// its styleSheet property, kept with the field's script object, and the styles the
// field's HTML is read with, taken from the sheet's _styles as they are when text
// is set.
#include "TextFields.h"
#include "TextFormatObject.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/EditTextObject.h"

namespace avm1 {

namespace {

// Kept as the field wrapper's native state: the wrapper lives while the field does.
class FieldSheet final : public Cell {
public:
    Object* sheet = nullptr;
    void traceChildren(Tracer& tracer) override { tracer.mark(sheet); }
};

FieldSheet* sheetState(ClipObject& clip)
{
    return dynamic_cast<FieldSheet*>(clip.nativeState());
}

runtime::TextStyle::Display displayOf(const std::string& name)
{
    if (name == "none")
        return runtime::TextStyle::Display::None;
    if (name == "inline")
        return runtime::TextStyle::Display::Inline;
    return runtime::TextStyle::Display::Block;
}

} // namespace

Value styleSheetOf(ClipObject& clip)
{
    FieldSheet* state = sheetState(clip);
    return state && state->sheet ? Value(state->sheet) : Value();
}

void setStyleSheet(Vm& vm, ClipObject& clip, runtime::EditTextObject& field, Value value)
{
    Object* sheet = value.objectOrNull();
    // Clips are never style sheets.
    if (asClip(sheet))
        sheet = nullptr;
    FieldSheet* state = sheetState(clip);
    if (!state) {
        if (!sheet || clip.nativeState())
            return;
        state = vm.heap().make<FieldSheet>();
        clip.setNativeState(state);
    }
    state->sheet = sheet;
    refreshStyles(vm, clip, field);
}

void refreshStyles(Vm& vm, ClipObject& clip, runtime::EditTextObject& field)
{
    FieldSheet* state = sheetState(clip);
    if (!state || !state->sheet) {
        field.setStyleSheet(nullptr);
        return;
    }
    auto styles = std::make_shared<runtime::TextStyles>();
    if (Object* made = vm.getMember(state->sheet, "_styles").objectOrNull()) {
        for (String* key : vm.enumerableKeys(made)) {
            if (vm.throwing())
                break;
            if (TextFormatObject* format = asTextFormat(vm.getMember(made, key).objectOrNull()))
                styles->emplace(key->text(),
                                runtime::TextStyle{format->format, displayOf(format->display)});
        }
    }
    field.setStyleSheet(std::move(styles));
}

} // namespace avm1
