// The XML and XMLList classes: construction and conversion, the settings statics and
// the methods (each in the AS3 namespace and on the prototype). Methods that select
// nodes work on XML and XMLList alike; the ones that act on one node take an XMLList of
// exactly one item as that item.
#include "NamespaceObjects.h"
#include "Native.h"
#include "XmlObjects.h"
#include "avm2/vm/Operations.h"
#include "script/e4x/XmlNamespaces.h"
#include "script/e4x/XmlParser.h"
#include "script/e4x/XmlPrinter.h"
#include "script/e4x/XmlQuery.h"
#include "script/e4x/XmlTree.h"

namespace avm2 {

using namespace native;
namespace e4x = script::e4x;

namespace {

// The nodes a selecting method runs over, or TypeError #1034 for other receivers.
std::optional<std::vector<XmlNode*>> receiverNodes(Vm& vm, const Value& self)
{
    if (asXml(self) || asXmlList(self))
        return nodesOf(self);
    vm.throwError(ErrorType::TypeError, 1034, {vm.describeForError(self), u"XML"});
    return std::nullopt;
}

// The node a single-node method acts on: an XML's, or the item of a one-item list.
XmlNode* singleNode(Vm& vm, const Value& self, const char* method)
{
    if (XmlObject* x = asXml(self))
        return x->node;
    if (XmlListObject* l = asXmlList(self)) {
        if (l->items.size() == 1)
            return l->items.front();
        vm.throwError(ErrorType::TypeError, 1086, {utf16(method)});
        return nullptr;
    }
    vm.throwError(ErrorType::TypeError, 1034, {vm.describeForError(self), u"XML"});
    return nullptr;
}

// Methods with required parameters reject shorter calls, as declared methods do.
bool hasArguments(Vm& vm, Args args, std::size_t required, const char* method)
{
    if (args.size() >= required)
        return true;
    vm.throwError(
        ErrorType::ArgumentError, 1063,
        {utf16(method), utf16(std::to_string(required)), utf16(std::to_string(args.size()))});
    return false;
}

Value listValue(Vm& vm, std::vector<XmlNode*> nodes, Object* target = nullptr)
{
    XmlListObject* list = newXmlList(vm, std::move(nodes));
    list->target = target;
    return Value(list);
}

Value stringValue(Vm& vm, const e4x::XmlResult<std::u16string>& text)
{
    if (!text)
        return throwXmlError(vm, text.error());
    return Value(vm.newString(text.value()));
}

// A namespace argument as the tree keeps it: Namespace, QName (its URI) or a URI.
e4x::XmlNamespace xmlNamespaceOf(Vm& vm, const Value& v)
{
    e4x::XmlNamespace ns;
    if (Object* o = v.objectOrNull(); o && o->kind() == ObjectKind::Namespace) {
        auto* n = static_cast<NamespaceObject*>(o);
        ns.uri = n->ns->uri->text();
        if (n->prefix.isString())
            ns.prefix = n->prefix.asString()->text();
        return ns;
    }
    if (Object* o = v.objectOrNull(); o && o->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        ns.uri = q->ns ? q->ns->uri->text() : u"";
        return ns;
    }
    ns.uri = vm.toText(v);
    if (ns.uri.empty())
        ns.prefix = u"";
    return ns;
}

Value namespaceValue(Vm& vm, const e4x::XmlNamespace& ns)
{
    Value prefix = ns.prefix ? Value(vm.newString(*ns.prefix)) : Value();
    return makeNamespace(vm, prefix, vm.newString(ns.uri));
}

Value namespaceArray(Vm& vm, const std::vector<e4x::XmlNamespace>& list)
{
    ArrayObject* a = vm.newArray();
    for (const auto& ns : list)
        a->push(namespaceValue(vm, ns));
    return Value(a);
}

// A name given as an index ("0", 2): E4X treats child(2) as the third child.
std::optional<std::uint32_t> indexArgument(Vm& vm, const Value& v)
{
    if (v.isNumber()) {
        const double d = v.asNumber();
        if (d >= 0 && d < 4294967295.0 && d == static_cast<double>(static_cast<std::uint32_t>(d)))
            return static_cast<std::uint32_t>(d);
        return std::nullopt;
    }
    if (!v.isString())
        return std::nullopt;
    const std::u16string text = vm.toText(v);
    if (text.empty() || text.size() > 10 || (text[0] == u'0' && text.size() > 1))
        return std::nullopt;
    std::uint64_t n = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    return n < 0xffffffffull ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(n))
                             : std::nullopt;
}

XmlPropertyName nameArgument(Vm& vm, Args args, std::size_t i, bool attribute)
{
    if (has(args, i) && args[i].isNull()) {
        vm.throwError(ErrorType::TypeError, 1009);
        return {};
    }
    if (!has(args, i) || args[i].isUndefined()) {
        XmlPropertyName any;
        any.attribute = attribute;
        return any;
    }
    return xmlNameOfValue(vm, args[i], attribute);
}

// Parsing and construction --------------------------------------------------------------

XmlNode* parseNode(Vm& vm, const Value& value)
{
    const std::u16string text = value.isNullish() ? std::u16string() : vm.toText(value);
    if (vm.throwing())
        return nullptr;
    auto parsed = e4x::parseXml(vm.heap(), text, vm.xmlSettings, defaultXmlUri(vm));
    if (!parsed) {
        throwXmlError(vm, parsed.error());
        return nullptr;
    }
    return parsed.value();
}

// XML(value): the node a value converts to; XML itself is kept, not copied.
XmlNode* toXmlNode(Vm& vm, const Value& value)
{
    if (XmlObject* x = asXml(value))
        return x->node;
    if (XmlListObject* l = asXmlList(value)) {
        if (l->items.size() == 1)
            return l->items.front();
        vm.throwError(ErrorType::TypeError, 1088);
        return nullptr;
    }
    return parseNode(vm, value);
}

// new XML(xml): a copy holding what a parse under the current settings keeps, so
// comments and processing instructions go when the settings ignore them.
XmlNode* copyUnderSettings(Vm& vm, const XmlNode& node)
{
    XmlNode* copy = e4x::deepCopy(vm.heap(), node);
    const e4x::XmlSettings& s = vm.xmlSettings;
    std::vector<XmlNode*> pending{copy};
    while (!pending.empty()) {
        XmlNode* n = pending.back();
        pending.pop_back();
        n->removeChildrenIf([&](const XmlNode* c) {
            return (c->kind() == e4x::XmlKind::Comment && s.ignoreComments) ||
                   (c->kind() == e4x::XmlKind::ProcessingInstruction &&
                    s.ignoreProcessingInstructions);
        });
        for (XmlNode* c : n->children())
            if (c->isElement())
                pending.push_back(c);
    }
    return copy;
}

Object* allocateXml(Vm& vm, ClassObject& cls)
{
    XmlNode* node = XmlNode::makeText(vm.heap(), {});
    auto* x = vm.make<XmlObject>(cls.instanceTraits.get(), cls.instancePrototype, node);
    node->setWrapper(x);
    return x;
}

Value constructXml(Vm& vm, const Value& self, Args args)
{
    XmlObject* x = asXml(self);
    if (!x || args.empty() || args[0].isNullish())
        return Value();
    XmlNode* node = toXmlNode(vm, args[0]);
    if (!node)
        return Value();
    if (node->wrapper())
        node = copyUnderSettings(vm, *node);
    x->node->setWrapper(nullptr);
    x->node = node;
    node->setWrapper(x);
    return Value();
}

Value callXml(Vm& vm, const Value&, Args args)
{
    XmlNode* node = toXmlNode(vm, arg(args, 0));
    return node ? wrapNode(vm, node) : Value();
}

Object* allocateXmlList(Vm& vm, ClassObject&)
{
    return newXmlList(vm);
}

std::optional<std::vector<XmlNode*>> toListNodes(Vm& vm, const Value& value)
{
    if (asXml(value) || asXmlList(value))
        return nodesOf(value);
    if (value.isNullish())
        return std::vector<XmlNode*>{};
    const std::u16string text = vm.toText(value);
    if (vm.throwing())
        return std::nullopt;
    auto parsed = e4x::parseXmlList(vm.heap(), text, vm.xmlSettings, defaultXmlUri(vm));
    if (!parsed) {
        throwXmlError(vm, parsed.error());
        return std::nullopt;
    }
    return parsed.value();
}

Value constructXmlList(Vm& vm, const Value& self, Args args)
{
    XmlListObject* list = asXmlList(self);
    if (!list || args.empty())
        return Value();
    if (auto nodes = toListNodes(vm, args[0]))
        list->items = std::move(*nodes);
    return Value();
}

Value callXmlList(Vm& vm, const Value&, Args args)
{
    if (asXmlList(arg(args, 0)))
        return args[0];
    auto nodes = toListNodes(vm, arg(args, 0));
    return nodes ? listValue(vm, std::move(*nodes)) : Value();
}

// Settings ---------------------------------------------------------------------------

template <bool e4x::XmlSettings::*Field> Value getFlag(Vm& vm, const Value&, Args)
{
    return Value(vm.xmlSettings.*Field);
}

template <bool e4x::XmlSettings::*Field> Value setFlag(Vm& vm, const Value&, Args args)
{
    vm.xmlSettings.*Field = Vm::toBoolean(arg(args, 0));
    return Value();
}

Value getPrettyIndent(Vm& vm, const Value&, Args)
{
    return Value(vm.xmlSettings.prettyIndent);
}

Value setPrettyIndent(Vm& vm, const Value&, Args args)
{
    const std::int32_t indent = vm.toInt32(arg(args, 0));
    if (!vm.throwing())
        vm.xmlSettings.prettyIndent = indent;
    return Value();
}

Value settingsObject(Vm& vm, const e4x::XmlSettings& s)
{
    Object* o = vm.newObject();
    o->dynamic().set(vm.intern("ignoreComments"), Value(s.ignoreComments));
    o->dynamic().set(vm.intern("ignoreProcessingInstructions"),
                     Value(s.ignoreProcessingInstructions));
    o->dynamic().set(vm.intern("ignoreWhitespace"), Value(s.ignoreWhitespace));
    o->dynamic().set(vm.intern("prettyPrinting"), Value(s.prettyPrinting));
    o->dynamic().set(vm.intern("prettyIndent"), Value(s.prettyIndent));
    return Value(o);
}

Value xmlSettings(Vm& vm, const Value&, Args)
{
    return settingsObject(vm, vm.xmlSettings);
}

Value xmlDefaultSettings(Vm& vm, const Value&, Args)
{
    return settingsObject(vm, {});
}

Value xmlSetSettings(Vm& vm, const Value&, Args args)
{
    Object* o = arg(args, 0).objectOrNull();
    if (!o) {
        vm.xmlSettings = {};
        return Value();
    }
    auto flag = [&](const char* name, bool& field) {
        Value v = vm.getProperty(Value(o), vm.publicName(name));
        if (!vm.throwing() && v.isBoolean())
            field = v.asBoolean();
    };
    flag("ignoreComments", vm.xmlSettings.ignoreComments);
    flag("ignoreProcessingInstructions", vm.xmlSettings.ignoreProcessingInstructions);
    flag("ignoreWhitespace", vm.xmlSettings.ignoreWhitespace);
    flag("prettyPrinting", vm.xmlSettings.prettyPrinting);
    Value indent = vm.getProperty(Value(o), vm.publicName("prettyIndent"));
    if (!vm.throwing() && indent.isNumber())
        vm.xmlSettings.prettyIndent = vm.toInt32(indent);
    return Value();
}

// Selecting methods (XML and XMLList) ----------------------------------------------------

Value xmlChild(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/child()"))
        return Value();
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    if (auto index = indexArgument(vm, arg(args, 0))) {
        std::vector<XmlNode*> out;
        for (XmlNode* n : *nodes)
            if (*index < n->children().size())
                out.push_back(n->children()[*index]);
        return listValue(vm, std::move(out), self.asObject());
    }
    const XmlPropertyName name = nameArgument(vm, args, 0, false);
    if (vm.throwing())
        return Value();
    return Value(selectList(vm, self.asObject(), *nodes, name));
}

Value xmlChildren(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    return nodes ? Value(selectList(vm, self.asObject(), *nodes, XmlPropertyName{})) : Value();
}

Value xmlAttribute(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/attribute()"))
        return Value();
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    const XmlPropertyName name = nameArgument(vm, args, 0, true);
    return vm.throwing() ? Value() : Value(selectList(vm, self.asObject(), *nodes, name));
}

Value xmlAttributes(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    XmlPropertyName any;
    any.attribute = true;
    return nodes ? Value(selectList(vm, self.asObject(), *nodes, any)) : Value();
}

Value xmlElements(Vm& vm, const Value& self, Args args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    const XmlPropertyName name = nameArgument(vm, args, 0, false);
    if (vm.throwing())
        return Value();
    std::vector<XmlNode*> out;
    for (XmlNode* n : *nodes)
        for (XmlNode* c : n->children())
            if (c->isElement() && nameMatches(name, *c))
                out.push_back(c);
    XmlListObject* list = newXmlList(vm, std::move(out));
    list->target = self.asObject();
    list->targetName = name;
    return Value(list);
}

Value xmlDescendants(Vm& vm, const Value& self, Args args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    const XmlPropertyName name = nameArgument(vm, args, 0, false);
    if (vm.throwing())
        return Value();
    std::vector<XmlNode*> out;
    for (XmlNode* n : *nodes) {
        std::vector<XmlNode*> found = selectDescendants(*n, name);
        out.insert(out.end(), found.begin(), found.end());
    }
    return listValue(vm, std::move(out));
}

template <std::vector<XmlNode*> (*Select)(const XmlNode&)>
Value selectKind(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    std::vector<XmlNode*> out;
    for (XmlNode* n : *nodes) {
        std::vector<XmlNode*> found = Select(*n);
        out.insert(out.end(), found.begin(), found.end());
    }
    return listValue(vm, std::move(out), self.asObject());
}

Value xmlProcessingInstructions(Vm& vm, const Value& self, Args args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    const XmlPropertyName name = nameArgument(vm, args, 0, false);
    if (vm.throwing())
        return Value();
    std::vector<XmlNode*> out;
    for (XmlNode* n : *nodes)
        for (XmlNode* c : n->children())
            if (c->kind() == e4x::XmlKind::ProcessingInstruction && !name.attribute &&
                (name.anyLocal() || name.local == c->name().localName))
                out.push_back(c);
    return listValue(vm, std::move(out), self.asObject());
}

Value xmlCopy(Vm& vm, const Value& self, Args)
{
    if (XmlObject* x = asXml(self))
        return wrapNode(vm, e4x::deepCopy(vm.heap(), *x->node));
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    std::vector<XmlNode*> out;
    for (XmlNode* n : *nodes)
        out.push_back(e4x::deepCopy(vm.heap(), *n));
    XmlListObject* list = newXmlList(vm, std::move(out));
    list->target = asXmlList(self)->target;
    list->targetName = asXmlList(self)->targetName;
    return Value(list);
}

Value xmlLength(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    return nodes ? Value::fromUint(static_cast<std::uint32_t>(nodes->size())) : Value();
}

Value xmlContains(Vm& vm, const Value& self, Args args)
{
    if (asXml(self))
        return Value(vm.looseEquals(self, arg(args, 0)));
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    for (XmlNode* n : *nodes) {
        if (vm.looseEquals(wrapNode(vm, n), arg(args, 0)))
            return Value(true);
        if (vm.throwing())
            return Value();
    }
    return Value(false);
}

Value xmlHasSimpleContent(Vm& vm, const Value& self, Args)
{
    if (XmlObject* x = asXml(self))
        return Value(e4x::hasSimpleContent(*x->node));
    auto nodes = receiverNodes(vm, self);
    return nodes ? Value(e4x::hasSimpleContent(*nodes)) : Value();
}

Value xmlHasComplexContent(Vm& vm, const Value& self, Args)
{
    if (XmlObject* x = asXml(self))
        return Value(e4x::hasComplexContent(*x->node));
    auto nodes = receiverNodes(vm, self);
    return nodes ? Value(e4x::hasComplexContent(*nodes)) : Value();
}

Value xmlHasOwnProperty(Vm& vm, const Value& self, Args args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    if (auto index = indexArgument(vm, Value(vm.toString(arg(args, 0)))))
        return Value(*index < nodes->size());
    const XmlPropertyName name = xmlNameOfValue(vm, arg(args, 0), false);
    for (XmlNode* n : *nodes)
        if (!selectChildren(*n, name).empty())
            return Value(true);
    return Value(false);
}

Value xmlPropertyIsEnumerable(Vm& vm, const Value& self, Args args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    auto index = indexArgument(vm, Value(vm.toString(arg(args, 0))));
    return Value(index && *index < nodes->size());
}

Value xmlNormalize(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes)
        return Value();
    for (XmlNode* n : *nodes)
        if (n->isElement())
            e4x::normalize(*n);
    return self;
}

