#pragma once

// What every native class file uses: argument access and receiver checks.
#include "avm2/vm/ClassObject.h"
#include "avm2/vm/Vm.h"

#include <span>

namespace avm2::native {

using Args = std::span<const Value>;

inline Value arg(Args args, std::size_t i)
{
    return i < args.size() ? args[i] : Value();
}
inline bool has(Args args, std::size_t i)
{
    return i < args.size();
}

// The receiver as an object of `kind`, or TypeError #1004 naming the method.
template <typename T>
T* receiver(Vm& vm, const Value& thisValue, ObjectKind kind, const char* method)
{
    if (thisValue.isObject() && thisValue.asObject()->kind() == kind)
        return static_cast<T*>(thisValue.asObject());
    vm.throwError(ErrorType::TypeError, 1004, {utf16(method)});
    return nullptr;
}

// Whether the receiver is `cls`'s prototype object: the primitive classes' methods take
// it as their default value (false, 0, "").
inline bool isPrototypeOf(const Value& thisValue, const ClassObject* cls)
{
    return cls && thisValue.isObject() && thisValue.asObject() == cls->instancePrototype;
}

} // namespace avm2::native
