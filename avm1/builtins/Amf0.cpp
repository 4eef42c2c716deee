#include "Amf0.h"

#include "ArrayObject.h"
#include "ClassRegistry.h"
#include "XmlNode.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"

#include <bit>
#include <cstring>
#include <string>

namespace avm1 {

namespace {

// The type markers.
enum Marker : std::uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kXmlDocument = 0x0F,
    kTypedObject = 0x10,
};

class Encoder {
public:
    explicit Encoder(Vm& vm) : m_vm(vm) {}

    bool failed() const
    {
        return m_failed || m_vm.throwing() || m_vm.aborted() ||
               m_out.size() > limits::kMaxStringBytes;
    }
    std::vector<std::uint8_t> take() { return std::move(m_out); }

    void value(Value v)
    {
        if (failed())
            return;
        switch (v.type()) {
        case Value::Type::Undefined:
            m_out.push_back(kUndefined);
            return;
        case Value::Type::Null:
            m_out.push_back(kNull);
            return;
        case Value::Type::Boolean:
            m_out.push_back(kBoolean);
            m_out.push_back(v.asBoolean() ? 1 : 0);
            return;
        case Value::Type::Number:
            m_out.push_back(kNumber);
            number(v.asNumber());
            return;
        case Value::Type::String:
            string(v.asString()->view());
            return;
        case Value::Type::Object:
            object(v.asObject());
            return;
        }
    }

private:
    void u16(std::uint32_t n)
    {
        m_out.push_back(static_cast<std::uint8_t>(n >> 8));
        m_out.push_back(static_cast<std::uint8_t>(n));
    }
    void u32(std::uint32_t n)
    {
        u16(n >> 16);
        u16(n & 0xFFFF);
    }
    void number(double d)
    {
        const auto bits = std::bit_cast<std::uint64_t>(d);
        for (int shift = 56; shift >= 0; shift -= 8)
            m_out.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
    void utf8(std::string_view text, bool longLength)
    {
        if (longLength)
            u32(static_cast<std::uint32_t>(text.size()));
        else
            u16(static_cast<std::uint32_t>(text.size()));
        m_out.insert(m_out.end(), text.begin(), text.end());
    }
    void string(std::string_view text)
    {
        const bool longString = text.size() > 0xFFFF;
        m_out.push_back(longString ? kLongString : kString);
        utf8(text, longString);
    }
    // A property name: names longer than the 16-bit length can say are cut.
    void name(std::string_view text) { utf8(text.substr(0, 0xFFFF), false); }

    // The alias of the class that made `object`: its own constructor if it was given
    // one, else the one new recorded.
    const std::string* aliasOf(Object* object)
    {
        Value ctor;
        if (Property* p = m_vm.findOwn(object, m_vm.names().constructor); p && !p->isAccessor())
            ctor = p->value;
        else if (Property* q = m_vm.findOwn(object, m_vm.names().constructorOld);
                 q && !q->isAccessor())
            ctor = q->value;
        Object* constructor = ctor.objectOrNull();
        return constructor ? registeredClasses(m_vm).nameOf(constructor) : nullptr;
    }

    void object(Object* o)
    {
        // Functions and clips have no form: they stand as undefined where met.
        if (o->isFunction() || asClip(o)) {
            m_out.push_back(kUndefined);
            return;
        }
        for (std::size_t i = 0; i < m_seen.size(); ++i) {
            if (m_seen[i] == o) {
                m_out.push_back(kReference);
                u16(static_cast<std::uint32_t>(i));
                return;
            }
        }
        if (m_seen.size() < 0xFFFF)
            m_seen.push_back(o);
        if (o->objectClass() == ObjectClass::Date) {
            m_out.push_back(kDate);
            number(m_vm.toNumber(Value(o)));
            u16(0);
            return;
        }
        if (XmlNode* node = xmlNodeOf(o); node && node->isDocument()) {
            m_out.push_back(kXmlDocument);
            utf8(serializeXml(m_vm, node), true);
            return;
        }
        if (++m_depth > limits::kMaxSerializedNesting) {
            m_failed = true;
            return;
        }
        if (asArrayObject(o)) {
            m_out.push_back(kEcmaArray);
            u32(static_cast<std::uint32_t>(std::max(asArrayObject(o)->length(), 0)));
        } else if (const std::string* alias = aliasOf(o)) {
            m_out.push_back(kTypedObject);
            name(*alias);
        } else {
            m_out.push_back(kObject);
        }
        properties(o);
        u16(0);
        m_out.push_back(kObjectEnd);
        --m_depth;
    }

    // The enumerable properties in the order they were made, functions left out.
    void properties(Object* o)
    {
        std::vector<String*> keys = m_vm.enumerableKeys(o);
        for (String* key : keys) {
            if (failed())
                return;
            if (!m_vm.hasOwnProperty(o, key))
                continue;
            const Value member = m_vm.getMember(o, key);
            if (Object* f = member.objectOrNull(); f && f->isFunction())
                continue;
            name(key->view());
            value(member);
        }
    }

    Vm& m_vm;
    std::vector<std::uint8_t> m_out;
    std::vector<Object*> m_seen;
    int m_depth = 0;
    bool m_failed = false;
};

class Decoder {
public:
    Decoder(Vm& vm, std::span<const std::uint8_t> bytes) : m_vm(vm), m_in(bytes) {}