Value xmlParent(Vm& vm, const Value& self, Args)
{
    auto nodes = receiverNodes(vm, self);
    if (!nodes || nodes->empty())
        return Value();
    XmlNode* parent = nodes->front()->parent();
    for (XmlNode* n : *nodes)
        if (n->parent() != parent)
            return Value();
    return parent ? wrapNode(vm, parent) : Value();
}

Value xmlToString(Vm& vm, const Value& self, Args)
{
    if (XmlObject* x = asXml(self))
        return stringValue(vm, e4x::toString(*x->node, vm.xmlSettings));
    auto nodes = receiverNodes(vm, self);
    return nodes ? stringValue(vm, e4x::toString(*nodes, vm.xmlSettings)) : Value();
}

Value xmlToXmlString(Vm& vm, const Value& self, Args)
{
    if (XmlObject* x = asXml(self))
        return stringValue(vm, e4x::toXmlString(*x->node, vm.xmlSettings));
    auto nodes = receiverNodes(vm, self);
    return nodes ? stringValue(vm, e4x::toXmlString(*nodes, vm.xmlSettings)) : Value();
}

Value xmlValueOf(Vm& vm, const Value& self, Args)
{
    return receiverNodes(vm, self) ? self : Value();
}

// Single-node methods ------------------------------------------------------------------

