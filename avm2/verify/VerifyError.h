#pragma once

// Byte code the verifier refuses: the reference's VerifyError number with its text
// ("Error #1021: At least one branch target was not on a valid instruction in the
// method."), and where it was found. A refused method never runs.
#include <optional>
#include <string>
#include <utility>

namespace avm2 {

#define AVM2_VERIFY_ERROR_LIST(X)                                                                  \
    X(IllegalOpcode, 1011, "Method contained illegal opcode")                                      \
    X(FallsOffEnd, 1020, "Code cannot fall off the end of a method")                               \
    X(BadBranchTarget, 1021,                                                                       \
      "At least one branch target was not on a valid instruction in the method")                   \
    X(BadExceptionRange, 1054, "Illegal range or target offsets in exception handler")             \
    X(PoolIndexOutOfRange, 1032, "Cpool index out of range")

enum class VerifyErrorKind : int {
#define AVM2_VERIFY_ERROR_ENUM(name, number, text) name = number,
    AVM2_VERIFY_ERROR_LIST(AVM2_VERIFY_ERROR_ENUM)
#undef AVM2_VERIFY_ERROR_ENUM
};

struct VerifyError {
    VerifyErrorKind kind = VerifyErrorKind::IllegalOpcode;
    std::string detail; // where: "method 3, offset 17"

    int number() const { return static_cast<int>(kind); }
    // "Error #1021: At least one branch target was not on a valid instruction in the
    // method." as the reference prints it, without the class name.
    std::string message() const;
};

// A verifier step's answer: the value, or the error that refused the method.
template <typename T> class Verified {
public:
    Verified(T value) : m_value(std::move(value)) {}
    Verified(VerifyError error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const VerifyError& error() const { return m_error; }

private:
    std::optional<T> m_value;
    VerifyError m_error;
};

} // namespace avm2
