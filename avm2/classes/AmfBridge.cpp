#include "AmfBridge.h"

#include "ByteArrayText.h"
#include "DictionaryObject.h"
#include "Native.h"
#include "avm2/vm/Operations.h"
#include "script/Limits.h"
#include "script/amf/AmfCodec.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace avm2 {

using namespace native;
namespace amf = script::amf;

namespace {

// The alias table: a plain object of alias -> class, and one of class name -> alias,
// kept in the machine's class state so the classes stay alive.
Object* aliasTable(Vm& vm, std::string_view which)
{
    Value& v = vm.classState(which);
    if (!v.isObject())
        v = Value(vm.newObject());
    return v.asObject();
}

} // namespace

ClassObject* classByAlias(Vm& vm, std::u16string_view alias)
{
    const Value* v = aliasTable(vm, "amf.aliases")->dynamic().find(vm.intern(alias));
    return v && v->isObject() ? static_cast<ClassObject*>(v->asObject()) : nullptr;
}

String* aliasOfClass(Vm& vm, ClassObject* cls)
{
    if (!cls || !cls->qualifiedName)
        return nullptr;
    const Value* v =
        aliasTable(vm, "amf.classes")->dynamic().find(vm.internValue(cls->qualifiedName));
    return v && v->isString() ? v->asString() : nullptr;
}

namespace {

// Writing ------------------------------------------------------------------------------

class Writer {
public:
    explicit Writer(Vm& vm) : m_vm(vm) {}
    amf::Document doc;

    amf::NodeId add(const Value& v, std::size_t depth)
    {
        if (depth > script::limits::kMaxAmfNesting) {
            m_vm.throwError(ErrorType::Error, 1023);
            return 0;
        }
        amf::Node n;
        switch (v.type()) {
        case Value::Type::Undefined:
            return 0;
        case Value::Type::Null:
            n.kind = amf::Kind::Null;
            return doc.add(std::move(n));
        case Value::Type::Boolean:
            n.kind = amf::Kind::Boolean;
            n.boolean = v.asBoolean();
            return doc.add(std::move(n));
        case Value::Type::Int:
        case Value::Type::Number: {
            const double d = v.asNumber();
            // AMF 3's integer holds 29 bits: an integral value in range goes as one
            // whatever its type (0.5 + 0.5 too); others, and -0, are doubles.
            const bool small = d >= -268435456.0 && d <= 268435455.0 && d == std::trunc(d) &&
                               !(d == 0 && std::signbit(d));
            n.kind = small ? amf::Kind::Integer : amf::Kind::Number;
            n.number = d;
            return doc.add(std::move(n));
        }
        case Value::Type::String:
            n.kind = amf::Kind::String;
            n.text = encodeUtf8(v.asString()->view());
            return doc.add(std::move(n));
        default:
            break;
        }
        Object* o = v.asObject();
        if (auto it = m_seen.find(o); it != m_seen.end())
            return it->second;
        if (m_vm.isCallable(v))
            return 0; // functions are not serialized: they read back as undefined
        const amf::NodeId id = doc.add(amf::Node{});
        m_seen.emplace(o, id);
        amf::Node built = build(o, depth);
        doc[id] = std::move(built);
        return id;
    }

private:
    amf::Node build(Object* o, std::size_t depth)
    {
        amf::Node n;
        switch (o->kind()) {
        case ObjectKind::ByteArray:
            n.kind = amf::Kind::ByteArray;
            n.bytes = static_cast<ByteArrayObject*>(o)->bytes;
            return n;
        case ObjectKind::Array: {
            auto* a = static_cast<ArrayObject*>(o);
            n.kind = amf::Kind::Array;
            for (std::uint32_t i = 0; i < a->length() && !m_vm.throwing(); ++i) {
                if (n.elements.size() >= script::limits::kMaxAmfValues) {
                    m_vm.throwError(ErrorType::RangeError, 1506);
                    break;
                }
                // Functions are left out, and the elements after them close up.
                if (m_vm.isCallable(a->get(i)))
                    continue;
                const amf::NodeId e = add(a->get(i), depth + 1);
                n.elements.push_back(e);
            }
            addDynamic(n, o, depth);
            return n;
        }
        case ObjectKind::Dictionary: {
            auto* d = static_cast<DictionaryObject*>(o);
            n.kind = amf::Kind::Dictionary;
            n.boolean = d->weakKeys;
            for (const auto& e : d->entries()) {
                if (!e.key)
                    continue;
                const amf::NodeId k = add(Value(e.key), depth + 1);
                const amf::NodeId val = add(e.value, depth + 1);
                n.entries.emplace_back(k, val);
            }
            for (const auto& e : o->dynamic().entries()) {
                if (!e.key || !e.enumerable)
                    continue;
                const amf::NodeId k = add(Value(e.key), depth + 1);
                const amf::NodeId val = add(e.value, depth + 1);
                n.entries.emplace_back(k, val);
            }
            return n;
        }
        default:
            break;
        }
        n.kind = amf::Kind::Object;
        ClassObject* cls = o->classObject();
        if (String* alias = aliasOfClass(m_vm, cls))
            n.text = encodeUtf8(alias->view());
        n.dynamic = o->isDynamic();
        // A class's public variables and read-write properties are its sealed members.
        if (cls && cls != m_vm.builtins().object)
            addSealed(n, o, depth);
        if (n.dynamic)
            addDynamic(n, o, depth);
        return n;
    }