Value xmlAddNamespace(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/addNamespace()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "addNamespace");
    if (!node)
        return Value();
    const e4x::XmlNamespace ns = xmlNamespaceOf(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    if (auto s = e4x::addInScopeNamespace(*node, ns); !s)
        return throwXmlError(vm, s.error());
    return wrapNode(vm, node);
}

Value insertAt(Vm& vm, XmlNode* node, std::size_t index, const Value& value)
{
    auto nodes = nodesToInsert(vm, value, false);
    if (!nodes)
        return Value();
    for (XmlNode* n : *nodes) {
        if (auto s = node->insertChild(index, n); !s)
            return throwXmlError(vm, s.error());
        index = static_cast<std::size_t>(n->childIndex()) + 1;
    }
    return wrapNode(vm, node);
}

// appendChild adds as assigning past the end of x.* does: XML as itself (a node
// already among the children again as a copy), anything else as its text, in an
// element named like the last child when that is an element.
Value xmlAppendChild(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/appendChild()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "appendChild");
    if (!node)
        return Value();
    if (!node->isElement())
        return wrapNode(vm, node);
    const Value value = arg(args, 0);
    XmlObject* x = asXml(value);
    const bool textual =
        (!x && !asXmlList(value)) || (x && (x->node->isText() || x->node->isAttribute()));
    if (!textual) {
        std::vector<XmlNode*> nodes;
        for (XmlNode* n : nodesOf(value)) {
            if (n->isAttribute())
                nodes.push_back(XmlNode::makeText(vm.heap(), n->value()));
            else if (n->parent() == node)
                nodes.push_back(e4x::deepCopy(vm.heap(), *n));
            else
                nodes.push_back(n);
        }
        if (!replaceAt(vm, *node, node->children().size(), nodes))
            return Value();
        return wrapNode(vm, node);
    }
    if (!x && vm.swfVersion() < 10) {
        // Movies before version 10 read a String argument as markup.
        auto parsed = nodesToInsert(vm, value, true);
        if (!parsed || !replaceAt(vm, *node, node->children().size(), *parsed))
            return Value();
        return wrapNode(vm, node);
    }
    std::u16string text = x ? x->node->value() : vm.toText(value);
    if (vm.throwing())
        return Value();
    XmlNode* added = XmlNode::makeText(vm.heap(), text);
    if (!node->children().empty() && node->children().back()->isElement()) {
        added = XmlNode::makeElement(vm.heap(), node->children().back()->name());
        if (!text.empty())
            (void)added->appendChild(XmlNode::makeText(vm.heap(), std::move(text)));
    }
    if (auto s = node->appendChild(added); !s)
        return throwXmlError(vm, s.error());
    return wrapNode(vm, node);
}

