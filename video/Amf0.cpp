#include "Amf0.h"

#include "Limits.h"
#include "script/BigEndian.h"

#include <string>

namespace video::amf0 {

namespace {

using swf::ErrorCode;
using swf::makeError;

enum Marker : std::uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kMovieClip = 0x04,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0a,
    kDate = 0x0b,
    kLongString = 0x0c,
    kUnsupported = 0x0d,
    kXmlDocument = 0x0f,
    kTypedObject = 0x10,
};

class Parser {
public:
    Parser(std::span<const std::uint8_t> bytes, std::size_t& budget) : m_in(bytes), m_budget(budget)
    {}

    bool atEnd() const { return m_in.remaining() == 0; }

    swf::Status value(Value& out, int depth)
    {
        if (depth > limits::kMaxAmfDepth)
            return makeError(ErrorCode::TooDeep, "script data nesting");
        if (m_budget == 0)
            return makeError(ErrorCode::TooLarge, "script data values");
        --m_budget;
        const std::size_t at = m_in.position();
        const std::uint8_t marker = m_in.u8();
        switch (marker) {
        case kNumber:
            out.type = Type::Number;
            out.number = m_in.f64();
            break;
        case kBoolean:
            out.type = Type::Boolean;
            out.boolean = m_in.u8() != 0;
            break;
        case kString:
        case kLongString:
            out.type = Type::String;
            out.string = text(marker == kLongString ? m_in.u32() : m_in.u16());
            break;
        case kXmlDocument:
            out.type = Type::Xml;
            out.string = text(m_in.u32());
            break;
        case kNull:
            out.type = Type::Null;
            break;
        case kUndefined:
        case kUnsupported:
            out.type = Type::Undefined;
            break;
        case kDate:
            out.type = Type::Date;
            out.number = m_in.f64();
            out.timezoneMinutes = std::int16_t(m_in.u16());
            break;
        case kTypedObject:
            out.string = text(m_in.u16());
            [[fallthrough]];
        case kObject:
            out.type = Type::Object;
            return properties(out, depth);
        case kEcmaArray:
            out.type = Type::EcmaArray;
            // The count is a hint that writers often get wrong; the end marker decides.
            m_in.u32();
            return properties(out, depth);
        case kStrictArray:
            return elements(out, depth);
        default:
            if (!m_in.ok())
                return truncated();
            return makeError(ErrorCode::Unsupported, "script data marker " +
                                                         std::to_string(int(marker)) + " at byte " +
                                                         std::to_string(at));
        }
        return m_in.ok() ? swf::Status(swf::Ok{}) : truncated();
    }

private:
    std::string text(std::uint32_t length)
    {
        const auto bytes = m_in.take(length);
        return std::string(bytes.begin(), bytes.end());
    }

    swf::Status properties(Value& out, int depth)
    {
        for (std::uint32_t count = 0;; ++count) {
            // Some writers leave out the end marker of the last object of a tag; the
            // data's end closes it.
            if (m_in.remaining() == 0)
                return swf::Ok{};
            const std::string name = text(m_in.u16());
            if (!m_in.ok())
                return truncated();
            if (name.empty() && peek() == kObjectEnd) {
                m_in.u8();
                return swf::Ok{};
            }
            if (count >= limits::kMaxAmfEntries)
                return makeError(ErrorCode::TooLarge, "script data object entries");
            Property property;
            property.name = name;
            auto status = value(property.value, depth + 1);
            if (!status)
                return status;
            out.properties.push_back(std::move(property));
        }
    }

    swf::Status elements(Value& out, int depth)
    {
        out.type = Type::StrictArray;
        const std::uint32_t count = m_in.u32();
        if (!m_in.ok())
            return truncated();
        if (count > limits::kMaxAmfEntries)
            return makeError(ErrorCode::TooLarge, "script data array length");
        // Every element takes at least its marker byte, so the count is checked against
        // what remains before anything is reserved.
        if (count > m_in.remaining())
            return truncated();
        out.elements.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            Value element;
            auto status = value(element, depth + 1);
            if (!status)
                return status;
            out.elements.push_back(std::move(element));
        }
        return swf::Ok{};
    }

    std::uint8_t peek() const
    {
        script::BigEndianReader copy = m_in;
        return copy.u8();
    }

    static swf::Error truncated() { return makeError(ErrorCode::Truncated, "script data"); }

    script::BigEndianReader m_in;
    std::size_t& m_budget;
};

} // namespace

const Value* Value::property(std::string_view name) const
{
    for (const Property& p : properties)
        if (p.name == name)
            return &p.value;
    return nullptr;
}

swf::Result<std::vector<Value>> readValues(std::span<const std::uint8_t> bytes)
{
    std::size_t budget = limits::kMaxAmfValues;
    return readValues(bytes, budget);
}

swf::Result<std::vector<Value>> readValues(std::span<const std::uint8_t> bytes,
                                           std::size_t& valueBudget)
{
    Parser parser(bytes, valueBudget);
    std::vector<Value> values;
    while (!parser.atEnd()) {
        Value value;
        auto status = parser.value(value, 0);
        if (!status)
            return status.error();
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace video::amf0
