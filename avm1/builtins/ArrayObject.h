#pragma once

#include "avm1/Object.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace avm1 {

// An Array. Its elements are ordinary own properties named by their index, as the
// reference player keeps them: each has its own attribute flags (ASSetPropFlags can
// hide or protect one element), takes its place in the insertion order that for..in
// shows among the other properties, and can be watched or given accessors. The array
// adds its length, a 32-bit signed integer as the reference stores it: assigning it
// truncates or extends, and storing an element at or past it extends it. For that
// comparison the reference reads the leading digits of the name and wraps them to 32
// bits: a[2147483647] sets the length to -2^31, a[4294967296] counts as index 0 and
// a[2.2] as 2. Truncating removes only the names that are indexes themselves.
class ArrayObject final : public Object {
public:
    explicit ArrayObject(Object* prototype, ObjectClass kind = ObjectClass::Array)
        : Object(prototype), m_kind(kind)
    {}

    ObjectClass objectClass() const override { return m_kind; }

    std::int32_t length() const { return m_length; }
    // Shortening removes the elements from the new length up to the old one (those
    // marked DontDelete stay).
    void setLength(Vm& vm, std::int32_t length);
    // The element's own value, running its getter if it has one; undefined when absent.
    Value get(Vm& vm, std::uint32_t index);
    // Appends a plain element, without setters or watchers: for arrays natives build.
    void push(Vm& vm, Value value);

    bool getVirtual(Vm& vm, String* name, Value& out) override;
    bool setVirtual(Vm& vm, String* name, const Value& value) override;

private:
    ObjectClass m_kind;
    std::int32_t m_length = 0;
};

// The index an element name stands for: decimal digits without a leading zero (up to
// 19 of them). Other names ("-1", "01", "1.5", "2.95147905179353e+20") are ordinary
// properties.
std::optional<std::uint64_t> arrayIndexOf(std::string_view name);
// The property name of an element (or of any integer position a generic method uses).
String* indexName(Vm& vm, std::int64_t index);

// A new Array holding `values` as elements 0 to n - 1 (Vm::makeArray).
ArrayObject* makeArrayObject(Vm& vm, std::span<const Value> values);
// The array inside a value, or null when it holds none.
ArrayObject* asArrayObject(Value value);
ArrayObject* asArrayObject(Object* object);

} // namespace avm1