Value xmlPrependChild(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/prependChild()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "prependChild");
    if (!node)
        return Value();
    if (!node->isElement())
        return wrapNode(vm, node);
    return insertAt(vm, node, 0, arg(args, 0));
}

// insertChildAfter / insertChildBefore: the reference child must be one of the node's.
Value insertBeside(Vm& vm, const Value& self, Args args, bool after)
{
    if (!hasArguments(vm, args, 2, after ? "XML/insertChildAfter()" : "XML/insertChildBefore()"))
        return Value();
    XmlNode* node = singleNode(vm, self, after ? "insertChildAfter" : "insertChildBefore");
    if (!node || !node->isElement())
        return Value();
    const Value ref = arg(args, 0);
    if (ref.isNullish())
        return insertAt(vm, node, after ? 0 : node->children().size(), arg(args, 1));
    std::vector<XmlNode*> refNodes = nodesOf(ref);
    if (refNodes.size() != 1 || refNodes.front()->parent() != node)
        return Value();
    const auto index = static_cast<std::size_t>(refNodes.front()->childIndex());
    return insertAt(vm, node, after ? index + 1 : index, arg(args, 1));
}

Value xmlInsertChildAfter(Vm& vm, const Value& self, Args args)
{
    return insertBeside(vm, self, args, true);
}

