#pragma once

#include "Object.h"

#include <string>

namespace avm2 {

// An Error instance: `message` and `name` are its public slots (the class declares
// them); the number and the call stack at its making are native.
class ErrorObject final : public Object {
public:
    ErrorObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Error)
    {}
    std::int32_t errorId = 0;
    std::u16string stackTrace; // "\tat f()" lines
};

} // namespace avm2
