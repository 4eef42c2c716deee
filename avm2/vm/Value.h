#pragma once

#include "String.h"

#include <cstdint>

namespace avm2 {

class Object;

// An ActionScript 3 value: undefined, null, a Boolean, an int, a Number, a String or an
// Object. Numbers that hold a 32-bit integer may travel as Int, so that typed integer
// code runs without doubles; the language sees one Number type either way (uint values
// above int's range travel as Number).
class Value {
public:
    enum class Type : std::uint8_t { Undefined, Null, Boolean, Int, Number, String, Object };

    constexpr Value() : m_int(0) {}
    constexpr Value(bool b) : m_type(Type::Boolean), m_bool(b) {}
    constexpr Value(std::int32_t i) : m_type(Type::Int), m_int(i) {}
    constexpr Value(double d) : m_type(Type::Number), m_number(d) {}
    Value(String* s) : m_type(s ? Type::String : Type::Null), m_string(s) {}
    Value(Object* o) : m_type(o ? Type::Object : Type::Null), m_object(o) {}
    Value(const char*) = delete;

    static constexpr Value undefined() { return Value(); }
    static constexpr Value null()
    {
        Value v;
        v.m_type = Type::Null;
        return v;
    }
    // A uint's value: an Int when it fits.
    static constexpr Value fromUint(std::uint32_t u)
    {
        return u <= 0x7fffffffu ? Value(static_cast<std::int32_t>(u))
                                : Value(static_cast<double>(u));
    }
    // A Number, as an Int when it is one exactly (not -0).
    static Value number(double d);

    Type type() const { return m_type; }
    bool isUndefined() const { return m_type == Type::Undefined; }
    bool isNull() const { return m_type == Type::Null; }
    bool isNullish() const { return m_type <= Type::Null; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    bool isInt() const { return m_type == Type::Int; }
    bool isDouble() const { return m_type == Type::Number; }
    bool isNumber() const { return m_type == Type::Int || m_type == Type::Number; }
    bool isString() const { return m_type == Type::String; }
    bool isObject() const { return m_type == Type::Object; }
    bool isPrimitive() const { return m_type != Type::Object; }

    bool asBoolean() const { return m_bool; }
    std::int32_t asInt() const { return m_int; }
    double asDouble() const { return m_number; }
    // Either numeric form as a double.
    double asNumber() const { return m_type == Type::Int ? m_int : m_number; }
    String* asString() const { return m_string; }
    Object* asObject() const { return m_object; }
    Object* objectOrNull() const { return m_type == Type::Object ? m_object : nullptr; }

    script::Cell* cell() const;

    // The same value by identity (===, without numeric conversions between types).
    bool identical(const Value& other) const;

private:
    Type m_type = Type::Undefined;
    union {
        bool m_bool;
        std::int32_t m_int;
        double m_number;
        String* m_string;
        Object* m_object;
    };
};

static_assert(sizeof(Value) == 16);

} // namespace avm2
