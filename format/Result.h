#pragma once

#include "Error.h"

#include <cassert>
#include <utility>
#include <variant>

namespace swf {

// A value or the reason there is none. The engine reports bad input through this,
// never through exceptions; propagate with an early return:
//     auto header = readHeader(bytes);
//     if (!header) return header.error();
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    const T& value() const&
    {
        assert(ok());
        return std::get<T>(m_state);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<T>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const
    {
        assert(!ok());
        return std::get<Error>(m_state);
    }

private:
    std::variant<T, Error> m_state;
};

// The result of a step that yields nothing but success or an error.
struct Ok {};
using Status = Result<Ok>;

inline Error makeError(ErrorCode code, std::string detail = {})
{
    return Error{code, std::move(detail)};
}

} // namespace swf
