#pragma once

// The language's operators with the reference player's rules, for the action handlers.
// Each converts its operands in the order the player does, which scripts can see
// through valueOf and toString.

#include "Value.h"

namespace avm1 {

class Vm;

// ActionAdd2 (+): a concatenation when either operand is a string after valueOf, a sum
// otherwise. The right operand converts first.
Value add2(Vm& vm, Value a, Value b);

// ActionEquals2 (==), ECMA's abstract equality with the player's differences: an
// object compared with a primitive (undefined and null included) is first replaced by
// its valueOf; an object whose valueOf gives an object equals no primitive; before
// SWF 6 two objects are compared by what valueOf gives, from SWF 6 by identity. A NaN
// equals the very same NaN value.
bool abstractEquals(Vm& vm, Value a, Value b);
// ActionStrictEquals (===): same type and value, no conversions.
bool strictEquals(Value a, Value b);
// ActionEquals (SWF 4): both as numbers, the right one converted first.
bool swf4Equals(Vm& vm, Value a, Value b);

// ActionLess2 (<) and ActionGreater (>): true, false, or undefined when a NaN is
// involved; two strings compare as text. The left operand converts first; an operand
// whose valueOf gives an ordinary object makes the result false at once.
Value lessThan(Vm& vm, Value a, Value b);
Value greaterThan(Vm& vm, Value a, Value b);

// ActionInstanceOf: whether `constructor`'s prototype is on `object`'s prototype
// chain, or is the prototype of an interface (ImplementsOp) declared by a prototype on
// it, directly or through the interfaces' own declarations. Primitives are instances
// of nothing.
bool instanceOf(Vm& vm, Value object, Value constructor);
// What a constructor's own prototype slot holds, without running a getter added over
// it: what instanceof and ImplementsOp read.
Value storedPrototype(Vm& vm, Object& constructor);

} // namespace avm1
