// Writing a Document's values as AMF 0 or AMF 3.
#include "AmfCodec.h"
#include "script/Limits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace script::amf {

namespace {

using swf::ErrorCode;

constexpr double kMinInt29 = -(1 << 28);
constexpr double kMaxInt29 = (1 << 28) - 1;
// AMF 3 lengths and indices are 28 bits, after the inline flag.
constexpr std::size_t kMaxAmf3Length = (1u << 28) - 1;

class Writer {
public:
    Writer(const Document& doc, BigEndianWriter& out) : m_doc(doc), m_out(out) {}

    swf::Status amf0(NodeId root)
    {
        writeAmf0Value(root);
        return m_failed ? swf::Status(m_error) : swf::Status(swf::Ok{});
    }
    swf::Status amf3(NodeId root)
    {
        writeAmf3Value(root);
        return m_failed ? swf::Status(m_error) : swf::Status(swf::Ok{});
    }

private:
    void fail(ErrorCode code, std::string detail)
    {
        if (!m_failed) {
            m_failed = true;
            m_error = swf::makeError(code, "AMF " + std::move(detail));
        }
    }
    bool enter(NodeId id)
    {
        if (m_failed)
            return false;
        if (id >= m_doc.size()) {
            fail(ErrorCode::BadReference, "node " + std::to_string(id));
            return false;
        }
        if (m_depth >= limits::kMaxAmfNesting) {
            fail(ErrorCode::TooDeep, "nesting");
            return false;
        }
        ++m_depth;
        return true;
    }

    void writeAmf0Value(NodeId id);
    void writeAmf0Text(const std::string& text);
    void writeAmf0Members(const std::vector<Member>& members);
    void writeAmf3Value(NodeId id);
    void u29(std::uint32_t value);
    void amf3String(const std::string& text);
    // For a node met before: its reference, written; true when it was.
    bool amf3Reference(NodeId id);

