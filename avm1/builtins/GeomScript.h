#pragma once

// What Point, Rectangle and Matrix share: they work as scripts would on their plain
// properties, through getters and setters a subclass may define, and convert to
// numbers only where they compute.

#include "avm1/Function.h"

#include <initializer_list>
#include <string_view>

namespace avm1 {

class Vm;

namespace geom {

// object[name], primitives reaching their prototypes; undefined for undefined and null.
Value get(Vm& vm, Value object, std::string_view name);
// object[name] as a number (NaN when there is no object).
double number(Vm& vm, Value object, std::string_view name);
void set(Vm& vm, Object* object, std::string_view name, Value value);

// A new instance of the class whose prototype is `prototype`, given the properties in
// order, as its constructor would set them.
Object* make(Vm& vm, Object* prototype,
             std::initializer_list<std::pair<std::string_view, Value>> properties);

// Whether `value` has `prototype` on its chain (the class's instanceof).
bool isInstance(Value value, Object* prototype);

// "(name=value, ...)" with each value converted to text as scripts see it.
Value describe(Vm& vm, Value object, std::initializer_list<std::string_view> names);

// The prototype a native was given to make its objects with (a getter's or a method's
// data), or the class's own prototype through "this".
Object* dataPrototype(const CallArgs& call);

} // namespace geom

} // namespace avm1
