#pragma once

// The package objects of the classes the reference added with SWF 8 (flash.geom,
// flash.filters...): plain objects under _global.flash. Movies before SWF 8 do not see
// "flash", as the reference hides it from them with a version flag; the classes are
// there all the same for a movie that reveals it with ASSetPropFlags.

#include "avm1/Function.h"

#include <cstdint>
#include <string_view>

namespace avm1 {

class Vm;

// The package a dotted name gives ("flash.geom"), made with its parents on first use.
Object* packageObject(Vm& vm, std::string_view dottedName);

// A constructor with its prototype linked both ways, stored in `package` as `name`.
NativeFunction* definePackageClass(Vm& vm, Object* package, std::string_view name,
                                   Object* prototype, NativeFn call, NativeFn construct = nullptr);

// A getter and setter pair on `target`, as the reference's built-in classes give their
// prototypes (hasOwnProperty sees them there, not on instances). A null setter makes
// the property read-only. Returns the getter, which may keep a value for its calls.
NativeFunction*
defineAccessor(Vm& vm, Object* target, std::string_view name, NativeFn get, NativeFn set,
               std::uint16_t flags = PropertyFlag::DontEnum | PropertyFlag::DontDelete);

} // namespace avm1
