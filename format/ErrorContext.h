#pragma once

#include "Error.h"

#include <string>
#include <string_view>

namespace swf {

// The error with `context` (a tag name, a record) put before its detail, so that a
// message reads "DefineShape3: fill style 2: type" from the outside in.
inline Error inContext(std::string_view context, Error error)
{
    std::string detail(context);
    if (!error.detail.empty()) {
        detail += ": ";
        detail += error.detail;
    }
    error.detail = std::move(detail);
    return error;
}

} // namespace swf
