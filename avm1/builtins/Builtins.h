#pragma once

namespace avm1 {

class Vm;

// Each installs one built-in class or group of functions on the VM's global object,
// keeping the prototypes the VM needs in Vm::builtins(). installAll calls them in
// dependency order: Object and Function first, as every other prototype descends from
// Object.prototype and every constructor from Function.prototype.
void installAll(Vm& vm);

void installObject(Vm& vm);   // Object, Object.prototype, ASSetPropFlags
void installFunction(Vm& vm); // Function.prototype: call, apply
void installGlobals(Vm& vm);  // isNaN, parseInt, escape, trace, getTimer, setInterval...
void installArray(Vm& vm);    // Array
void installString(Vm& vm);   // String
void installNumber(Vm& vm);   // Number
void installBoolean(Vm& vm);  // Boolean
void installMath(Vm& vm);     // Math
void installDate(Vm& vm);     // Date
void installError(Vm& vm);    // Error
void installAsBroadcaster(Vm& vm);
void installAsNative(Vm& vm);     // ASnative, ASconstructor
void installMovieClip(Vm& vm);    // MovieClip's timeline side
void installInputObjects(Vm& vm); // Key, Mouse, Accessibility

} // namespace avm1
