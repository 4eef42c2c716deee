// Reading AMF 0 and AMF 3 into a Document.
#include "AmfCodec.h"
#include "script/Limits.h"

#include <string>

namespace script::amf {

namespace {

using swf::ErrorCode;

class Reader {
public:
    Reader(Document& doc, BigEndianReader& in, const ReadOptions& options)
        : m_doc(doc), m_in(in), m_options(options)
    {}

    swf::Result<NodeId> amf0()
    {
        const NodeId id = readAmf0Value();
        return finish(id);
    }
    swf::Result<NodeId> amf3()
    {
        const NodeId id = readAmf3Value();
        return finish(id);
    }

private:
    swf::Result<NodeId> finish(NodeId id)
    {
        if (!m_failed && !m_in.ok())
            fail(ErrorCode::Truncated, "value");
        if (m_failed) {
            if (m_options.partial)
                *m_options.partial = id;
            return m_error;
        }
        return id;
    }
    NodeId fail(ErrorCode code, std::string detail)
    {
        if (!m_failed) {
            m_failed = true;
            m_error = swf::makeError(code, "AMF " + std::move(detail));
        }
        m_in.fail();
        return 0;
    }
    // Whether another value may be read here: not too deep, not too many.
    bool enter()
    {
        if (m_failed || !m_in.ok())
            return false;
        if (m_depth >= m_options.maxNesting) {
            fail(ErrorCode::TooDeep, "nesting");
            return false;
        }
        if (m_doc.size() >= m_options.maxValues) {
            fail(ErrorCode::TooLarge, "value count");
            return false;
        }
        ++m_depth;
        return true;
    }
    NodeId leave(NodeId id)
    {
        --m_depth;
        return id;
    }
    // A count of items each at least `minBytes` long: no more than the bytes left.
    bool fits(std::uint64_t count, std::size_t minBytes, const char* what)
    {
        if (count * minBytes > m_in.remaining()) {
            fail(ErrorCode::Truncated, std::string(what) + " count");
            return false;
        }
        return true;
    }

    NodeId readAmf0Value();
    void readAmf0Members(NodeId id);
    NodeId readAmf3Value();
    // Name and value pairs until the empty name: an array's named part, a dynamic
    // object's own members.
    void readAmf3Members(NodeId id);
    // `count` values into the node's elements, when the bytes left can hold them.
    void readAmf3Elements(NodeId id, std::uint32_t count, const char* what);
    std::uint32_t u29();
    std::string amf3String();
    // A reference into the AMF 3 object table, or nothing when `header` is inline.
    bool amf3Reference(std::uint32_t header, NodeId& out);

    struct Traits {
        std::string className;
        bool dynamic = false;
        bool externalizable = false;
        std::vector<std::string> sealed;
    };