Value xmlInsertChildBefore(Vm& vm, const Value& self, Args args)
{
    return insertBeside(vm, self, args, false);
}

Value xmlChildIndex(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "childIndex");
    return node ? Value(static_cast<std::int32_t>(node->childIndex())) : Value();
}

bool isNamed(const XmlNode& node)
{
    return node.kind() != e4x::XmlKind::Text && node.kind() != e4x::XmlKind::Comment;
}

Value xmlLocalName(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "localName");
    if (!node)
        return Value();
    return isNamed(*node) ? Value(vm.newString(node->name().localName)) : Value::null();
}

Value xmlName(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "name");
    if (!node)
        return Value();
    if (!isNamed(*node))
        return Value::null();
    return makeQName(vm, vm.newString(node->name().uri), vm.newString(node->name().localName),
                     false);
}

Value xmlNamespace(Vm& vm, const Value& self, Args args)
{
    XmlNode* node = singleNode(vm, self, "namespace");
    if (!node)
        return Value();
    if (!node->isElement() && !node->isAttribute())
        return Value::null();
    if (!has(args, 0))
        return namespaceValue(vm, e4x::namespaceOf(*node));
    const std::u16string prefix = vm.toText(args[0]);
    auto ns = e4x::namespaceForPrefix(*node, prefix);
    return ns ? namespaceValue(vm, *ns) : Value();
}

