#pragma once

// Values in the Action Message Format, versions 0 and 3, as a graph both virtual
// machines turn into their own objects: nodes in one arena, children named by index,
// so that a reference to an object read earlier (and a cycle through it) is the same
// node again. Each VM keeps a small bridge from nodes to its values and back.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace script::amf {

using NodeId = std::uint32_t;

enum class Kind : std::uint8_t {
    Undefined,
    Null,
    Boolean,
    Integer, // AMF 3's 29-bit integer
    Number,
    String,
    Date,        // `number` milliseconds since 1970; AMF 0 adds a time zone
    XmlDocument, // the legacy XML document (AMF 0 marker 15, AMF 3 marker 7)
    Xml,         // AMF 3's E4X XML
    Object,      // anonymous, typed (`text` holds the class name) or dynamic
    Array,       // AMF 0's ECMA and strict arrays and AMF 3's array: dense and named parts
    ByteArray,
    VectorInt,
    VectorUInt,
    VectorDouble,
    VectorObject, // `text` holds the element type's name
    Dictionary,
};

struct Member {
    std::string name = {};
    NodeId value = 0;
};

struct Node {
    Kind kind = Kind::Undefined;
    bool boolean = false;      // Boolean; a vector's fixed flag; a dictionary's weak keys
    double number = 0;         // Number, Date, Integer (as a double)
    std::int16_t timezone = 0; // AMF 0 dates, in minutes
    std::string text = {};     // String, Xml, XmlDocument, a class or element type name
    // Objects: sealed members first (`sealedCount` of them), then dynamic ones. Arrays:
    // the named part. AMF 0 objects have only dynamic members.
    std::vector<Member> members = {};
    std::size_t sealedCount = 0;
    bool dynamic = true;                  // an AMF 3 object's class is dynamic
    std::vector<NodeId> elements = {};    // an array's dense part; VectorObject's elements
    std::vector<double> numbers = {};     // VectorInt, VectorUInt, VectorDouble
    std::vector<std::uint8_t> bytes = {}; // ByteArray
    std::vector<std::pair<NodeId, NodeId>> entries = {}; // Dictionary: key, value
    bool strictArray = false; // AMF 0: written as a strict array, not an ECMA one
};

// The first member of `node` called `name`, or null.
inline const Member* findMember(const Node& node, std::string_view name)
{
    for (const Member& m : node.members)
        if (m.name == name)
            return &m;
    return nullptr;
}

// The arena. Node 0 always exists and is undefined, so that a default NodeId is one.
class Document {
public:
    Document() : m_nodes(1) {}

    NodeId add(Node node)
    {
        m_nodes.push_back(std::move(node));
        return static_cast<NodeId>(m_nodes.size() - 1);
    }
    Node& operator[](NodeId id) { return m_nodes[id]; }
    const Node& operator[](NodeId id) const { return m_nodes[id]; }
    std::size_t size() const { return m_nodes.size(); }

private:
    std::vector<Node> m_nodes;
};

} // namespace script::amf