    Document& m_doc;
    BigEndianReader& m_in;
    const ReadOptions& m_options;
    std::size_t m_depth = 0;
    bool m_failed = false;
    swf::Error m_error;
    std::vector<NodeId> m_amf0Objects;
    std::vector<std::string> m_strings;
    std::vector<NodeId> m_objects;
    std::vector<Traits> m_traits;
};

void Reader::readAmf0Members(NodeId id)
{
    // Name and value pairs until an empty name and the object-end marker.
    while (!m_failed && m_in.ok()) {
        if (m_options.dataEndClosesObjects && m_in.remaining() == 0)
            return;
        const std::uint16_t length = m_in.u16();
        std::string name = m_in.text(length);
        if (name.empty()) {
            if (m_in.u8() != 9)
                fail(ErrorCode::BadValue, "object end");
            return;
        }
        const NodeId value = readAmf0Value();
        m_doc[id].members.push_back({std::move(name), value});
    }
}

NodeId Reader::readAmf0Value()
{
    if (!enter())
        return 0;
    const std::uint8_t marker = m_in.u8();
    Node node;
    switch (marker) {
    case 0:
        node.kind = Kind::Number;
        node.number = m_in.f64();
        break;
    case 1:
        node.kind = Kind::Boolean;
        node.boolean = m_in.u8() != 0;
        break;
    case 2:
        node.kind = Kind::String;
        node.text = m_in.text(m_in.u16());
        break;
    case 12:
        node.kind = Kind::String;
        node.text = m_in.text(m_in.u32());
        break;
    case 15:
        node.kind = Kind::XmlDocument;
        node.text = m_in.text(m_in.u32());
        break;
    case 5:
        node.kind = Kind::Null;
        break;
    case 6:
    case 13: // a value the writer had no form for
        node.kind = Kind::Undefined;
        break;
    case 11:
        node.kind = Kind::Date;
        node.number = m_in.f64();
        node.timezone = static_cast<std::int16_t>(m_in.u16());
        break;
    case 7: {
        const std::uint16_t index = m_in.u16();
        if (index >= m_amf0Objects.size())
            return leave(fail(ErrorCode::BadReference, "reference " + std::to_string(index)));
        return leave(m_amf0Objects[index]);
    }
    case 3:
    case 16: {
        node.kind = Kind::Object;
        if (marker == 16)
            node.text = m_in.text(m_in.u16());
        // Registered before its members, which may refer back to it.
        const NodeId id = m_doc.add(std::move(node));
        m_amf0Objects.push_back(id);
        readAmf0Members(id);
        return leave(id);
    }
    case 8: {
        node.kind = Kind::Array;
        m_in.u32(); // a count the members that follow decide
        const NodeId id = m_doc.add(std::move(node));
        m_amf0Objects.push_back(id);
        readAmf0Members(id);
        return leave(id);
    }
    case 10: {
        node.kind = Kind::Array;
        node.strictArray = true;
        const std::uint32_t count = m_in.u32();
        if (!fits(count, 1, "array"))
            return leave(0);
        const NodeId id = m_doc.add(std::move(node));
        m_amf0Objects.push_back(id);
        for (std::uint32_t i = 0; i < count && !m_failed; ++i) {
            const NodeId element = readAmf0Value();
            m_doc[id].elements.push_back(element);
        }
        return leave(id);
    }
    case 17: {
        // The rest is AMF 3, with tables of its own, at the switch marker's own level
        // (as the writer counts it).
        Reader inner(m_doc, m_in, m_options);
        inner.m_depth = m_depth - 1;
        const NodeId id = inner.readAmf3Value();
        if (inner.m_failed)
            fail(inner.m_error.code, inner.m_error.detail);
        return leave(id);
    }
    default:
        return leave(fail(ErrorCode::Unsupported, "marker " + std::to_string(marker)));
    }
    return leave(m_doc.add(std::move(node)));
}

std::uint32_t Reader::u29()
{
    // Seven bits a byte while the high bit is set, and a whole fourth byte.
    std::uint32_t value = 0;
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t byte = m_in.u8();
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return value;
    }
    return (value << 8) | m_in.u8();
}

std::string Reader::amf3String()
{
    const std::uint32_t header = u29();
    if (!(header & 1)) {
        const std::uint32_t index = header >> 1;
        if (index >= m_strings.size()) {
            fail(ErrorCode::BadReference, "string reference " + std::to_string(index));
            return {};
        }
        return m_strings[index];
    }
    std::string text = m_in.text(header >> 1);
    // The empty string is never put in the table.
    if (!text.empty() && m_in.ok())
        m_strings.push_back(text);
    return text;
}

bool Reader::amf3Reference(std::uint32_t header, NodeId& out)
{
    if (header & 1)
        return false;
    const std::uint32_t index = header >> 1;
    if (index >= m_objects.size())
        fail(ErrorCode::BadReference, "object reference " + std::to_string(index));
    else
        out = m_objects[index];
    return true;
}

void Reader::readAmf3Members(NodeId id)
{
    while (!m_failed && m_in.ok()) {
        std::string name = amf3String();
        if (name.empty())
            return;
        const NodeId value = readAmf3Value();
        m_doc[id].members.push_back({std::move(name), value});
    }
}

void Reader::readAmf3Elements(NodeId id, std::uint32_t count, const char* what)
{
    if (!fits(count, 1, what))
        return;
    for (std::uint32_t i = 0; i < count && !m_failed; ++i) {
        const NodeId element = readAmf3Value();
        m_doc[id].elements.push_back(element);
    }
}

NodeId Reader::readAmf3Value()
{
    if (!enter())
        return 0;
    const std::uint8_t marker = m_in.u8();
    Node node;
    switch (marker) {
    case 0:
        break;
    case 1:
        node.kind = Kind::Null;
        break;
    case 2:
    case 3:
        node.kind = Kind::Boolean;
        node.boolean = marker == 3;
        break;
    case 4: {
        // 29 bits, signed.
        const std::uint32_t raw = u29();
        node.kind = Kind::Integer;
        node.number = static_cast<double>(static_cast<std::int32_t>(raw << 3) >> 3);
        break;
    }
    case 5:
        node.kind = Kind::Number;
        node.number = m_in.f64();
        break;
    case 6:
        node.kind = Kind::String;
        node.text = amf3String();
        break;
    default: {
        // The rest carry a header: an inline length or count, or a reference.
        if (marker < 7 || marker > 17)
            return leave(fail(ErrorCode::Unsupported, "AMF 3 marker " + std::to_string(marker)));
        const std::uint32_t header = u29();
        NodeId existing = 0;
        if (amf3Reference(header, existing))
            return leave(existing);
        const std::uint32_t count = header >> 1;
        const NodeId id = m_doc.add(Node{});
        // Registered before its contents, which may refer back to it.
        m_objects.push_back(id);
        switch (marker) {
        case 7:
        case 11:
            m_doc[id].kind = marker == 7 ? Kind::XmlDocument : Kind::Xml;
            m_doc[id].text = m_in.text(count);
            break;
        case 8:
            m_doc[id].kind = Kind::Date;
            m_doc[id].number = m_in.f64();
            break;
        case 12: {
            m_doc[id].kind = Kind::ByteArray;
            const auto bytes = m_in.take(count);
            m_doc[id].bytes.assign(bytes.begin(), bytes.end());
            break;
        }
        case 9: {
            m_doc[id].kind = Kind::Array;
            readAmf3Members(id);
            readAmf3Elements(id, count, "array");
            break;
        }
        case 10: {
            // The header's bits after the inline flag: traits inline, externalizable,
            // dynamic, then the sealed member count; or an index into the traits.
            Traits traits;
            if (!(header & 2)) {
                const std::uint32_t index = header >> 2;
                if (index >= m_traits.size()) {
                    fail(ErrorCode::BadReference, "traits reference " + std::to_string(index));
                    break;
                }
                traits = m_traits[index];
            } else {
                traits.externalizable = header & 4;
                traits.dynamic = header & 8;
                const std::uint32_t sealed = header >> 4;
                if (sealed > limits::kMaxAmfSealedMembers || !fits(sealed, 1, "sealed member"))
                    break;
                traits.className = amf3String();
                for (std::uint32_t i = 0; i < sealed && !m_failed; ++i)
                    traits.sealed.push_back(amf3String());
                m_traits.push_back(traits);
            }
            if (traits.externalizable) {
                fail(ErrorCode::Unsupported, "externalizable class " + traits.className);
                break;
            }
            m_doc[id].kind = Kind::Object;
            m_doc[id].text = traits.className;
            m_doc[id].dynamic = traits.dynamic;
            m_doc[id].sealedCount = traits.sealed.size();
            for (const std::string& name : traits.sealed) {
                const NodeId value = readAmf3Value();
                m_doc[id].members.push_back({name, value});
            }
            if (traits.dynamic)
                readAmf3Members(id);
            break;
        }
        case 13:
        case 14:
        case 15: {
            const std::size_t width = marker == 15 ? 8 : 4;
            m_doc[id].kind = marker == 13   ? Kind::VectorInt
                             : marker == 14 ? Kind::VectorUInt
                                            : Kind::VectorDouble;
            m_doc[id].boolean = m_in.u8() != 0;
            if (!fits(count, width, "vector"))
                break;
            auto& numbers = m_doc[id].numbers;
            numbers.reserve(count);
            for (std::uint32_t i = 0; i < count; ++i) {
                if (marker == 13)
                    numbers.push_back(static_cast<std::int32_t>(m_in.u32()));
                else if (marker == 14)
                    numbers.push_back(m_in.u32());
                else
                    numbers.push_back(m_in.f64());
            }
            break;
        }
        case 16: {
            m_doc[id].kind = Kind::VectorObject;
            m_doc[id].boolean = m_in.u8() != 0;
            m_doc[id].text = amf3String();
            readAmf3Elements(id, count, "vector");
            break;
        }
        case 17: {
            m_doc[id].kind = Kind::Dictionary;
            m_doc[id].boolean = m_in.u8() != 0;
            if (!fits(count, 2, "dictionary"))
                break;
            for (std::uint32_t i = 0; i < count && !m_failed; ++i) {
                const NodeId key = readAmf3Value();
                const NodeId value = readAmf3Value();
                m_doc[id].entries.emplace_back(key, value);
            }
            break;
        }
        default:
            fail(ErrorCode::Unsupported, "AMF 3 marker " + std::to_string(marker));
            break;
        }
        return leave(id);
    }
    }
    return leave(m_doc.add(std::move(node)));
}

} // namespace

swf::Result<NodeId> readAmf0(Document& doc, BigEndianReader& in, const ReadOptions& options)
{
    return Reader(doc, in, options).amf0();
}

swf::Result<NodeId> readAmf3(Document& doc, BigEndianReader& in, const ReadOptions& options)
{
    return Reader(doc, in, options).amf3();
}

} // namespace script::amf
