#pragma once

// Operations the interpreter shares with the classes, beyond the Vm's own.
#include "Names.h"
#include "Value.h"

#include <cstdint>
#include <optional>

namespace avm2 {

class Vm;
struct Namespace;

// Whether a scope object answers to a name: a with scope by any property, other scopes
// by their declared traits (and activations, catch scopes and globals by their dynamic
// properties too).
bool scopeHas(Vm& vm, const Value& scope, const Name& name, bool isWith);
// `+`, with E4X's list concatenation for XML operands.
Value addValues(Vm& vm, const Value& a, const Value& b);
// `instanceof`: `type`'s prototype on the value's prototype chain.
bool instanceOf(Vm& vm, const Value& value, const Value& type);
// Errors no handler may take (the script time limit).
bool isUncatchable(Vm& vm, const Value& error);

// QName and Namespace objects (classes/).
void qnameParts(Vm& vm, const Value& qname, Name& name);
const Namespace* namespaceOf(Vm& vm, const Value& value);
// E4X (classes/).
Value getDescendants(Vm& vm, const Value& object, const Name& name);
Value escapeXml(Vm& vm, const Value& value, bool attribute);
// == when either side is XML or XMLList.
bool xmlEquals(Vm& vm, const Value& a, const Value& b);
// XML and XMLList operands of `+`: their concatenation as a new XMLList, or nothing.
std::optional<Value> concatenateXml(Vm& vm, const Value& a, const Value& b);
// The String an XML value of simple content stands for in method calls (x.charAt(0)),
// else undefined.
Value simpleContentText(Vm& vm, const Value& object);
// `default xml namespace = uri` (dxns, dxnslate).
void setDefaultXmlNamespace(Vm& vm, const Value& uri);
// Domain memory loads and stores on the operand stack (classes/).
bool domainMemoryOp(Vm& vm, std::uint8_t code, Value* stack, std::uint32_t& sp,
                    std::uint32_t maxStack);

} // namespace avm2
