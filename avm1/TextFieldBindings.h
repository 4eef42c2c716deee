#pragma once

// Text fields that show a variable (DefineEditText's variable name, TextField.variable):
// a name, or a path to one from the field's timeline ("a.b", "/a:b", "_root.v").
//
// A field binds when it is placed or given a new variable: it shows the variable's
// value when the variable exists, or else gives the variable its own text when it
// has any. From then on an assignment to the variable on a clip (the one the path
// names at that moment) shows in the field at once, and text a script gives the field
// goes to the variable. Variables of other objects are read only when binding.

#include <memory>
#include <string>
#include <vector>

namespace runtime {
class EditTextObject;
} // namespace runtime

namespace avm1 {

class ClipObject;
class ClipRegistry;
class Object;
class String;
class Vm;

class TextFieldBindings {
public:
    // A field was placed, or its variable changed.
    void bind(Vm& vm, ClipRegistry& registry, runtime::EditTextObject& field);
    // `clip`'s variable `name` was assigned: the fields showing it follow.
    void variableAssigned(Vm& vm, ClipObject& clip, String* name);
    // A script gave the field text: its variable takes it.
    void textAssigned(Vm& vm, ClipRegistry& registry, runtime::EditTextObject& field);

private:
    std::vector<std::weak_ptr<runtime::EditTextObject>> m_fields;
};

// The variable's last name in a field's variable path ("b" of "a.b", "c" of "/a:c").
std::string_view variableMember(std::string_view path, int swfVersion);

} // namespace avm1
