#include "AmfBridge.h"

#include "ArrayObject.h"
#include "ClassRegistry.h"
#include "XmlNode.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "script/amf/AmfCodec.h"

#include <string>
#include <unordered_map>

namespace avm1 {

namespace {

using script::amf::Document;
using script::amf::Kind;
using script::amf::Node;
using script::amf::NodeId;

class ToAmf {
public:
    ToAmf(Vm& vm, Document& doc) : m_vm(vm), m_doc(doc) {}

    bool failed() const
    {
        return m_failed || m_vm.throwing() || m_vm.aborted() || m_bytes > limits::kMaxStringBytes;
    }

    NodeId value(Value v)
    {
        if (failed())
            return 0;
        switch (v.type()) {
        case Value::Type::Undefined:
            return 0; // node 0 is undefined
        case Value::Type::Null:
            return add({.kind = Kind::Null});
        case Value::Type::Boolean:
            return add({.kind = Kind::Boolean, .boolean = v.asBoolean()});
        case Value::Type::Number:
            return add({.kind = Kind::Number, .number = v.asNumber()});
        case Value::Type::String:
            return add({.kind = Kind::String, .text = std::string(v.asString()->view())});
        case Value::Type::Object:
            return object(v.asObject());
        }
        return 0;
    }

private:
    NodeId add(Node node)
    {
        // What the node costs the encoding at the least: a marker and its text.
        m_bytes += 1 + node.text.size();
        return m_doc.add(std::move(node));
    }

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

    NodeId object(Object* o)
    {
        // Functions and clips have no form: they stand as undefined where met.
        if (o->isFunction() || asClip(o))
            return 0;
        if (const auto seen = m_seen.find(o); seen != m_seen.end())
            return seen->second;
        if (o->objectClass() == ObjectClass::Date) {
            const double time = m_vm.toNumber(Value(o));
            return remember(o, add({.kind = Kind::Date, .number = time}));
        }
        if (XmlNode* node = xmlNodeOf(o); node && node->isDocument())
            return remember(o, add({.kind = Kind::XmlDocument, .text = serializeXml(m_vm, node)}));
        if (++m_depth > limits::kMaxSerializedNesting) {
            m_failed = true;
            return 0;
        }
        NodeId id = 0;
        if (asArrayObject(o)) {
            id = add({.kind = Kind::Array});
        } else if (const std::string* alias = aliasOf(o)) {
            id = add({.kind = Kind::Object, .text = *alias});
        } else {
            id = add({.kind = Kind::Object});
        }
        remember(o, id);
        properties(o, id);
        --m_depth;
        return id;
    }

    NodeId remember(Object* o, NodeId id)
    {
        m_seen.emplace(o, id);
        return id;
    }

    // The enumerable properties in the order they were made, functions left out; an
    // array's indexes among them, as names.
    void properties(Object* o, NodeId id)
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
            const NodeId value = this->value(member);
            m_bytes += 2 + key->size();
            m_doc[id].members.push_back({std::string(key->view()), value});
        }
    }

    Vm& m_vm;
    Document& m_doc;
    std::unordered_map<Object*, NodeId> m_seen;
    std::size_t m_bytes = 0;
    int m_depth = 0;
    bool m_failed = false;
};

class FromAmf {
public:
    FromAmf(Vm& vm, const Document& doc, AmfSource source) : m_vm(vm), m_doc(doc), m_source(source)
    {}

    Value value(NodeId id)
    {
        if (id >= m_doc.size() || m_vm.throwing())
            return Value();
        const Node& node = m_doc[id];
        switch (node.kind) {
        case Kind::Null:
            return Value::null();
        case Kind::Boolean:
            return Value(node.boolean);
        case Kind::Integer:
        case Kind::Number:
            return Value(node.number);
        case Kind::String:
            return m_vm.strValue(node.text);
        case Kind::Date:
            return construct("Date", Value(node.number));
        case Kind::XmlDocument:
        case Kind::Xml:
            if (m_source == AmfSource::Stream)
                return m_vm.strValue(node.text);
            return construct("XML", m_vm.strValue(node.text));
        case Kind::Object:
        case Kind::Array:
            return object(id, node);
        default:
            // AMF 3's own kinds have no ActionScript 2 form.
            return Value();
        }
    }

private:
    Value construct(const char* className, Value arg)
    {
        const Value ctor = m_vm.getMember(m_vm.global(), m_vm.str(className));
        return m_vm.construct(ctor, std::span<const Value>(&arg, 1));
    }

    Object* prototypeOf(const Node& node)
    {
        if (node.text.empty() || m_source == AmfSource::Stream)
            return nullptr;
        Object* ctor = registeredClasses(m_vm).find(node.text, CaseRule::Sensitive);
        return ctor ? m_vm.getMember(ctor, m_vm.names().prototype).objectOrNull() : nullptr;
    }

    Value object(NodeId id, const Node& node)
    {
        if (const auto made = m_made.find(id); made != m_made.end())
            return Value(made->second);
        Object* o = nullptr;
        if (node.kind == Kind::Array) {
            o = m_vm.makeArray();
        } else {
            Object* proto = prototypeOf(node);
            o = proto ? m_vm.makeObject(proto) : m_vm.makeObject();
        }
        // Made before its contents, which may refer back to it.
        m_made.emplace(id, o);
        if (++m_depth > limits::kMaxSerializedNesting) {
            --m_depth;
            return Value(o);
        }
        for (std::size_t i = 0; i < node.elements.size() && !m_vm.throwing(); ++i) {
            if (i >= limits::kMaxDenseArrayLength)
                break;
            m_vm.setMember(o, indexName(m_vm, static_cast<std::int64_t>(i)),
                           value(node.elements[i]));
        }
        for (const script::amf::Member& m : node.members) {
            if (m_vm.throwing())
                break;
            const Value member = value(m.value);
            if (o->properties().size() < limits::kMaxPropertiesPerObject)
                m_vm.setMember(o, m_vm.str(m.name), member);
        }
        --m_depth;
        return Value(o);
    }

    Vm& m_vm;
    const Document& m_doc;
    AmfSource m_source;
    std::unordered_map<NodeId, Object*> m_made;
    int m_depth = 0;
};

} // namespace

std::optional<NodeId> toAmf(Vm& vm, Value value, Document& doc)
{
    ToAmf writer(vm, doc);
    const NodeId id = writer.value(value);
    if (writer.failed())
        return std::nullopt;
    return id;
}

Value fromAmf(Vm& vm, const Document& doc, NodeId id, AmfSource source)
{
    return FromAmf(vm, doc, source).value(id);
}

std::optional<std::vector<std::uint8_t>> encodeAmf0(Vm& vm, Value value)
{
    Document doc;
    const auto root = toAmf(vm, value, doc);
    if (!root)
        return std::nullopt;
    script::BigEndianWriter out;
    if (!script::amf::writeAmf0(doc, *root, out).ok() ||
        out.data().size() > limits::kMaxStringBytes)
        return std::nullopt;
    return out.take();
}

Value decodeAmf0(Vm& vm, std::span<const std::uint8_t> bytes, std::size_t* used)
{
    Document doc;
    script::BigEndianReader in(bytes);
    NodeId partial = 0;
    const auto root = script::amf::readAmf0(doc, in, {.partial = &partial});
    if (used)
        *used = root ? in.position() : bytes.size();
    return fromAmf(vm, doc, root ? *root : partial, AmfSource::Player);
}

Value copyThroughAmf0(Vm& vm, Value value)
{
    const auto bytes = encodeAmf0(vm, value);
    return bytes ? decodeAmf0(vm, *bytes) : Value();
}

} // namespace avm1
