#pragma once

#include "Heap.h"

#include <cstdint>

namespace avm1 {

class String;
class Object;

// An ActionScript value: undefined, null, a Boolean, a Number (always a double), a
// String or an Object. Sixteen bytes, trivially copied; strings and objects are cells
// of the heap, kept alive by the collector's tracing, not by the value.
class Value {
public:
    enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

    constexpr Value() : m_number(0) {}
    constexpr Value(bool b) : m_type(Type::Boolean), m_bool(b) {}
    constexpr Value(double d) : m_type(Type::Number), m_number(d) {}
    constexpr Value(int i) : m_type(Type::Number), m_number(i) {}
    Value(String* s) : m_type(Type::String), m_string(s) {}
    Value(Object* o) : m_type(Type::Object), m_object(o) {}
    Value(const char*) = delete; // strings are made by the Vm

    static constexpr Value undefined() { return Value(); }
    static constexpr Value null()
    {
        Value v;
        v.m_type = Type::Null;
        return v;
    }

    Type type() const { return m_type; }
    bool isUndefined() const { return m_type == Type::Undefined; }
    bool isNull() const { return m_type == Type::Null; }
    bool isNullish() const { return m_type <= Type::Null; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isObject() const { return m_type == Type::Object; }

    bool asBoolean() const { return m_bool; }
    double asNumber() const { return m_number; }
    String* asString() const { return m_string; }
    Object* asObject() const { return m_object; }
    // The object, or null for every other type.
    Object* objectOrNull() const { return m_type == Type::Object ? m_object : nullptr; }

    // The heap cell the value holds, if any.
    Cell* cell() const;

private:
    Type m_type = Type::Undefined;
    union {
        bool m_bool;
        double m_number;
        String* m_string;
        Object* m_object;
    };
};

static_assert(sizeof(Value) == 16);

} // namespace avm1
