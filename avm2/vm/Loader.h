#pragma once

// Linking an ABC block into the machine: names interned, scripts registered as the
// definitions they declare, classes made by newclass, traits built from declarations.
#include "AbcUnit.h"
#include "Vm.h"

namespace avm2 {

// The class (or other definition) a type name of the block names; throws
// VerifyError #1014 when none is defined.
Value resolveTypeName(Vm& vm, AbcUnit& unit, std::uint32_t multiname);
void runScriptInit(Vm& vm, ScriptEnv& script);
// newclass: class `index` of the block over `base`, closing over `scope`.
ClassObject* newClass(Vm& vm, AbcUnit& unit, std::uint32_t index, const Value& base,
                      ScopeChain* scope);
MethodEnv* newMethodEnv(Vm& vm, AbcUnit& unit, std::uint32_t method, ScopeChain* scope,
                        ClassObject* declaringClass);
// The traits of a body's activation, built on first need.
const Traits* activationTraits(Vm& vm, AbcUnit& unit, std::uint32_t body);
// A constant of the pool as a value (default parameters and slot values).
Value constantValue(Vm& vm, AbcUnit& unit, const abc::Constant& constant);
// The name of a multiname without its run-time parts.
Name staticName(AbcUnit& unit, std::uint32_t multiname);

// Made by the classes: a Namespace object for a namespace, and Vector.<T> applied.
Value namespaceValue(Vm& vm, const Namespace* ns);
Value applyType(Vm& vm, const Value& base, std::span<const Value> params);

} // namespace avm2
