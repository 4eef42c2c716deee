// XMLNode: the constructor, the node's properties (accessors on the prototype, as the
// reference has them, so that a prototype a script puts in between still reaches them)
// and the tree methods.
#include "ArrayObject.h"
#include "Builtins.h"
#include "XmlNamespaces.h"
#include "XmlNode.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value objectOf(XmlNode* node)
{
    return node ? Value(node->object()) : Value::null();
}

String* optionalText(Vm& vm, Value value)
{
    return value.isNullish() ? nullptr : vm.toString(value);
}

Value textOrNull(String* text)
{
    return text ? Value(text) : Value::null();
}

// new XMLNode(type, value): with fewer arguments the reference makes no node. Called
// without new, it makes a node of the plain object it is called on (super(), or a
// method call as scripts of SWF 5 inherited), never of a clip.
Value callXmlNode(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || !xmlConstructible(call) || call.count() < 2)
        return Value();
    const double type = vm.toNumber(call.arg(0));
    String* nameOrValue = optionalText(vm, call.arg(1));
    if (!vm.throwing())
        attachXmlNode(vm, self, type, nameOrValue);
    return Value();
}

// --- Properties ------------------------------------------------------------------------

template <Value (*Read)(Vm&, XmlNode*)> Value getter(Vm& vm, const CallArgs& call)
{
    XmlNode* node = xmlNodeOf(call.thisValue);
    return node ? Read(vm, node) : Value();
}

Value readType(Vm&, XmlNode* node)
{
    return Value(node->nodeType());
}
Value readName(Vm&, XmlNode* node)
{
    return textOrNull(node->name());
}
Value readValue(Vm&, XmlNode* node)
{
    return textOrNull(node->value());
}
Value readAttributes(Vm& vm, XmlNode* node)
{
    return Value(node->attributes(vm));
}
Value readChildNodes(Vm& vm, XmlNode* node)
{
    return Value(static_cast<Object*>(node->childNodes(vm)));
}
Value readParent(Vm&, XmlNode* node)
{
    return objectOf(node->parent());
}
Value readFirstChild(Vm&, XmlNode* node)
{
    return objectOf(node->children().empty() ? nullptr : node->children().front());
}
Value readLastChild(Vm&, XmlNode* node)
{
    return objectOf(node->children().empty() ? nullptr : node->children().back());
}
Value readPreviousSibling(Vm&, XmlNode* node)
{
    return objectOf(node->previousSibling());
}
Value readNextSibling(Vm&, XmlNode* node)
{
    return objectOf(node->nextSibling());
}

Value setName(Vm& vm, const CallArgs& call)
{
    if (XmlNode* node = xmlNodeOf(call.thisValue)) {
        String* name = optionalText(vm, call.arg(0));
        if (!vm.throwing())
            node->setName(name);
    }
    return Value();
}

Value setValue(Vm& vm, const CallArgs& call)
{
    if (XmlNode* node = xmlNodeOf(call.thisValue)) {
        String* value = optionalText(vm, call.arg(0));
        if (!vm.throwing())
            node->setValue(value);
    }
    return Value();
}

// An object becomes the node's attributes, written by toString as its properties;
// anything else leaves them as they are.
Value setAttributes(Vm&, const CallArgs& call)
{
    XmlNode* node = xmlNodeOf(call.thisValue);
    Object* attributes = call.arg(0).objectOrNull();
    if (node && attributes)
        node->setAttributes(attributes);
    return Value();
}

// --- Methods ----------------------------------------------------------------------------

Value appendChild(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    XmlNode* child = xmlNodeOf(call.arg(0));
    if (self && child)
        self->appendChild(vm, child);
    return Value();
}

Value insertBefore(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    XmlNode* child = xmlNodeOf(call.arg(0));
    XmlNode* before = xmlNodeOf(call.arg(1));
    if (self && child && before)
        self->insertBefore(vm, child, before);
    return Value();
}

Value removeNode(Vm& vm, const CallArgs& call)
{
    if (XmlNode* self = xmlNodeOf(call.thisValue))
        self->remove(vm);
    return Value();
}

Value cloneNode(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    if (!self)
        return Value();
    const bool deep = vm.toBoolean(call.arg(0));
    return Value(cloneXml(vm, self, deep)->object());
}

Value hasChildNodes(Vm&, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    return self ? Value(!self->children().empty()) : Value();
}

Value toString(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    if (!self)
        return Value(vm.names().empty);
    return Value(vm.str(serializeXml(vm, self)));
}

Value getNamespaceForPrefix(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    if (!self || call.count() == 0)
        return Value::null();
    String* prefix = vm.toString(call.arg(0));
    return vm.throwing() ? Value() : xmlNamespaceForPrefix(vm, self, prefix->view());
}

Value getPrefixForNamespace(Vm& vm, const CallArgs& call)
{
    XmlNode* self = xmlNodeOf(call.thisValue);
    if (!self || call.count() == 0)
        return Value::null();
    String* uri = vm.toString(call.arg(0));
    return vm.throwing() ? Value() : xmlPrefixForNamespace(vm, self, uri->view());
}

void defineAccessor(Vm& vm, Object* target, std::string_view name, NativeFn get,
                    NativeFn set = nullptr)
{
    String* key = vm.str(name);
    Property* p = target->properties().find(key, vm.caseRule());
    if (!p)
        p = &target->properties().append(key);
    p->value = Value();
    p->getter = vm.makeNative(get);
    p->setter = set ? vm.makeNative(set) : nullptr;
    p->flags = 0;
}

} // namespace

void installXmlNode(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("XMLNode", proto, callXmlNode);
    vm.builtins().xmlNodeProto = proto;
    vm.addRoots([&vm](Tracer& tracer) { tracer.mark(vm.builtins().xmlNodeProto); });
    // Enumerable, in the order that makes for..in list them as the reference does.
    vm.defineMethods(proto,
                     {
                         {"cloneNode", cloneNode},
                         {"removeNode", removeNode},
                         {"insertBefore", insertBefore},
                         {"appendChild", appendChild},
                         {"hasChildNodes", hasChildNodes},
                         {"toString", toString},
                         {"getNamespaceForPrefix", getNamespaceForPrefix},
                         {"getPrefixForNamespace", getPrefixForNamespace},
                     },
                     0);
    defineAccessor(vm, proto, "attributes", getter<readAttributes>, setAttributes);
    defineAccessor(vm, proto, "childNodes", getter<readChildNodes>);
    defineAccessor(vm, proto, "firstChild", getter<readFirstChild>);
    defineAccessor(vm, proto, "lastChild", getter<readLastChild>);
    defineAccessor(vm, proto, "nextSibling", getter<readNextSibling>);
    defineAccessor(vm, proto, "nodeName", getter<readName>, setName);
    defineAccessor(vm, proto, "nodeType", getter<readType>);
    defineAccessor(vm, proto, "nodeValue", getter<readValue>, setValue);
    defineAccessor(vm, proto, "parentNode", getter<readParent>);
    defineAccessor(vm, proto, "previousSibling", getter<readPreviousSibling>);
    defineAccessor(vm, proto, "prefix", getter<xmlPrefix>);
    defineAccessor(vm, proto, "localName", getter<xmlLocalName>);
    defineAccessor(vm, proto, "namespaceURI", getter<xmlNamespaceUri>);
}

} // namespace avm1