    std::size_t used() const { return m_pos; }

    Value value()
    {
        if (m_pos >= m_in.size() || m_vm.throwing())
            return Value();
        const std::uint8_t marker = m_in[m_pos++];
        switch (marker) {
        case kNumber:
            return Value(number());
        case kBoolean:
            return Value(m_pos < m_in.size() && m_in[m_pos++] != 0);
        case kString:
            return Value(m_vm.str(utf8(u16())));
        case kLongString:
            return Value(m_vm.str(utf8(u32())));
        case kNull:
            return Value::null();
        case kReference: {
            const std::uint32_t index = u16();
            return index < m_objects.size() ? Value(m_objects[index]) : Value();
        }
        case kDate: {
            const double time = number();
            u16();
            const Value dateCtor = m_vm.getMember(m_vm.global(), m_vm.str("Date"));
            const Value arg(time);
            const Value date = m_vm.construct(dateCtor, std::span<const Value>(&arg, 1));
            remember(date.objectOrNull());
            return date;
        }
        case kXmlDocument: {
            const Value xmlCtor = m_vm.getMember(m_vm.global(), m_vm.str("XML"));
            const Value text(m_vm.str(utf8(u32())));
            const Value xml = m_vm.construct(xmlCtor, std::span<const Value>(&text, 1));
            remember(xml.objectOrNull());
            return xml;
        }
        case kObject:
            return fill(m_vm.makeObject());
        case kTypedObject: {
            const std::string alias = utf8(u16());
            Object* ctor = registeredClasses(m_vm).find(alias, CaseRule::Sensitive);
            Object* proto =
                ctor ? m_vm.getMember(ctor, m_vm.names().prototype).objectOrNull() : nullptr;
            return fill(proto ? m_vm.makeObject(proto) : m_vm.makeObject());
        }
        case kEcmaArray:
            u32();
            return fill(m_vm.makeArray());
        case kStrictArray: {
            const std::uint32_t count = u32();
            Object* array = m_vm.makeArray();
            remember(array);
            if (!enter())
                return Value(array);
            for (std::uint32_t i = 0; i < count && m_pos < m_in.size() && !m_vm.throwing(); ++i) {
                if (i >= limits::kMaxDenseArrayLength)
                    break;
                m_vm.setMember(array, indexName(m_vm, i), value());
            }
            --m_depth;
            return Value(array);
        }
        default:
            // Types this player never writes (movie clips, records sets): the rest of
            // the data cannot be read past them.
            m_pos = m_in.size();
            return Value();
        }
    }

private:
    bool enter()
    {
        if (++m_depth <= limits::kMaxSerializedNesting)
            return true;
        --m_depth;
        m_pos = m_in.size();
        return false;
    }

    void remember(Object* o)
    {
        if (o && m_objects.size() < 0xFFFF)
            m_objects.push_back(o);
    }

    // Name and value pairs up to the end marker.
    Value fill(Object* o)
    {
        remember(o);
        if (!enter())
            return Value(o);
        while (m_pos < m_in.size() && !m_vm.throwing()) {
            const std::string key = utf8(u16());
            if (key.empty() && m_pos < m_in.size() && m_in[m_pos] == kObjectEnd) {
                ++m_pos;
                break;
            }
            const Value member = value();
            if (o->properties().size() < limits::kMaxPropertiesPerObject)
                m_vm.setMember(o, m_vm.str(key), member);
        }
        --m_depth;
        return Value(o);
    }

    std::uint32_t u16()
    {
        if (m_pos + 2 > m_in.size()) {
            m_pos = m_in.size();
            return 0;
        }
        const std::uint32_t n = static_cast<std::uint32_t>(m_in[m_pos] << 8 | m_in[m_pos + 1]);
        m_pos += 2;
        return n;
    }
    std::uint32_t u32()
    {
        const std::uint32_t high = u16();
        return high << 16 | u16();
    }
    double number()
    {
        if (m_pos + 8 > m_in.size()) {
            m_pos = m_in.size();
            return 0;
        }
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | m_in[m_pos++];
        return std::bit_cast<double>(bits);
    }
    std::string utf8(std::size_t length)
    {
        length = std::min(length, m_in.size() - m_pos);
        std::string text(reinterpret_cast<const char*>(m_in.data() + m_pos), length);
        m_pos += length;
        return text;
    }

    Vm& m_vm;
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    std::vector<Object*> m_objects;
    int m_depth = 0;
};

} // namespace

std::optional<std::vector<std::uint8_t>> encodeAmf0(Vm& vm, Value value)
{
    Encoder encoder(vm);
    encoder.value(value);
    if (encoder.failed())
        return std::nullopt;
    return encoder.take();
}

Value decodeAmf0(Vm& vm, std::span<const std::uint8_t> bytes, std::size_t* used)
{
    Decoder decoder(vm, bytes);
    const Value value = decoder.value();
    if (used)
        *used = decoder.used();
    return value;
}

Value copyThroughAmf0(Vm& vm, Value value)
{
    const auto bytes = encodeAmf0(vm, value);
    return bytes ? decodeAmf0(vm, *bytes) : Value();
}

} // namespace avm1
