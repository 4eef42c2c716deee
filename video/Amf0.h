#pragma once

// Action Message Format 0, as FLV's script data tags carry it (onMetaData, onCuePoint):
// read into a tree of values that the player turns into script objects.
#include "format/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace video::amf0 {

enum class Type : std::uint8_t {
    Number,
    Boolean,
    String, // both the short and the long string marker
    Object, // also a typed object, whose class name is in `string`
    EcmaArray,
    StrictArray,
    Date,
    Null,
    Undefined,
    Xml, // the document's text in `string`
};

struct Property;

struct Value {
    Type type = Type::Undefined;
    double number = 0; // Number; Date as milliseconds since 1970
    bool boolean = false;
    std::string string;
    std::int16_t timezoneMinutes = 0; // Date
    std::vector<Property> properties; // Object, EcmaArray, in file order
    std::vector<Value> elements;      // StrictArray

    /// The first property called `name`, or null.
    const Value* property(std::string_view name) const;
    bool isNumber() const { return type == Type::Number; }
};

struct Property {
    std::string name;
    Value value;
};

/// Every value of one script data body, in order: for FLV, the event's name then its
/// argument. Fails on a value cut short, an unknown or unsupported marker (references,
/// movie clips), or past the nesting and size caps of Limits.h.
swf::Result<std::vector<Value>> readValues(std::span<const std::uint8_t> bytes);
/// The same, spending `valueBudget` (values left for the whole file) as it reads.
swf::Result<std::vector<Value>> readValues(std::span<const std::uint8_t> bytes,
                                           std::size_t& valueBudget);

} // namespace video::amf0
