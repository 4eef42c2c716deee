// Namespace and QName values: what pushnamespace, run-time qualified names and E4X
// hand around.
#include "NamespaceObjects.h"
#include "Native.h"
#include "avm2/vm/Loader.h"
#include "avm2/vm/Operations.h"
#include "script/e4x/XmlParser.h"

namespace avm2 {

using namespace native;

namespace {

Object* allocateNamespace(Vm& vm, ClassObject& cls)
{
    auto* n = vm.make<NamespaceObject>(cls.instanceTraits.get(), cls.instancePrototype);
    n->ns = vm.publicNs();
    n->prefix = Value(vm.names.empty);
    return n;
}

Object* allocateQName(Vm& vm, ClassObject& cls)
{
    auto* q = vm.make<QNameObject>(cls.instanceTraits.get(), cls.instancePrototype);
    q->ns = vm.publicNs();
    q->local = vm.names.empty;
    return q;
}

String* defaultNamespaceUri(Vm& vm)
{
    return vm.defaultXmlNamespace ? vm.defaultXmlNamespace : vm.names.empty;
}

// A prefix can only be an XML name; anything else leaves it unknown.
Value prefixFrom(Vm& vm, const Value& v)
{
    if (v.isUndefined())
        return Value();
    String* text = vm.toString(v);
    return script::e4x::isXmlName(text->view(), false) ? Value(text) : Value();
}

Value constructNamespace(Vm& vm, const Value& self, Args args)
{
    auto* n = static_cast<NamespaceObject*>(self.objectOrNull());
    if (args.empty())
        return Value();
    Value uriValue = args.size() == 1 ? args[0] : args[1];
    if (args.size() == 1 && uriValue.isObject() &&
        uriValue.asObject()->kind() == ObjectKind::Namespace) {
        auto* other = static_cast<NamespaceObject*>(uriValue.asObject());
        n->ns = other->ns;
        n->prefix = other->prefix;
        return Value();
    }
    if (uriValue.isObject() && uriValue.asObject()->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(uriValue.asObject());
        n->ns = q->ns ? q->ns : vm.publicNs();
    } else if (uriValue.isObject() && uriValue.asObject()->kind() == ObjectKind::Namespace) {
        n->ns = static_cast<NamespaceObject*>(uriValue.asObject())->ns;
    } else {
        n->ns = vm.internNamespace(NsKind::Public, vm.internValue(vm.toString(uriValue)));
    }
    if (vm.throwing())
        return Value();
    const bool noUri = n->ns->uri->empty();
    if (args.size() == 1) {
        n->prefix = noUri ? Value(vm.names.empty) : Value();
        return Value();
    }
    if (noUri) {
        // The empty URI takes only the empty prefix.
        if (!args[0].isUndefined() && !vm.toString(args[0])->empty())
            return vm.throwError(ErrorType::TypeError, 1098, {vm.toText(args[0])});
        n->prefix = Value(vm.names.empty);
        return Value();
    }
    if (!args[0].isUndefined() && vm.toString(args[0])->empty())
        n->prefix = Value(vm.names.empty);
    else
        n->prefix = prefixFrom(vm, args[0]);
    return Value();
}

Value callNamespace(Vm& vm, const Value&, Args args)
{
    if (args.size() == 1 && args[0].isObject() &&
        args[0].asObject()->kind() == ObjectKind::Namespace)
        return args[0];
    return vm.construct(Value(vm.builtins().namespaceClass), args);
}

Value namespaceUri(Vm& vm, const Value& self, Args)
{
    auto* n = receiver<NamespaceObject>(vm, self, ObjectKind::Namespace, "Namespace/uri");
    return n ? Value(n->ns->uri) : Value();
}

Value namespacePrefix(Vm& vm, const Value& self, Args)
{
    auto* n = receiver<NamespaceObject>(vm, self, ObjectKind::Namespace, "Namespace/prefix");
    return n ? n->prefix : Value();
}

Value namespaceToString(Vm& vm, const Value& self, Args)
{
    auto* n =
        receiver<NamespaceObject>(vm, self, ObjectKind::Namespace, "Namespace.prototype.toString");
    return n ? Value(n->ns->uri) : Value();
}

Value constructQName(Vm& vm, const Value& self, Args args)
{
    auto* q = static_cast<QNameObject*>(self.objectOrNull());
    if (args.empty())
        return Value();
    Value localValue = args.size() == 1 ? args[0] : args[1];
    if (localValue.isObject() && localValue.asObject()->kind() == ObjectKind::QName) {
        auto* other = static_cast<QNameObject*>(localValue.asObject());
        q->local = other->local;
        if (args.size() == 1 || args[0].isUndefined()) {
            q->ns = other->ns;
            return Value();
        }
    } else {
        q->local =
            localValue.isUndefined() ? vm.names.empty : vm.internValue(vm.toString(localValue));
    }
    if (vm.throwing())
        return Value();
    if (q->local && q->local->view() == u"*")
        q->local = nullptr;
    if (args.size() < 2 || args[0].isUndefined()) {
        // No namespace given: `*` is in every namespace, other names in the default one.
        q->ns = q->local ? vm.internNamespace(NsKind::Public, defaultNamespaceUri(vm)) : nullptr;
        return Value();
    }
    q->ns = args[0].isNull() ? nullptr : namespaceOf(vm, args[0]);
    return Value();
}

Value callQName(Vm& vm, const Value&, Args args)
{
    if (args.size() == 1 && args[0].isObject() && args[0].asObject()->kind() == ObjectKind::QName)
        return args[0];
    return vm.construct(Value(vm.builtins().qname), args);
}

Value qnameLocalName(Vm& vm, const Value& self, Args)
{
    auto* q = receiver<QNameObject>(vm, self, ObjectKind::QName, "QName/localName");
    if (!q)
        return Value();
    return q->local ? Value(q->local) : Value(vm.intern("*"));
}

Value qnameUri(Vm& vm, const Value& self, Args)
{
    auto* q = receiver<QNameObject>(vm, self, ObjectKind::QName, "QName/uri");
    if (!q)
        return Value();
    return q->ns ? Value(q->ns->uri) : Value::null();
}

Value qnameToString(Vm& vm, const Value& self, Args)
{
    auto* q = receiver<QNameObject>(vm, self, ObjectKind::QName, "QName.prototype.toString");
    if (!q)
        return Value();
    std::u16string text;
    if (!q->ns)
        text = u"*::";
    else if (!q->ns->uri->empty())
        text = q->ns->uri->text() + u"::";
    text += q->local ? q->local->text() : u"*";
    return Value(vm.newString(std::move(text)));
}

ClassObject* namespaceClass(Vm& vm)
{
    return vm.builtins().namespaceClass;
}

} // namespace

Value namespaceValue(Vm& vm, const Namespace* ns)
{
    ClassObject* cls = namespaceClass(vm);
    auto* n = static_cast<NamespaceObject*>(allocateNamespace(vm, *cls));
    n->ns = ns ? ns : vm.publicNs();
    n->prefix = Value();
    return Value(n);
}

Value NamespaceObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    return Value(vm.intern(position == 1 ? "prefix" : "uri"));
}