Value xmlInScopeNamespaces(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "inScopeNamespaces");
    return node ? namespaceArray(vm, e4x::inScopeNamespaces(*node)) : Value();
}

Value xmlNamespaceDeclarations(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "namespaceDeclarations");
    return node ? namespaceArray(vm, e4x::namespaceDeclarations(*node)) : Value();
}

Value xmlNodeKind(Vm& vm, const Value& self, Args)
{
    XmlNode* node = singleNode(vm, self, "nodeKind");
    return node ? Value(vm.newString(std::u16string(e4x::nodeKindName(node->kind())))) : Value();
}

Value xmlRemoveNamespace(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/removeNamespace()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "removeNamespace");
    if (!node)
        return Value();
    const e4x::XmlNamespace ns = xmlNamespaceOf(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    e4x::removeNamespace(*node, ns);
    return wrapNode(vm, node);
}

Value xmlReplace(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 2, "XML/replace()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "replace");
    if (!node)
        return Value();
    if (!node->isElement())
        return wrapNode(vm, node);
    const Value value = arg(args, 1);
    std::vector<XmlNode*> nodes;
    if (asXml(value) || asXmlList(value)) {
        for (XmlNode* n : nodesOf(value))
            nodes.push_back(e4x::deepCopy(vm.heap(), *n));
    } else {
        nodes.push_back(XmlNode::makeText(vm.heap(), vm.toText(value)));
        if (vm.throwing())
            return Value();
    }
    std::optional<std::size_t> first;
    if (auto index = indexArgument(vm, arg(args, 0))) {
        first = *index;
    } else {
        const XmlPropertyName name = nameArgument(vm, args, 0, false);
        if (vm.throwing())
            return Value();
        for (std::size_t k = node->children().size(); k-- > 0;) {
            if (!nameMatches(name, *node->children()[k]))
                continue;
            if (first)
                node->removeChildAt(*first);
            first = k;
        }
    }
    if (first && !replaceAt(vm, *node, *first, nodes))
        return Value();
    return wrapNode(vm, node);
}

Value xmlSetChildren(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/setChildren()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "setChildren");
    if (!node)
        return Value();
    if (node->isElement()) {
        const Value value = arg(args, 0);
        if (asXml(value) || asXmlList(value)) {
            std::vector<XmlNode*> nodes = nodesOf(value);
            node->clearChildren();
            if (!replaceAt(vm, *node, 0, nodes))
                return Value();
        } else if (!putChild(vm, *node, XmlPropertyName{}, value)) {
            return Value();
        }
    }
    return wrapNode(vm, node);
}

Value xmlSetLocalName(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/setLocalName()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "setLocalName");
    if (!node)
        return Value();
    const Value v = arg(args, 0);
    std::u16string local;
    if (Object* o = v.objectOrNull(); o && o->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        local = q->local ? q->local->text() : u"*";
    } else {
        local = vm.toText(v);
    }
    if (!e4x::isXmlName(local, false))
        return vm.throwError(ErrorType::TypeError, 1117, {local});
    e4x::setLocalName(*node, std::move(local));
    return Value();
}

Value xmlSetName(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/setName()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "setName");
    if (!node)
        return Value();
    const Value v = arg(args, 0);
    e4x::XmlName name;
    if (Object* o = v.objectOrNull(); o && o->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        name.localName = q->local ? q->local->text() : u"*";
        name.uri = q->ns ? q->ns->uri->text() : u"";
    } else {
        name.localName = vm.toText(v);
        name.uri = node->isAttribute() ? std::u16string() : defaultXmlUri(vm);
    }
    if (!e4x::isXmlName(name.localName, false))
        return vm.throwError(ErrorType::TypeError, 1117, {name.localName});
    if (auto s = e4x::setName(*node, std::move(name)); !s)
        return throwXmlError(vm, s.error());
    return Value();
}

