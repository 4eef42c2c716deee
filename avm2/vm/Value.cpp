#include "Value.h"

#include "Object.h"

#include <cmath>

namespace avm2 {

Value Value::number(double d)
{
    if (d >= -2147483648.0 && d <= 2147483647.0) {
        const auto i = static_cast<std::int32_t>(d);
        if (static_cast<double>(i) == d && !(i == 0 && std::signbit(d)))
            return Value(i);
    }
    return Value(d);
}

script::Cell* Value::cell() const
{
    if (m_type == Type::String)
        return m_string;
    if (m_type == Type::Object)
        return m_object;
    return nullptr;
}

bool Value::identical(const Value& other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Undefined:
    case Type::Null:
        return true;
    case Type::Boolean:
        return m_bool == other.m_bool;
    case Type::Int:
        return m_int == other.m_int;
    case Type::Number:
        return m_number == other.m_number;
    case Type::String:
        return m_string == other.m_string || m_string->text() == other.m_string->text();
    case Type::Object:
        return m_object == other.m_object;
    }
    return false;
}

} // namespace avm2
