#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace script::e4x {

// The errors E4X operations raise, numbered as the reference numbers them: the VM
// throws a TypeError with this number and formats the message from the arguments.
enum class XmlErrorId : std::uint16_t {
    PrefixNotBound = 1083,         // arguments: prefix, local name
    BadQName = 1084,               // argument: the name
    UnterminatedElementTag = 1085, // argument: the open element's name (twice in the text)
    MarkupAfterRoot = 1088,        // markup after the single root
    MalformedElement = 1090,       // a tag that cannot be read
    UnterminatedCData = 1091,      //
    UnterminatedXmlDeclaration = 1092,
    UnterminatedDoctype = 1093,
    UnterminatedComment = 1094,
    UnterminatedAttribute = 1095,
    UnterminatedProcessingInstruction = 1097,
    IllegalCyclicalLoop = 1118, // a node inserted into itself or its descendant
    TooLarge = 1000,            // a cap of script/Limits.h was reached (out of memory)
};

struct XmlError {
    XmlErrorId id = XmlErrorId::MalformedElement;
    std::u16string argument;
    std::u16string argument2;
};

// A value or the error that stopped it.
template <typename T> class [[nodiscard]] XmlResult {
public:
    XmlResult(T value) : m_state(std::move(value)) {}
    XmlResult(XmlError error) : m_state(std::move(error)) {}

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
    const XmlError& error() const
    {
        assert(!ok());
        return std::get<XmlError>(m_state);
    }

private:
    std::variant<T, XmlError> m_state;
};

struct XmlOk {};
using XmlStatus = XmlResult<XmlOk>;

} // namespace script::e4x
