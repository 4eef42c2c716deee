// XML and XMLList objects: wrapping nodes, reading names as E4X does, and property
// access by name ([[Get]], [[Put]], [[Delete]], [[HasProperty]]) and enumeration.
#include "XmlObjects.h"

#include "NamespaceObjects.h"
#include "Native.h"
#include "script/e4x/XmlParser.h"
#include "script/e4x/XmlPrinter.h"
#include "script/e4x/XmlQuery.h"
#include "script/e4x/XmlTree.h"

namespace avm2 {

namespace e4x = script::e4x;

namespace {

// The index a property name spells ("0", "12"), or nothing.
std::optional<std::uint32_t> indexOf(const Name& name)
{
    if (name.attribute || !name.local)
        return std::nullopt;
    const std::u16string_view t = name.local->view();
    if (t.empty() || t.size() > 10 || (t[0] == u'0' && t.size() > 1))
        return std::nullopt;
    std::uint64_t n = 0;
    for (char16_t c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    if (n >= 0xffffffffull)
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

std::u16string textOfNodes(Vm& vm, const std::vector<XmlNode*>& nodes)
{
    auto text = e4x::toString(nodes, vm.xmlSettings);
    return text ? text.value() : std::u16string();
}

// The String an attribute takes from a value: a list's items joined by spaces.
std::u16string attributeText(Vm& vm, const Value& value)
{
    if (XmlListObject* list = asXmlList(value)) {
        std::u16string out;
        for (std::size_t i = 0; i < list->items.size(); ++i) {
            if (i)
                out += u' ';
            out += textOfNodes(vm, {list->items[i]});
        }
        return out;
    }
    return vm.toText(value);
}

// Whether assigning the value stores its text (E4X's primitive assignment).
bool assignsText(const Value& value)
{
    if (XmlObject* x = asXml(value))
        return x->node->isText() || x->node->isAttribute();
    return !asXmlList(value);
}

// Copies of the value's nodes for assignment (XML and XMLList only).
std::vector<XmlNode*> copiesOf(Vm& vm, const Value& value)
{
    std::vector<XmlNode*> out;
    for (XmlNode* n : nodesOf(value))
        out.push_back(e4x::deepCopy(vm.heap(), *n));
    return out;
}

void setTextContent(Vm& vm, XmlNode& element, std::u16string text)
{
    element.clearChildren();
    if (!text.empty())
        (void)element.appendChild(XmlNode::makeText(vm.heap(), std::move(text)));
}

} // namespace

bool XmlPropertyName::acceptsUri(const std::u16string& uri) const
{
    if (anyUri)
        return true;
    for (const std::u16string& u : uris)
        if (u == uri)
            return true;
    return false;
}

Value wrapNode(Vm& vm, XmlNode* node)
{
    if (!node)
        return Value();
    if (script::Cell* w = node->wrapper())
        return Value(static_cast<XmlObject*>(w));
    ClassObject* cls = vm.builtins().xml;
    auto* x = vm.make<XmlObject>(cls->instanceTraits.get(), cls->instancePrototype, node);
    node->setWrapper(x);
    return Value(x);
}

XmlListObject* newXmlList(Vm& vm, std::vector<XmlNode*> items)
{
    ClassObject* cls = vm.builtins().xmlList;
    auto* list = vm.make<XmlListObject>(cls->instanceTraits.get(), cls->instancePrototype);
    list->items = std::move(items);
    return list;
}

XmlObject* asXml(const Value& v)
{
    Object* o = v.objectOrNull();
    return o && o->kind() == ObjectKind::Xml ? static_cast<XmlObject*>(o) : nullptr;
}

XmlListObject* asXmlList(const Value& v)
{
    Object* o = v.objectOrNull();
    return o && o->kind() == ObjectKind::XmlList ? static_cast<XmlListObject*>(o) : nullptr;
}

std::vector<XmlNode*> nodesOf(const Value& v)
{
    if (XmlObject* x = asXml(v))
        return {x->node};
    if (XmlListObject* l = asXmlList(v))
        return l->items;
    return {};
}

std::u16string defaultXmlUri(Vm& vm)
{
    return vm.defaultXmlNamespace ? vm.defaultXmlNamespace->text() : std::u16string();
}

Value throwXmlError(Vm& vm, const e4x::XmlError& error)
{
    const int number = static_cast<int>(error.id);
    if (error.id == e4x::XmlErrorId::TooLarge)
        return vm.throwError(ErrorType::Error, number);
    return vm.throwError(
        ErrorType::TypeError, number,
        {error.argument, error.argument2.empty() ? error.argument : error.argument2});
}

XmlPropertyName xmlNameOf(Vm& vm, const Name& name)
{
    XmlPropertyName n;
    n.attribute = name.attribute;
    n.local = name.local ? name.local->text() : u"*";
    if (!n.attribute && n.local.size() > 1 && n.local[0] == u'@') {
        n.attribute = true;
        n.local.erase(0, 1);
    }
    auto uriOf = [&](const Namespace* ns) {
        if (ns->uri->empty())
            return n.attribute ? std::u16string() : defaultXmlUri(vm);
        return ns->uri->text();
    };
    if (name.anyNamespace) {
        n.anyUri = true;
    } else if (name.ns) {
        n.anyUri = false;
        n.uris.push_back(uriOf(name.ns));
    } else if (name.set) {
        // An unqualified name: `*` takes every namespace, others the open ones.
        n.anyUri = n.anyLocal();
        if (!n.anyUri)
            for (const Namespace* ns : name.set->namespaces)
                n.uris.push_back(uriOf(ns));
    }
    return n;
}

XmlPropertyName xmlNameOfValue(Vm& vm, const Value& value, bool attribute)
{
    XmlPropertyName n;
    n.attribute = attribute;
    if (Object* o = value.objectOrNull(); o && o->kind() == ObjectKind::QName) {
        auto* q = static_cast<QNameObject*>(o);
        n.local = q->local ? q->local->text() : u"*";
        n.anyUri = q->ns == nullptr;
        if (q->ns)
            n.uris.push_back(q->ns->uri->text());
        return n;
    }
    n.local = vm.toText(value);
    if (!n.attribute && n.local.size() > 1 && n.local[0] == u'@') {
        n.attribute = true;
        n.local.erase(0, 1);
    }
    n.anyUri = n.anyLocal();
    if (!n.anyUri)
        n.uris.push_back(n.attribute ? std::u16string() : defaultXmlUri(vm));
    return n;
}

bool nameMatches(const XmlPropertyName& name, const XmlNode& node)
{
    if (name.attribute != node.isAttribute())
        return false;
    if (name.anyLocal() && name.anyUri)
        return true;
    if (!node.isElement() && !node.isAttribute())
        return false;
    return (name.anyLocal() || name.local == node.name().localName) &&
           name.acceptsUri(node.name().uri);
}

std::vector<XmlNode*> selectChildren(const XmlNode& node, const XmlPropertyName& name)
{
    std::vector<XmlNode*> out;
    for (XmlNode* n : name.attribute ? node.attributes() : node.children())
        if (nameMatches(name, *n))
            out.push_back(n);
    return out;
}

std::vector<XmlNode*> selectDescendants(const XmlNode& node, const XmlPropertyName& name)
{
    std::vector<XmlNode*> all =
        e4x::descendantsNamed(node, e4x::XmlNameTest::any(), name.attribute);
    std::erase_if(all, [&](const XmlNode* n) { return !nameMatches(name, *n); });
    return all;
}

XmlListObject* selectList(Vm& vm, Object* source, const std::vector<XmlNode*>& from,
                          const XmlPropertyName& name)
{
    XmlListObject* list = newXmlList(vm);
    for (XmlNode* n : from) {
        std::vector<XmlNode*> found = selectChildren(*n, name);
        list->items.insert(list->items.end(), found.begin(), found.end());
    }
    list->target = source;
    list->targetName = name;
    return list;
}

std::optional<std::vector<XmlNode*>> nodesToInsert(Vm& vm, const Value& value, bool parseMarkup)
{
    std::vector<XmlNode*> out;
    if (asXml(value) || asXmlList(value)) {
        for (XmlNode* n : nodesOf(value))
            out.push_back(n->isAttribute() ? XmlNode::makeText(vm.heap(), n->value()) : n);
        return out;
    }
    std::u16string text = vm.toText(value);
    if (vm.throwing())
        return std::nullopt;
    if (parseMarkup) {
        auto parsed = e4x::parseXml(vm.heap(), text, vm.xmlSettings, defaultXmlUri(vm));
        if (!parsed) {
            throwXmlError(vm, parsed.error());
            return std::nullopt;
        }
        out.push_back(parsed.value());
        return out;
    }
    out.push_back(XmlNode::makeText(vm.heap(), std::move(text)));
    return out;
}

bool replaceAt(Vm& vm, XmlNode& parent, std::size_t index, const std::vector<XmlNode*>& nodes)
{
    if (index >= parent.children().size()) {
        for (XmlNode* n : nodes)
            if (auto s = parent.appendChild(n); !s) {
                throwXmlError(vm, s.error());
                return false;
            }
        return true;
    }
    if (nodes.empty()) {
        parent.removeChildAt(index);
        return true;
    }
    for (XmlNode* n : nodes)
        if (n->isAncestorOrSelfOf(&parent)) {
            throwXmlError(vm, {e4x::XmlErrorId::IllegalCyclicalLoop, {}, {}});
            return false;
        }
    XmlNode* old = parent.children()[index];
    std::size_t at = index;
    for (XmlNode* n : nodes) {
        if (n == old)
            continue;
        if (auto s = parent.insertChild(at, n); !s) {
            throwXmlError(vm, s.error());
            return false;
        }
        at = static_cast<std::size_t>(n->childIndex()) + 1;
    }
    if (std::find(nodes.begin(), nodes.end(), old) == nodes.end())
        parent.removeChild(old);
    return true;
}

bool putAttribute(Vm& vm, XmlNode& node, const XmlPropertyName& name, const Value& value)
{
    if (!node.isElement())
        return true;
    std::u16string text = attributeText(vm, value);
    if (vm.throwing())
        return false;
    std::vector<XmlNode*> found = selectChildren(node, name);
    if (!found.empty()) {
        found.front()->setValue(std::move(text));
        for (std::size_t i = 1; i < found.size(); ++i)
            node.removeAttribute(found[i]);
        return true;
    }
    if (name.anyLocal())
        return true;
    if (!e4x::isXmlName(name.local, false)) {
        vm.throwError(ErrorType::TypeError, 1117, {name.local});
        return false;
    }
    e4x::XmlName xmlName{name.creationUri(), name.local, std::nullopt};
    if (auto s = node.setAttribute(vm.heap(), xmlName, std::move(text)); !s) {
        throwXmlError(vm, s.error());
        return false;
    }
    return true;
}

bool putChild(Vm& vm, XmlNode& node, const XmlPropertyName& name, const Value& value)
{
    if (!node.isElement())
        return true;
    const bool primitive = assignsText(value);
    std::u16string text;
    std::vector<XmlNode*> copies;
    if (primitive) {
        XmlObject* x = asXml(value);
        text = x ? x->node->value() : vm.toText(value);
        if (vm.throwing())
            return false;
    } else {
        copies = copiesOf(vm, value);
    }
    if (name.anyLocal() && primitive) {
        setTextContent(vm, node, std::move(text));
        return true;
    }
    // The first match takes the value; later ones go.
    std::optional<std::size_t> first;
    for (std::size_t k = node.children().size(); k-- > 0;) {
        if (!nameMatches(name, *node.children()[k]))
            continue;
        if (first)
            node.removeChildAt(*first);
        first = k;
    }
    if (!first) {
        if (name.anyLocal())
            return replaceAt(vm, node, node.children().size(), copies);
        if (!e4x::isXmlName(name.local, false)) {
            vm.throwError(ErrorType::TypeError, 1117, {name.local});
            return false;
        }
        XmlNode* element =
            XmlNode::makeElement(vm.heap(), {name.creationUri(), name.local, std::nullopt});
        if (auto s = node.appendChild(element); !s) {
            throwXmlError(vm, s.error());
            return false;
        }
        first = node.children().size() - 1;
    }
    if (primitive) {
        setTextContent(vm, *node.children()[*first], std::move(text));
        return true;
    }
    return replaceAt(vm, node, *first, copies);
}

// XML --------------------------------------------------------------------------------

bool XmlObject::getNamed(Vm& vm, const Name& name, Value& out)
{
    if (auto index = indexOf(name)) {
        out = *index == 0 ? Value(this) : Value();
        return true;
    }
    out = Value(selectList(vm, this, {node}, xmlNameOf(vm, name)));
    return true;
}

bool XmlObject::setNamed(Vm& vm, const Name& name, const Value& value)
{
    if (indexOf(name)) {
        vm.throwError(ErrorType::TypeError, 1087);
        return true;
    }
    const XmlPropertyName n = xmlNameOf(vm, name);
    if (n.attribute)
        putAttribute(vm, *node, n, value);
    else
        putChild(vm, *node, n, value);
    return true;
}

bool XmlObject::deleteNamed(Vm& vm, const Name& name, bool& deleted)
{
    deleted = true;
    if (indexOf(name))
        return true;
    const XmlPropertyName n = xmlNameOf(vm, name);
    for (XmlNode* found : selectChildren(*node, n)) {
        if (n.attribute)
            node->removeAttribute(found);
        else
            node->removeChild(found);
    }
    return true;
}

bool XmlObject::hasNamed(Vm& vm, const Name& name, bool& found)
{
    if (auto index = indexOf(name)) {
        found = *index == 0;
        return true;
    }
    found = !selectChildren(*node, xmlNameOf(vm, name)).empty();
    if (!found && name.local && !name.attribute)
        found = vm.findDynamic(prototype(), name.local) != nullptr;
    return true;
}

std::uint32_t XmlObject::nextEnumerable(std::uint32_t position) const
{
    return position == 0 ? 1 : 0;
}

Value XmlObject::enumerableName(Vm& vm, std::uint32_t) const
{
    return Value(vm.intern("0"));
}

Value XmlObject::enumerableValue(Vm&, std::uint32_t)
{
    return Value(this);
}

void XmlObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    tracer.mark(node);
}

// XMLList ----------------------------------------------------------------------------

namespace {

// The node an object stands for when written through: an XML's node, a one-item
// list's item, or for an empty list read by name the element it names, made (with any
// empty lists it was read from) below the first object that stands for a node.
XmlNode* resolveTarget(Vm& vm, Object* start)
{
    std::vector<XmlListObject*> chain;
    XmlNode* base = nullptr;
    for (Object* o = start; o && !base;) {
        if (o->kind() == ObjectKind::Xml) {
            base = static_cast<XmlObject*>(o)->node;
            break;
        }
        auto* list = static_cast<XmlListObject*>(o);
        if (list->items.size() == 1) {
            base = list->items.front();
            break;
        }
        if (list->items.size() > 1) {
            // Writing through several items at once is not defined.
            vm.throwError(ErrorType::TypeError, 1089);
            return nullptr;
        }
        if (!list->targetName || list->targetName->attribute || list->targetName->anyLocal())
            return nullptr;
        chain.push_back(list);
        o = list->target;
    }
    for (auto it = chain.rbegin(); base && it != chain.rend(); ++it) {
        const XmlPropertyName& name = *(*it)->targetName;
        if (!base->isElement() || !e4x::isXmlName(name.local, false))
            return nullptr;
        XmlNode* element =
            XmlNode::makeElement(vm.heap(), {name.creationUri(), name.local, std::nullopt});
        if (!base->appendChild(element))
            return nullptr;
        (*it)->items.push_back(element);
        base = element;
    }
    return base;
}

bool appendToList(Vm& vm, XmlListObject& list, const Value& value)
{
    XmlNode* parent = resolveTarget(vm, list.target);
    if (vm.throwing())
        return false;
    if (!parent || !list.targetName || !parent->isElement()) {
        // A list with nowhere to grow keeps the nodes itself.
        auto nodes = nodesToInsert(vm, value, false);
        if (!nodes)
            return false;
        list.items.insert(list.items.end(), nodes->begin(), nodes->end());
        return true;
    }
    const XmlPropertyName& name = *list.targetName;
    if (name.attribute) {
        if (!putAttribute(vm, *parent, name, value))
            return false;
        std::vector<XmlNode*> found = selectChildren(*parent, name);
        if (!found.empty())
            list.items.push_back(found.front());
        return true;
    }
    // After the list's last item when it is a child of the target, else at the end.
    std::size_t at = parent->children().size();
    if (!list.items.empty() && list.items.back()->parent() == parent)
        at = static_cast<std::size_t>(list.items.back()->childIndex()) + 1;
    std::vector<XmlNode*> nodes;
    if (assignsText(value)) {
        if (name.anyLocal() || !e4x::isXmlName(name.local, false)) {
            auto text = nodesToInsert(vm, value, false);
            if (!text)
                return false;
            nodes = *text;
        } else {
            XmlNode* element =
                XmlNode::makeElement(vm.heap(), {name.creationUri(), name.local, std::nullopt});
            XmlObject* x = asXml(value);
            setTextContent(vm, *element, x ? x->node->value() : vm.toText(value));
            nodes.push_back(element);
        }
    } else {
        nodes = copiesOf(vm, value);
    }
    for (XmlNode* n : nodes) {
        if (auto s = parent->insertChild(at++, n); !s) {
            throwXmlError(vm, s.error());
            return false;
        }
        list.items.push_back(n);
    }
    return true;
}

} // namespace

bool XmlListObject::getNamed(Vm& vm, const Name& name, Value& out)
{
    if (auto index = indexOf(name)) {
        out = *index < items.size() ? wrapNode(vm, items[*index]) : Value();
        return true;
    }
    out = Value(selectList(vm, this, items, xmlNameOf(vm, name)));
    return true;
}

bool XmlListObject::setNamed(Vm& vm, const Name& name, const Value& value)
{
    if (auto index = indexOf(name)) {
        if (*index >= items.size()) {
            appendToList(vm, *this, value);
            return true;
        }
        XmlNode* item = items[*index];
        if (item->isAttribute()) {
            item->setValue(attributeText(vm, value));
            return true;
        }
        XmlNode* parent = item->parent();
        if (item->isElement() && assignsText(value)) {
            XmlPropertyName all;
            putChild(vm, *item, all, value);
            return true;
        }
        std::vector<XmlNode*> nodes;
        if (assignsText(value)) {
            auto text = nodesToInsert(vm, value, false);
            if (!text)
                return true;
            nodes = *text;
        } else {
            nodes = copiesOf(vm, value);
        }
        if (parent && !replaceAt(vm, *parent, static_cast<std::size_t>(item->childIndex()), nodes))
            return true;
        items.erase(items.begin() + *index);
        items.insert(items.begin() + *index, nodes.begin(), nodes.end());
        return true;
    }
    const XmlPropertyName n = xmlNameOf(vm, name);
    if (items.empty()) {
        resolveTarget(vm, this);
        if (vm.throwing())
            return true;
    }
    if (items.size() != 1) {
        if (!items.empty())
            vm.throwError(ErrorType::TypeError, 1089);
        return true;
    }
    if (n.attribute)
        putAttribute(vm, *items.front(), n, value);
    else
        putChild(vm, *items.front(), n, value);
    return true;
}

bool XmlListObject::deleteNamed(Vm& vm, const Name& name, bool& deleted)
{
    deleted = true;
    if (auto index = indexOf(name)) {
        if (*index >= items.size())
            return true;
        XmlNode* item = items[*index];
        if (XmlNode* parent = item->parent()) {
            if (item->isAttribute())
                parent->removeAttribute(item);
            else
                parent->removeChild(item);
        }
        items.erase(items.begin() + *index);
        return true;
    }
    const XmlPropertyName n = xmlNameOf(vm, name);
    for (XmlNode* item : items)
        for (XmlNode* found : selectChildren(*item, n)) {
            if (n.attribute)
                item->removeAttribute(found);
            else
                item->removeChild(found);
        }
    return true;
}

bool XmlListObject::hasNamed(Vm& vm, const Name& name, bool& found)
{
    if (auto index = indexOf(name)) {
        found = *index < items.size();
        return true;
    }
    const XmlPropertyName n = xmlNameOf(vm, name);
    found = false;
    for (XmlNode* item : items)
        if (!selectChildren(*item, n).empty())
            found = true;
    if (!found && name.local && !name.attribute)
        found = vm.findDynamic(prototype(), name.local) != nullptr;
    return true;
}

std::uint32_t XmlListObject::nextEnumerable(std::uint32_t position) const
{
    return position < items.size() ? position + 1 : 0;
}

Value XmlListObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    return Value(vm.intern(std::to_string(position - 1)));
}

Value XmlListObject::enumerableValue(Vm& vm, std::uint32_t position)
{
    return position >= 1 && position <= items.size() ? wrapNode(vm, items[position - 1]) : Value();
}

void XmlListObject::traceChildren(script::Tracer& tracer)
{
    Object::traceChildren(tracer);
    for (XmlNode* n : items)
        tracer.mark(n);
    tracer.mark(target);
}

} // namespace avm2
