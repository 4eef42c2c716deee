#pragma once

// ActionScript 1 and 2 values as AMF (script/amf reads and writes the bytes): the form
// SharedObject data takes in its file, LocalConnection arguments take between movies,
// and an FLV stream's script data arrives in. Objects go by their enumerable
// properties in the order they were made (functions have no form and are left out); an
// object whose constructor is registered under an alias with Object.registerClass goes
// as a typed object of that alias, and comes back with the class's prototype; an object
// met twice goes as a reference to the first.

#include "avm1/Value.h"
#include "script/amf/AmfDocument.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace avm1 {

class Vm;

// Where AMF data comes from: this player's own writing (shared objects, local
// connections), whose XML documents and typed objects come back as such, or a
// stream's script data, whose XML stays text and whose objects are plain.
enum class AmfSource : bool { Player, Stream };

// The node `value` becomes in `doc`; nothing when a getter or toString threw, or the
// value nests deeper than limits::kMaxSerializedNesting or outgrows a string's cap.
std::optional<script::amf::NodeId> toAmf(Vm& vm, Value value, script::amf::Document& doc);
// The value node `id` of `doc` stands for; a node met again is the same object again.
Value fromAmf(Vm& vm, const script::amf::Document& doc, script::amf::NodeId id, AmfSource source);

// The AMF 0 encoding of one value; nothing when toAmf gives nothing.
std::optional<std::vector<std::uint8_t>> encodeAmf0(Vm& vm, Value value);

// The value `bytes` begin with; damaged data gives what it holds up to the damage, and
// undefined for bytes that hold none. `used` is how many bytes it took (all of them
// after damage).
Value decodeAmf0(Vm& vm, std::span<const std::uint8_t> bytes, std::size_t* used = nullptr);

// A copy of `value` made by encoding and decoding it: what the other end of a
// LocalConnection, or the next reader of a shared object, gets.
Value copyThroughAmf0(Vm& vm, Value value);

} // namespace avm1
