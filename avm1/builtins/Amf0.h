#pragma once

// Values in the Action Message Format, version 0: the form SharedObject data takes in
// its file and LocalConnection arguments take between movies. Objects go by their
// enumerable properties in the order they were made (functions have no form and are
// left out); an object whose constructor is registered under an alias with
// Object.registerClass goes as a typed object of that alias, and comes back with the
// class's prototype; an object met twice goes as a reference to the first.

#include "avm1/Value.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace avm1 {

class Vm;

// The encoding of one value; nothing when a getter or toString threw, or the value
// nests deeper than limits::kMaxSerializedNesting.
std::optional<std::vector<std::uint8_t>> encodeAmf0(Vm& vm, Value value);

// The value `bytes` begin with; undefined for bytes that hold none. `used` is how many
// bytes it took.
Value decodeAmf0(Vm& vm, std::span<const std::uint8_t> bytes, std::size_t* used = nullptr);

// A copy of `value` made by encoding and decoding it: what the other end of a
// LocalConnection, or the next reader of a shared object, gets.
Value copyThroughAmf0(Vm& vm, Value value);

} // namespace avm1