Value NamespaceObject::enumerableValue(Vm&, std::uint32_t position)
{
    return position == 1 ? prefix : Value(ns->uri);
}

Value QNameObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    return Value(vm.intern(position == 1 ? "uri" : "localName"));
}

Value QNameObject::enumerableValue(Vm& vm, std::uint32_t position)
{
    if (position == 1)
        return ns ? Value(ns->uri) : Value::null();
    return local ? Value(local) : Value(vm.intern("*"));
}

Value makeNamespace(Vm& vm, const Value& prefix, String* uri)
{
    auto* n = static_cast<NamespaceObject*>(allocateNamespace(vm, *namespaceClass(vm)));
    n->ns = vm.internNamespace(NsKind::Public, vm.internValue(uri));
    n->prefix = prefix;
    return Value(n);
}

Value makeQName(Vm& vm, String* uri, String* local, bool anyNamespace)
{
    auto* q = static_cast<QNameObject*>(allocateQName(vm, *vm.builtins().qname));
    q->ns = anyNamespace ? nullptr : vm.internNamespace(NsKind::Public, vm.internValue(uri));
    q->local = local ? vm.internValue(local) : nullptr;
    return Value(q);
}

const Namespace* namespaceOf(Vm& vm, const Value& value)
{
    if (value.isObject() && value.asObject()->kind() == ObjectKind::Namespace)
        return static_cast<NamespaceObject*>(value.asObject())->ns;
    if (value.isObject() && value.asObject()->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(value.asObject());
        return q->ns ? q->ns : vm.publicNs();
    }
    if (value.isNullish())
        return nullptr;
    return vm.internNamespace(NsKind::Public, vm.toString(value));
}

void qnameParts(Vm&, const Value& qname, Name& name)
{
    auto* q = static_cast<QNameObject*>(qname.asObject());
    name.local = q->local;
    name.set = nullptr;
    name.ns = q->ns;
    name.anyNamespace = q->ns == nullptr;
}

void defineNamespaceClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks ns;
    ns.allocate = allocateNamespace;
    ns.construct = constructNamespace;
    ns.call = callNamespace;
    b.namespaceClass = vm.defineClass("", "Namespace", b.object, false, ns, true);
    vm.defineGetter(b.namespaceClass, "uri", namespaceUri);
    vm.defineGetter(b.namespaceClass, "prefix", namespacePrefix);
    vm.defineMethod(b.namespaceClass, "toString", namespaceToString, 0);
    vm.defineMethod(b.namespaceClass, "valueOf", namespaceToString, 0);
    vm.defineConstant(b.namespaceClass, "length", Value(2));

    NativeClassHooks qn;
    qn.allocate = allocateQName;
    qn.construct = constructQName;
    qn.call = callQName;
    b.qname = vm.defineClass("", "QName", b.object, false, qn, true);
    vm.defineGetter(b.qname, "localName", qnameLocalName);
    vm.defineGetter(b.qname, "uri", qnameUri);
    vm.defineMethod(b.qname, "toString", qnameToString, 0);
    vm.defineMethod(b.qname, "valueOf", qnameToString, 0);
    vm.defineConstant(b.qname, "length", Value(2));
}

} // namespace avm2
