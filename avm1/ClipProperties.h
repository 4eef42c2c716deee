#pragma once

#include "Value.h"

#include <string_view>

namespace avm1 {

class ClipObject;
class Vm;

// The display properties of clips (_x, _currentframe, _name...), by name and by the
// index GetProperty and SetProperty use. Reading a property of a clip that is gone
// gives undefined; writing it does nothing.
bool getClipProperty(Vm& vm, ClipObject& clip, std::string_view name, Value& out);
bool setClipProperty(Vm& vm, ClipObject& clip, std::string_view name, const Value& value);
// The property's name for a GetProperty/SetProperty index; empty when none.
std::string_view clipPropertyName(int index);

} // namespace avm1
