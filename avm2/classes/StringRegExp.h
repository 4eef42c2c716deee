#pragma once

// String's methods that take a RegExp (StringRegExp.cpp); the RegExp arguments are
// RegExp objects.
#include "Native.h"

#include <string>

namespace avm2 {

Value splitByRegExp(Vm& vm, const std::u16string& subject, const Value& regexp,
                    std::uint32_t limit);
Value replaceByRegExp(Vm& vm, const std::u16string& subject, const Value& regexp,
                      const Value& replacement);
Value matchByRegExp(Vm& vm, const Value& self, std::span<const Value> args);
Value searchByRegExp(Vm& vm, const Value& self, std::span<const Value> args);

} // namespace avm2
