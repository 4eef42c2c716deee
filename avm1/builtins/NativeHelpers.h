#pragma once

// Small pieces the built-in classes share: what "new" leaves on an instance, "this" as
// an object, and the elements of an array-like argument.

#include "avm1/Function.h"

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace avm1 {

class Vm;

// The prototype of an instance a native constructor makes: the constructor's own
// "prototype" when it is an object (so functions made by ASconstructor and classes
// extending a built-in get theirs), else `fallback`.
Object* instancePrototype(Vm& vm, const CallArgs& call, Object* fallback);

// What "new" records on every instance: __constructor__, and before SWF 6 constructor
// as well, both hidden from enumeration.
void markConstructed(Vm& vm, Object* instance, Object* constructor);

// "this" as an object: primitives through their wrappers, null for undefined and null.
Object* thisAsObject(Vm& vm, const CallArgs& call);

// The primitive a Boolean, Number or String object of `kind` holds: a wrapper's own, or
// the one the class's constructor gave an instance of a script subclass through
// super() (wrapObjectAs). Undefined for other objects.
Value wrappedPrimitive(const Object* object, ObjectClass kind);
// super(value) on a subclass of Boolean, Number or String: the object holds what a new
// wrapper of `wrapper`'s kind would.
void wrapObjectAs(Vm& vm, Object* object, const Object* wrapper);

// The elements 0 to length - 1 of an array, an arguments object or any object with a
// length, read through getters; at most `cap` of them. Empty when a read throws.
std::vector<Value> elementsOf(Vm& vm, Object* object, std::size_t cap);

// How a handler the player calls on its own (an event, a status, a menu choice) ends
// when it throws: the warning line the player prints for a block that ends so, or
// nothing.
enum class OnException : bool { Warn, Ignore };

// Calls `function` on `self` with a fresh time budget, when it is a function; what it
// throws ends it there.
void callHandler(Vm& vm, const Value& function, const Value& self, std::span<const Value> args,
                 OnException onException);
// The same for the handler `target` has under `name`, called on `target`.
void callNamedHandler(Vm& vm, Object* target, std::string_view name, std::span<const Value> args,
                      OnException onException = OnException::Warn);

} // namespace avm1