    void addSealed(amf::Node& n, Object* o, std::size_t depth)
    {
        const Traits* t = o->traits();
        std::vector<std::pair<String*, Value>> members;
        for (std::uint32_t i = 0; i < t->slots.size(); ++i) {
            String* name = t->slots[i].name;
            const Binding* b = name ? t->findQualified(name, m_vm.publicNs()) : nullptr;
            if (b && b->kind == Binding::Kind::Slot && b->index == i)
                members.emplace_back(name, o->slot(i));
        }
        std::vector<String*> accessors;
        for (const auto& [name, entries] : t->names)
            for (const auto& e : entries)
                if (e.ns == m_vm.publicNs() && e.binding.kind == Binding::Kind::Accessor &&
                    e.binding.getter != Binding::kNone && e.binding.setter != Binding::kNone)
                    accessors.push_back(const_cast<String*>(name));
        std::sort(accessors.begin(), accessors.end(),
                  [](String* a, String* b) { return a->view() < b->view(); });
        for (String* name : accessors) {
            Value v = m_vm.getProperty(Value(o), m_vm.publicName(name));
            if (m_vm.throwing())
                return;
            members.emplace_back(name, v);
        }
        for (auto& [name, v] : members) {
            const amf::NodeId id = add(v, depth + 1);
            if (m_vm.throwing())
                return;
            n.members.push_back(amf::Member{encodeUtf8(name->view()), id});
        }
        n.sealedCount = n.members.size();
    }

    void addDynamic(amf::Node& n, Object* o, std::size_t depth)
    {
        for (const auto& e : o->dynamic().entries()) {
            if (!e.key || !e.enumerable || m_vm.throwing())
                continue;
            // Functions are left out of objects.
            if (m_vm.isCallable(e.value))
                continue;
            const amf::NodeId id = add(e.value, depth + 1);
            n.members.push_back(amf::Member{encodeUtf8(e.key->view()), id});
        }
    }

    Vm& m_vm;
    std::unordered_map<Object*, amf::NodeId> m_seen;
};

// Reading ------------------------------------------------------------------------------

class Reader {
public:
    Reader(Vm& vm, const amf::Document& doc) : m_vm(vm), m_doc(doc) {}

    Value get(amf::NodeId id, std::size_t depth)
    {
        if (auto it = m_made.find(id); it != m_made.end())
            return it->second;
        if (depth > script::limits::kMaxAmfNesting)
            return m_vm.throwError(ErrorType::Error, 1023);
        const amf::Node& n = m_doc[id];
        switch (n.kind) {
        case amf::Kind::Undefined:
            return Value();
        case amf::Kind::Null:
            return Value::null();
        case amf::Kind::Boolean:
            return Value(n.boolean);
        case amf::Kind::Integer:
        case amf::Kind::Number:
        case amf::Kind::Date:
            return Value::number(n.number);
        case amf::Kind::String:
        case amf::Kind::Xml:
        case amf::Kind::XmlDocument:
            return Value(m_vm.newString(utf16(n.text)));
        case amf::Kind::ByteArray: {
            ByteArrayObject* b = newByteArray(m_vm);
            if (!b)
                return Value();
            b->bytes = n.bytes;
            m_made.emplace(id, Value(b));
            return Value(b);
        }
        case amf::Kind::Array: {
            ArrayObject* a = m_vm.newArray();
            m_made.emplace(id, Value(a));
            for (amf::NodeId e : n.elements) {
                Value v = get(e, depth + 1);
                if (m_vm.throwing())
                    return Value();
                a->push(v);
            }
            setMembers(Value(a), n, 0, depth);
            return Value(a);
        }
        case amf::Kind::Dictionary: {
            Value cls = m_vm.getDefinitionByName(u"flash.utils::Dictionary");
            Value made = m_vm.construct(cls, {});
            if (m_vm.throwing())
                return Value();
            m_made.emplace(id, made);
            for (const auto& [k, val] : n.entries) {
                Value key = get(k, depth + 1);
                Value value = get(val, depth + 1);
                if (m_vm.throwing())
                    return Value();
                auto* d = static_cast<DictionaryObject*>(made.asObject());
                if (key.isObject())
                    d->set(key.asObject(), value);
                else
                    m_vm.setProperty(made, m_vm.publicName(m_vm.internValue(m_vm.toString(key))),
                                     value);
            }
            return made;
        }
        case amf::Kind::VectorInt:
        case amf::Kind::VectorUInt:
        case amf::Kind::VectorDouble:
        case amf::Kind::VectorObject: {
            // Vectors read back as arrays of their elements until Vector is built.
            ArrayObject* a = m_vm.newArray();
            m_made.emplace(id, Value(a));
            for (double d : n.numbers)
                a->push(Value::number(d));
            for (amf::NodeId e : n.elements) {
                Value v = get(e, depth + 1);
                if (m_vm.throwing())
                    return Value();
                a->push(v);
            }
            return Value(a);
        }
        case amf::Kind::Object:
            return object(id, n, depth);
        }
        return Value();
    }

private:
    Value object(amf::NodeId id, const amf::Node& n, std::size_t depth)
    {
        Value made;
        ClassObject* cls = n.text.empty() ? nullptr : classByAlias(m_vm, utf16(n.text));
        if (cls)
            made = m_vm.construct(Value(cls), {});
        else
            made = Value(m_vm.newObject());
        if (m_vm.throwing())
            return Value();
        m_made.emplace(id, made);
        setMembers(made, n, 0, depth);
        return made;
    }

