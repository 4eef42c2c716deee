#pragma once

// ByteArray.readObject and writeObject: ActionScript 3 values to the shared AMF codec's
// nodes and back, in the array's objectEncoding (0 or 3). Class aliases (flash.net's
// registerClassAlias) name typed objects both ways.
#include "ByteArrayObject.h"

namespace avm2 {

// Reads one value at the position and moves past it; EOFError when the bytes end first.
Value readAmfValue(Vm& vm, ByteArrayObject& bytes);
// Writes `value` at the position.
void writeAmfValue(Vm& vm, ByteArrayObject& bytes, const Value& value);

// The class registered under `alias`, or null; the alias of `cls`, or null.
ClassObject* classByAlias(Vm& vm, std::u16string_view alias);
String* aliasOfClass(Vm& vm, ClassObject* cls);

} // namespace avm2