Value xmlSetNamespace(Vm& vm, const Value& self, Args args)
{
    if (!hasArguments(vm, args, 1, "XML/setNamespace()"))
        return Value();
    XmlNode* node = singleNode(vm, self, "setNamespace");
    if (!node)
        return Value();
    const e4x::XmlNamespace ns = xmlNamespaceOf(vm, arg(args, 0));
    if (vm.throwing())
        return Value();
    if (auto s = e4x::setNamespace(*node, ns); !s)
        return throwXmlError(vm, s.error());
    return Value();
}

struct MethodDef {
    const char* name;
    NativeMethod fn;
    int length;
};

// Methods on both classes.
constexpr MethodDef kSelecting[] = {
    {"attribute", xmlAttribute, 1},
    {"attributes", xmlAttributes, 0},
    {"child", xmlChild, 1},
    {"children", xmlChildren, 0},
    {"comments", selectKind<e4x::commentChildren>, 0},
    {"contains", xmlContains, 1},
    {"copy", xmlCopy, 0},
    {"descendants", xmlDescendants, 1},
    {"elements", xmlElements, 1},
    {"hasComplexContent", xmlHasComplexContent, 0},
    {"hasOwnProperty", xmlHasOwnProperty, 1},
    {"hasSimpleContent", xmlHasSimpleContent, 0},
    {"length", xmlLength, 0},
    {"normalize", xmlNormalize, 0},
    {"parent", xmlParent, 0},
    {"processingInstructions", xmlProcessingInstructions, 1},
    {"propertyIsEnumerable", xmlPropertyIsEnumerable, 1},
    {"text", selectKind<e4x::textChildren>, 0},
    {"toString", xmlToString, 0},
    {"toXMLString", xmlToXmlString, 0},
    {"valueOf", xmlValueOf, 0},
};

// XML's methods on one node, which an XMLList of one item forwards.
constexpr MethodDef kSingle[] = {
    {"addNamespace", xmlAddNamespace, 1},
    {"appendChild", xmlAppendChild, 1},
    {"childIndex", xmlChildIndex, 0},
    {"inScopeNamespaces", xmlInScopeNamespaces, 0},
    {"insertChildAfter", xmlInsertChildAfter, 2},
    {"insertChildBefore", xmlInsertChildBefore, 2},
    {"localName", xmlLocalName, 0},
    {"name", xmlName, 0},
    {"namespace", xmlNamespace, 0},
    {"namespaceDeclarations", xmlNamespaceDeclarations, 0},
    {"nodeKind", xmlNodeKind, 0},
    {"prependChild", xmlPrependChild, 1},
    {"removeNamespace", xmlRemoveNamespace, 1},
    {"replace", xmlReplace, 2},
    {"setChildren", xmlSetChildren, 1},
    {"setLocalName", xmlSetLocalName, 1},
    {"setName", xmlSetName, 1},
    {"setNamespace", xmlSetNamespace, 1},
};

} // namespace

// Hooks the interpreter and the Vm call -------------------------------------------------

Value getDescendants(Vm& vm, const Value& object, const Name& name)
{
    if (!asXml(object) && !asXmlList(object)) {
        // The message names the operand's type.
        ClassObject* cls = vm.classOf(object);
        std::u16string type =
            cls && cls->localName ? cls->localName->text() : vm.toText(Value(vm.typeOf(object)));
        return vm.throwError(ErrorType::TypeError, 1016, {type});
    }
    const XmlPropertyName n = xmlNameOf(vm, name);
    std::vector<XmlNode*> out;
    for (XmlNode* node : nodesOf(object)) {
        std::vector<XmlNode*> found = selectDescendants(*node, n);
        out.insert(out.end(), found.begin(), found.end());
    }
    return listValue(vm, std::move(out));
}

Value escapeXml(Vm& vm, const Value& value, bool attribute)
{
    if (!attribute && (asXml(value) || asXmlList(value)))
        return xmlToXmlString(vm, value, {});
    const std::u16string text = vm.toText(value);
    if (vm.throwing())
        return Value();
    return Value(
        vm.newString(attribute ? e4x::escapeAttributeValue(text) : e4x::escapeElementValue(text)));
}

