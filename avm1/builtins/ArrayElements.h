#pragma once

#include "ArrayObject.h"

#include <cstdint>
#include <string_view>

namespace avm1 {

struct CallArgs;

// The object an Array.prototype method runs on: an Array, or any object the method was
// applied to, whose "length" property and index-named properties stand in for
// elements. The reference's methods read, delete and assign elements one at a time in a
// fixed order, and scripts can see that order (for..in lists properties in the order
// they were created), so the methods are written against these steps.
class ElementTarget {
public:
    // Undefined and null give an empty target that does nothing; other primitives
    // their wrappers.
    ElementTarget(Vm& vm, Value thisValue);
    ElementTarget(Vm& vm, const CallArgs& call);

    Vm& vm() const { return m_vm; }
    bool valid() const { return m_object != nullptr; }
    Object* object() const { return m_object; }
    ArrayObject* array() const { return m_array; }
    // The length as stored (it can be negative after wrapping) and the number of
    // elements methods visit.
    std::int32_t length() const { return m_length; }
    std::int64_t count() const { return m_length > 0 ? m_length : 0; }

    // An element through the prototype chain and getters, without __resolve.
    Value read(std::int64_t index);
    // An own element only, as join and toString read them.
    Value readOwn(std::int64_t index);
    void write(std::int64_t index, Value value);
    bool hasOwn(std::int64_t index);
    void remove(std::int64_t index);
    // Deletes the element and assigns it afresh, so that it moves to the end of the
    // enumeration order: how the reference moves elements.
    void replace(std::int64_t index, Value value);
    // An Array's length is set directly; another object's "length" is assigned.
    void writeLength(std::int64_t length);

    // True once a script call made from a step threw or the scripts were stopped.
    bool failed() const;
    // False (after stopping the scripts) when a call would visit more elements than
    // limits::kMaxArrayMethodElements.
    bool withinCap(std::int64_t elements, std::string_view method);

private:
    Vm& m_vm;
    Object* m_object = nullptr;
    ArrayObject* m_array = nullptr;
    std::int32_t m_length = 0;
};

} // namespace avm1
