#pragma once

#include <QString>
#include <exception>
#include <string>

namespace windowing {

// Run-time error numbers, as the program's error handling knows them.
#define WINDOWING_ERROR_LIST(X)                                                                    \
    X(InvalidArgument, 5, "Invalid argument")                                                      \
    X(Overflow, 6, "Overflow")                                                                     \
    X(OutOfMemory, 7, "Out of memory")                                                             \
    X(IndexOutOfRange, 9, "Index out of range")                                                    \
    X(DivisionByZero, 11, "Division by zero")                                                      \
    X(InternalError, 51, "Internal error")                                                         \
    X(PathNotFound, 76, "Path not found")                                                          \
    X(ElementMissing, 340, "Control array element does not exist")                                 \
    X(ElementExists, 360, "Control array element already exists")                                  \
    X(DesignElement, 362, "A control made at design time cannot be unloaded")                      \
    X(InvalidPropertyValue, 380, "Invalid property value")

enum class ErrorNumber : int {
#define WINDOWING_ERROR_ENUM(name, number, text) name = number,
    WINDOWING_ERROR_LIST(WINDOWING_ERROR_ENUM)
#undef WINDOWING_ERROR_ENUM
};

QString errorText(ErrorNumber number);

// A run-time error: it ends the running handler at the failing step and goes to the
// top level, unless skip-on-error mode or an absorbing handler takes it first.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(ErrorNumber number, QString detail = {});

    ErrorNumber number() const { return m_number; }
    // The error's text, with the detail after it when there is one.
    QString description() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    ErrorNumber m_number;
    QString m_detail;
    std::string m_what;
};

[[noreturn]] void raiseError(ErrorNumber number, QString detail = {});

} // namespace windowing