bool xmlEquals(Vm& vm, const Value& a, const Value& b)
{
    if (XmlListObject* list = asXmlList(a)) {
        if (b.isUndefined())
            return list->items.empty();
        if (XmlListObject* other = asXmlList(b)) {
            if (other->items.size() != list->items.size())
                return false;
            for (std::size_t i = 0; i < list->items.size(); ++i)
                if (!vm.looseEquals(wrapNode(vm, list->items[i]), wrapNode(vm, other->items[i])))
                    return false;
            return true;
        }
        return list->items.size() == 1 && vm.looseEquals(wrapNode(vm, list->items.front()), b);
    }
    if (asXmlList(b))
        return xmlEquals(vm, b, a);
    XmlObject* x = asXml(a);
    XmlObject* y = asXml(b);
    if (!x)
        return xmlEquals(vm, b, a);
    if (y) {
        auto textual = [](const XmlNode& n) { return n.isText() || n.isAttribute(); };
        if ((textual(*x->node) && e4x::hasSimpleContent(*y->node)) ||
            (textual(*y->node) && e4x::hasSimpleContent(*x->node)))
            return vm.toText(a) == vm.toText(b);
        return e4x::deepEquals(*x->node, *y->node);
    }
    if (b.isNullish())
        return false;
    if (b.isObject() && !b.asObject()->namesSelectData() &&
        b.asObject()->kind() != ObjectKind::QName && b.asObject()->kind() != ObjectKind::Namespace)
        return false;
    if (e4x::hasSimpleContent(*x->node)) {
        const std::u16string left = vm.toText(a);
        const std::u16string right = vm.toText(b);
        return !vm.throwing() && left == right;
    }
    if (b.isObject())
        return false;
    Value p = vm.toPrimitive(a, true);
    return !vm.throwing() && vm.looseEquals(p, b);
}

std::optional<Value> concatenateXml(Vm& vm, const Value& a, const Value& b)
{
    const bool left = asXml(a) || asXmlList(a);
    const bool right = asXml(b) || asXmlList(b);
    if (!left || !right)
        return std::nullopt;
    std::vector<XmlNode*> items = nodesOf(a);
    std::vector<XmlNode*> more = nodesOf(b);
    items.insert(items.end(), more.begin(), more.end());
    return listValue(vm, std::move(items));
}

Value simpleContentText(Vm& vm, const Value& object)
{
    if (XmlObject* x = asXml(object); x && e4x::hasSimpleContent(*x->node))
        return xmlToString(vm, object, {});
    if (XmlListObject* l = asXmlList(object);
        l && l->items.size() == 1 && e4x::hasSimpleContent(*l->items.front()))
        return xmlToString(vm, object, {});
    return Value();
}

void setDefaultXmlNamespace(Vm& vm, const Value& uri)
{
    if (Object* o = uri.objectOrNull(); o && o->kind() == ObjectKind::Namespace) {
        vm.defaultXmlNamespace = static_cast<NamespaceObject*>(o)->ns->uri;
        return;
    }
    String* text = vm.toString(uri);
    if (!vm.throwing())
        vm.defaultXmlNamespace = vm.internValue(text);
}

void defineXmlClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks xmlHooks;
    xmlHooks.allocate = allocateXml;
    xmlHooks.construct = constructXml;
    xmlHooks.call = callXml;
    b.xml = vm.defineClass("", "XML", b.object, true, xmlHooks, true);
    NativeClassHooks listHooks;
    listHooks.allocate = allocateXmlList;
    listHooks.construct = constructXmlList;
    listHooks.call = callXmlList;
    b.xmlList = vm.defineClass("", "XMLList", b.object, true, listHooks, true);

    for (ClassObject* cls : {b.xml, b.xmlList}) {
        for (const MethodDef& m : kSelecting)
            vm.defineMethod(cls, m.name, m.fn, m.length);
        for (const MethodDef& m : kSingle)
            vm.defineMethod(cls, m.name, m.fn, m.length);
        vm.defineConstant(cls, "length", Value(1));
    }

    using S = e4x::XmlSettings;
    vm.defineGetter(b.xml, "ignoreComments", getFlag<&S::ignoreComments>,
                    setFlag<&S::ignoreComments>, true);
    vm.defineGetter(b.xml, "ignoreProcessingInstructions",
                    getFlag<&S::ignoreProcessingInstructions>,
                    setFlag<&S::ignoreProcessingInstructions>, true);
    vm.defineGetter(b.xml, "ignoreWhitespace", getFlag<&S::ignoreWhitespace>,
                    setFlag<&S::ignoreWhitespace>, true);
    vm.defineGetter(b.xml, "prettyPrinting", getFlag<&S::prettyPrinting>,
                    setFlag<&S::prettyPrinting>, true);
    vm.defineGetter(b.xml, "prettyIndent", getPrettyIndent, setPrettyIndent, true);
    vm.defineStaticMethod(b.xml, "settings", xmlSettings, 0);
    vm.defineStaticMethod(b.xml, "setSettings", xmlSetSettings, 1);
    vm.defineStaticMethod(b.xml, "defaultSettings", xmlDefaultSettings, 0);
}

} // namespace avm2
