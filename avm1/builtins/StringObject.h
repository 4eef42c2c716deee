#pragma once

namespace avm1 {

class PrimitiveObject;
class String;
class Vm;

// A String object holding `text` (new String(text), and the wrapper a primitive
// string is given where an object is needed). Like the reference's, it has an own
// "length" (hidden and permanent, but assignable) counted when it is made: it is a
// plain value from then on.
PrimitiveObject* makeStringObject(Vm& vm, String* text);

} // namespace avm1