    void setMembers(const Value& target, const amf::Node& n, std::size_t from, std::size_t depth)
    {
        for (std::size_t i = from; i < n.members.size(); ++i) {
            Value v = get(n.members[i].value, depth + 1);
            if (m_vm.throwing())
                return;
            String* key = m_vm.intern(utf16(n.members[i].name));
            m_vm.setProperty(target, m_vm.publicName(key), v);
            // A member the object refuses (a missing or throwing setter) is reported
            // and skipped, and reading goes on.
            if (m_vm.throwing() && !isUncatchable(m_vm, m_vm.exception()))
                m_vm.printUncaught(m_vm.takeException());
            if (m_vm.throwing())
                return;
        }
    }

    Vm& m_vm;
    const amf::Document& m_doc;
    std::unordered_map<amf::NodeId, Value> m_made;
};

} // namespace

Value readAmfValue(Vm& vm, ByteArrayObject& bytes)
{
    if (bytes.available() == 0)
        return throwNamedError(vm, u"flash.errors::EOFError", 2030,
                               u"End of file was encountered.");
    amf::Document doc;
    script::BigEndianReader in(std::span(bytes.bytes).subspan(bytes.position));
    auto root = bytes.objectEncoding == 0 ? amf::readAmf0(doc, in) : amf::readAmf3(doc, in);
    if (!root.ok())
        return throwNamedError(vm, u"flash.errors::EOFError", 2030,
                               u"End of file was encountered.");
    bytes.position += static_cast<std::uint32_t>(in.position());
    Reader reader(vm, doc);
    return reader.get(root.value(), 0);
}

void writeAmfValue(Vm& vm, ByteArrayObject& bytes, const Value& value)
{
    Writer writer(vm);
    const amf::NodeId root = writer.add(value, 0);
    if (vm.throwing())
        return;
    script::BigEndianWriter out;
    const auto status = bytes.objectEncoding == 0 ? amf::writeAmf0(writer.doc, root, out)
                                                  : amf::writeAmf3(writer.doc, root, out);
    if (!status.ok()) {
        vm.throwError(ErrorType::RangeError, 1506);
        return;
    }
    if (!bytes.write(out.data().data(), out.data().size()))
        vm.throwError(ErrorType::RangeError, 1506);
}

// flash.net's alias functions ----------------------------------------------------------

namespace {

Value registerClassAlias(Vm& vm, const Value&, Args args)
{
    if (arg(args, 0).isNullish())
        return vm.throwError(ErrorType::TypeError, 2007, {u"aliasName"});
    if (arg(args, 1).isNullish())
        return vm.throwError(ErrorType::TypeError, 2007, {u"classObject"});
    const Value cls = arg(args, 1);
    if (!cls.isObject() || cls.asObject()->kind() != ObjectKind::Class)
        return vm.throwError(ErrorType::TypeError, 1034, {vm.describeForError(cls), u"Class"});
    String* alias = vm.internValue(vm.toString(arg(args, 0)));
    auto* c = static_cast<ClassObject*>(cls.asObject());
    aliasTable(vm, "amf.aliases")->dynamic().set(alias, cls);
    if (c->qualifiedName)
        aliasTable(vm, "amf.classes")
            ->dynamic()
            .set(vm.internValue(c->qualifiedName), Value(alias));
    return Value();
}

Value getClassByAlias(Vm& vm, const Value&, Args args)
{
    if (arg(args, 0).isNullish())
        return vm.throwError(ErrorType::TypeError, 2007, {u"aliasName"});
    const std::u16string alias = vm.toText(arg(args, 0));
    if (ClassObject* c = classByAlias(vm, alias))
        return Value(c);
    return vm.throwError(ErrorType::ReferenceError, 1014, {alias});
}

} // namespace

void defineClassAliasFunctions(Vm& vm)
{
    ClassObject* encoding =
        vm.defineClass("flash.net", "ObjectEncoding", vm.builtins().object, false, {}, true);
    vm.defineConstant(encoding, "AMF0", Value(0));
    vm.defineConstant(encoding, "AMF3", Value(3));
    vm.defineConstant(encoding, "DEFAULT", Value(3));
    vm.defineGlobalFunction("flash.net", "registerClassAlias", registerClassAlias, 2);
    vm.defineGlobalFunction("flash.net", "getClassByAlias", getClassByAlias, 1);
}

} // namespace avm2
