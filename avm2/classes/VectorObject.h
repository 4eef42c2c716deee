#pragma once

// Vector.<T>'s instances: dense elements of one type, kept natively (int32, uint32,
// double, or values of the element class), with a fixed flag that freezes the length.
#include "avm2/vm/ClassObject.h"
#include "avm2/vm/Object.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace avm2 {

class Vm;

class VectorObject : public Object {
public:
    VectorObject(const Traits* traits, Object* prototype, ClassObject* type)
        : Object(traits, prototype, ObjectKind::Vector), elementType(type)
    {}

    virtual std::uint32_t length() const = 0;
    virtual Value at(std::uint32_t index) const = 0;
    // Stores a value already coerced to the element type.
    virtual void put(std::uint32_t index, const Value& value) = 0;
    // Grows with the element type's default value, or drops the tail.
    virtual void resize(std::uint32_t length) = 0;
    // Opens `count` default elements at `index`, or removes `count` from it.
    virtual void insertDefaults(std::uint32_t index, std::uint32_t count) = 0;
    virtual void erase(std::uint32_t index, std::uint32_t count) = 0;
    virtual void reverse() = 0;

    // The value as an element: coerced to T (TypeError #1034 for another class).
    Value coerceElement(Vm& vm, const Value& value) const;

    bool getIndex(Vm& vm, std::uint32_t index, Value& out) override;
    bool setIndex(Vm& vm, std::uint32_t index, const Value& value) override;
    bool hasIndex(std::uint32_t index) const override { return index < length(); }
    // delete v[i] answers true and leaves the element (the reference's answer).
    bool deleteIndex(Vm&, std::uint32_t) override { return true; }
    bool numericName(Vm& vm, const String* local, std::uint32_t& index) override;
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;

    ClassObject* elementType; // null for Vector.<*>
    bool fixed = false;
};

// The storage of one element type: `Element` is int32_t, uint32_t, double or Value.
template <typename Element> class TypedVector final : public VectorObject {
public:
    using VectorObject::VectorObject;

    std::uint32_t length() const override { return static_cast<std::uint32_t>(items.size()); }
    Value at(std::uint32_t index) const override;
    void put(std::uint32_t index, const Value& value) override;
    void resize(std::uint32_t length) override { items.resize(length, fill()); }
    void insertDefaults(std::uint32_t index, std::uint32_t count) override
    {
        items.insert(items.begin() + index, count, fill());
    }
    void erase(std::uint32_t index, std::uint32_t count) override
    {
        items.erase(items.begin() + index, items.begin() + index + count);
    }
    void reverse() override { std::reverse(items.begin(), items.end()); }
    void traceChildren(script::Tracer& tracer) override;
    std::size_t extraBytes() const override { return items.capacity() * sizeof(Element); }

    std::vector<Element> items;

private:
    Element fill() const;
};

// A vector of `elementType` (int, uint and Number have their own storage; any other
// class, or none for *, keeps values), empty and not fixed.
VectorObject* newVectorStorage(Vm& vm, const Traits* traits, Object* prototype,
                               ClassObject* elementType);

} // namespace avm2