    const Document& m_doc;
    BigEndianWriter& m_out;
    std::size_t m_depth = 0;
    bool m_failed = false;
    swf::Error m_error;
    std::map<NodeId, std::uint16_t> m_amf0Objects;
    std::map<std::string, std::uint32_t> m_strings;
    std::map<NodeId, std::uint32_t> m_objects;
    std::map<std::tuple<std::string, bool, std::vector<std::string>>, std::uint32_t> m_traits;
};

void Writer::writeAmf0Text(const std::string& text)
{
    // A class name past what the 16-bit length can say is cut (member names that long
    // are left out before they get here).
    const std::string_view cut = std::string_view(text).substr(0, 0xFFFF);
    m_out.u16(static_cast<std::uint16_t>(cut.size()));
    m_out.text(std::string(cut));
}

void Writer::writeAmf0Members(const std::vector<Member>& members)
{
    for (const Member& m : members) {
        if (m.name.empty() || m.name.size() > 0xFFFF)
            continue; // no AMF 0 name can hold it: an empty one would end the object
        writeAmf0Text(m.name);
        writeAmf0Value(m.value);
    }
    m_out.u16(0);
    m_out.u8(9);
}

void Writer::writeAmf0Value(NodeId id)
{
    if (!enter(id))
        return;
    const Node& node = m_doc[id];
    const bool referable = node.kind == Kind::Object || node.kind == Kind::Array;
    if (referable) {
        if (const auto seen = m_amf0Objects.find(id); seen != m_amf0Objects.end()) {
            m_out.u8(7);
            m_out.u16(seen->second);
            --m_depth;
            return;
        }
        // References are 16 bits: later objects are written again in full.
        if (m_amf0Objects.size() < 0xFFFF)
            m_amf0Objects.emplace(id, static_cast<std::uint16_t>(m_amf0Objects.size()));
    }
    switch (node.kind) {
    case Kind::Undefined:
        m_out.u8(6);
        break;
    case Kind::Null:
        m_out.u8(5);
        break;
    case Kind::Boolean:
        m_out.u8(1);
        m_out.u8(node.boolean ? 1 : 0);
        break;
    case Kind::Integer:
    case Kind::Number:
        m_out.u8(0);
        m_out.f64(node.number);
        break;
    case Kind::String:
        if (node.text.size() <= 0xFFFF) {
            m_out.u8(2);
            writeAmf0Text(node.text);
        } else {
            m_out.u8(12);
            m_out.u32(static_cast<std::uint32_t>(node.text.size()));
            m_out.text(node.text);
        }
        break;
    case Kind::Date:
        m_out.u8(11);
        m_out.f64(node.number);
        m_out.u16(static_cast<std::uint16_t>(node.timezone));
        break;
    case Kind::XmlDocument:
    case Kind::Xml:
        m_out.u8(15);
        m_out.u32(static_cast<std::uint32_t>(node.text.size()));
        m_out.text(node.text);
        break;
    case Kind::Object:
        if (node.text.empty()) {
            m_out.u8(3);
        } else {
            m_out.u8(16);
            writeAmf0Text(node.text);
        }
        writeAmf0Members(node.members);
        break;
    case Kind::Array:
        if (node.strictArray && node.members.empty()) {
            m_out.u8(10);
            m_out.u32(static_cast<std::uint32_t>(node.elements.size()));
            for (NodeId e : node.elements)
                writeAmf0Value(e);
        } else {
            // An ECMA array: the dense part by index names, then the named part.
            m_out.u8(8);
            m_out.u32(static_cast<std::uint32_t>(node.elements.size() + node.members.size()));
            for (std::size_t i = 0; i < node.elements.size(); ++i) {
                writeAmf0Text(std::to_string(i));
                writeAmf0Value(node.elements[i]);
            }
            writeAmf0Members(node.members);
        }
        break;
    case Kind::ByteArray:
    case Kind::VectorInt:
    case Kind::VectorUInt:
    case Kind::VectorDouble:
    case Kind::VectorObject:
    case Kind::Dictionary: {
        // AMF 0 has no form for these: they go as AMF 3, behind the switch marker.
        m_out.u8(17);
        Writer inner(m_doc, m_out);
        inner.m_depth = m_depth - 1;
        inner.writeAmf3Value(id);
        if (inner.m_failed)
            fail(inner.m_error.code, inner.m_error.detail);
        break;
    }
    }
    --m_depth;
}

void Writer::u29(std::uint32_t value)
{
    value &= 0x1FFFFFFF;
    if (value < 0x80) {
        m_out.u8(static_cast<std::uint8_t>(value));
    } else if (value < 0x4000) {
        m_out.u8(static_cast<std::uint8_t>((value >> 7) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(value & 0x7F));
    } else if (value < 0x200000) {
        m_out.u8(static_cast<std::uint8_t>((value >> 14) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(((value >> 7) & 0x7F) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(value & 0x7F));
    } else {
        m_out.u8(static_cast<std::uint8_t>((value >> 22) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(((value >> 15) & 0x7F) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(((value >> 8) & 0x7F) | 0x80));
        m_out.u8(static_cast<std::uint8_t>(value & 0xFF));
    }
}

void Writer::amf3String(const std::string& text)
{
    if (text.empty()) {
        u29(1);
        return;
    }
    if (const auto seen = m_strings.find(text); seen != m_strings.end()) {
        u29(seen->second << 1);
        return;
    }
    if (text.size() > kMaxAmf3Length) {
        fail(ErrorCode::TooLarge, "string");
        return;
    }
    m_strings.emplace(text, static_cast<std::uint32_t>(m_strings.size()));
    u29(static_cast<std::uint32_t>(text.size() << 1) | 1);
    m_out.text(text);
}

bool Writer::amf3Reference(NodeId id)
{
    if (const auto seen = m_objects.find(id); seen != m_objects.end()) {
        u29(seen->second << 1);
        return true;
    }
    m_objects.emplace(id, static_cast<std::uint32_t>(m_objects.size()));
    return false;
}

void Writer::writeAmf3Value(NodeId id)
{
    if (!enter(id))
        return;
    const Node& node = m_doc[id];
    auto inlineCount = [&](std::size_t n) {
        if (n > kMaxAmf3Length)
            fail(ErrorCode::TooLarge, "length");
        u29(static_cast<std::uint32_t>(n << 1) | 1);
    };
    switch (node.kind) {
    case Kind::Undefined:
        m_out.u8(0);
        break;
    case Kind::Null:
        m_out.u8(1);
        break;
    case Kind::Boolean:
        m_out.u8(node.boolean ? 3 : 2);
        break;
    case Kind::Integer:
        if (node.number >= kMinInt29 && node.number <= kMaxInt29 &&
            node.number == std::trunc(node.number)) {
            m_out.u8(4);
            u29(static_cast<std::uint32_t>(static_cast<std::int32_t>(node.number)));
            break;
        }
        [[fallthrough]]; // an int beyond 29 bits goes as a double
    case Kind::Number:
        m_out.u8(5);
        m_out.f64(node.number);
        break;
    case Kind::String:
        m_out.u8(6);
        amf3String(node.text);
        break;
    case Kind::XmlDocument:
    case Kind::Xml:
        m_out.u8(node.kind == Kind::XmlDocument ? 7 : 11);
        if (!amf3Reference(id)) {
            inlineCount(node.text.size());
            m_out.text(node.text);
        }
        break;
    case Kind::Date:
        m_out.u8(8);
        if (!amf3Reference(id)) {
            u29(1);
            m_out.f64(node.number);
        }
        break;
    case Kind::ByteArray:
        m_out.u8(12);
        if (!amf3Reference(id)) {
            inlineCount(node.bytes.size());
            m_out.bytes(node.bytes);
        }
        break;
    case Kind::Array:
        m_out.u8(9);
        if (!amf3Reference(id)) {
            inlineCount(node.elements.size());
            for (const Member& m : node.members) {
                if (m.name.empty())
                    continue; // the empty name ends the named part
                amf3String(m.name);
                writeAmf3Value(m.value);
            }
            u29(1);
            for (NodeId e : node.elements)
                writeAmf3Value(e);
        }
        break;
    case Kind::Object: {
        m_out.u8(10);
        if (amf3Reference(id))
            break;
        const std::size_t sealed = std::min(node.sealedCount, node.members.size());
        std::vector<std::string> sealedNames;
        for (std::size_t i = 0; i < sealed; ++i)
            sealedNames.push_back(node.members[i].name);
        auto key = std::make_tuple(node.text, node.dynamic, sealedNames);
        if (const auto seen = m_traits.find(key); seen != m_traits.end()) {
            u29((seen->second << 2) | 1);
        } else {
            m_traits.emplace(std::move(key), static_cast<std::uint32_t>(m_traits.size()));
            u29(static_cast<std::uint32_t>(sealed << 4) | (node.dynamic ? 8u : 0u) | 3u);
            amf3String(node.text);
            for (const std::string& name : sealedNames)
                amf3String(name);
        }
        for (std::size_t i = 0; i < sealed; ++i)
            writeAmf3Value(node.members[i].value);
        if (node.dynamic) {
            for (std::size_t i = sealed; i < node.members.size(); ++i) {
                if (node.members[i].name.empty())
                    continue;
                amf3String(node.members[i].name);
                writeAmf3Value(node.members[i].value);
            }
            u29(1);
        }
        break;
    }
    case Kind::VectorInt:
    case Kind::VectorUInt:
    case Kind::VectorDouble:
        m_out.u8(node.kind == Kind::VectorInt ? 13 : node.kind == Kind::VectorUInt ? 14 : 15);
        if (!amf3Reference(id)) {
            inlineCount(node.numbers.size());
            m_out.u8(node.boolean ? 1 : 0);
            for (double v : node.numbers) {
                if (node.kind == Kind::VectorDouble)
                    m_out.f64(v);
                else if (node.kind == Kind::VectorInt)
                    m_out.u32(static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
                else
                    m_out.u32(static_cast<std::uint32_t>(v));
            }
        }
        break;
    case Kind::VectorObject:
        m_out.u8(16);
        if (!amf3Reference(id)) {
            inlineCount(node.elements.size());
            m_out.u8(node.boolean ? 1 : 0);
            amf3String(node.text);
            for (NodeId e : node.elements)
                writeAmf3Value(e);
        }
        break;
    case Kind::Dictionary:
        m_out.u8(17);
        if (!amf3Reference(id)) {
            inlineCount(node.entries.size());
            m_out.u8(node.boolean ? 1 : 0);
            for (const auto& [k, v] : node.entries) {
                writeAmf3Value(k);
                writeAmf3Value(v);
            }
        }
        break;
    }
    --m_depth;
}

} // namespace

swf::Status writeAmf0(const Document& doc, NodeId root, BigEndianWriter& out)
{
    return Writer(doc, out).amf0(root);
}

swf::Status writeAmf3(const Document& doc, NodeId root, BigEndianWriter& out)
{
    return Writer(doc, out).amf3(root);
}

} // namespace script::amf
