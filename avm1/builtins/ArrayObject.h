#pragma once

#include "avm1/Object.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

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
//
// Storage: while elements 0..n-1 are made in order before any other property, as
// literals, push and filling loops make them, they are kept in a vector of values
// instead of named slots (no name strings for the collector to mark and sweep). Such an
// element is a plain, enumerable, deletable value made before everything in the map,
// so listing the vector first keeps the enumeration order. Anything the vector cannot
// express (a gap, an element made after another property, deleting one in the middle,
// flags, accessors, code that works on the map itself) moves the vector's elements into
// the map for good, in front of what is there: scripts see the same properties.
class ArrayObject final : public Object {
public:
    ArrayObject(Heap& heap, Object* prototype, ObjectClass kind = ObjectClass::Array)
        : Object(prototype), m_heap(heap), m_kind(kind)
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

    // The element's own value when it has one (getters run), for join and sort.
    bool getOwn(Vm& vm, std::uint32_t index, Value& out);
    bool hasOwn(Vm& vm, std::uint32_t index);

    bool getVirtual(Vm& vm, String* name, Value& out) override;
    bool setVirtual(Vm& vm, String* name, const Value& value) override;
    void virtualKeys(Vm& vm, std::vector<String*>& keys) override;
    bool elementVectorHolds(const String* name) const override;
    bool deleteFromElementVector(Vm& vm, String* name) override;
    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override
    {
        return Object::extraBytes() + m_elements.capacity() * sizeof(Value);
    }

protected:
    void spillElements() override;

private:
    // The vector's position for `name`, when the name is one of its elements.
    std::optional<std::size_t> vectorPosition(const String* name) const;
    // Whether a new element `name` may join the vector: the next position, nothing in
    // the map yet, and no setter up the prototype chain to take the assignment.
    bool mayAppend(Vm& vm, String* name, std::size_t position);
    void appendToVector(Value value);
    void truncateVector(std::size_t size);

    // Where the names are made when the vector's elements move into the map.
    Heap& m_heap;
    ObjectClass m_kind;
    std::int32_t m_length = 0;
    std::vector<Value> m_elements;
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
