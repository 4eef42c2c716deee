#include "XmlNode.h"

#include "ArrayObject.h"
#include "avm1/Function.h"
#include "avm1/Vm.h"
#include "script/xml/XmlMarkup.h"

#include <algorithm>

namespace avm1 {

XmlNode::XmlNode(Object* object, double nodeType, String* nameOrValue)
    : m_object(object), m_type(nodeType)
{
    if (isText())
        m_value = nameOrValue;
    else
        m_name = nameOrValue;
}

XmlNode* XmlNode::previousSibling() const
{
    if (!m_parent || m_index == 0)
        return nullptr;
    return m_parent->m_children[m_index - 1];
}

XmlNode* XmlNode::nextSibling() const
{
    if (!m_parent || m_index + 1 >= m_parent->m_children.size())
        return nullptr;
    return m_parent->m_children[m_index + 1];
}

bool XmlNode::contains(const XmlNode* other) const
{
    for (const XmlNode* n = other; n; n = n->m_parent)
        if (n == this)
            return true;
    return false;
}

void XmlNode::renumberFrom(std::size_t index)
{
    for (std::size_t i = index; i < m_children.size(); ++i)
        m_children[i]->m_index = i;
}

void XmlNode::childrenChanged(Vm& vm)
{
    if (!m_childNodes)
        return;
    // An array still as the tree left it only needs the new last child.
    const std::size_t count = m_children.size();
    if (count > 0 && static_cast<std::size_t>(m_childNodes->length()) == count - 1) {
        m_childNodes->push(vm, Value(m_children.back()->m_object));
        return;
    }
    m_childNodes->setLength(vm, 0);
    for (XmlNode* child : m_children)
        m_childNodes->push(vm, Value(child->m_object));
}

bool XmlNode::appendChild(Vm& vm, XmlNode* child)
{
    // A fresh leaf cannot hold this node: parsing and cloning skip the walk up.
    const bool fresh = !child->m_parent && child->m_children.empty();
    if (child == this || child->m_parent == this || (!fresh && child->contains(this)))
        return false;
    if (child->m_parent)
        child->remove(vm);
    child->m_parent = this;
    child->m_index = m_children.size();
    m_children.push_back(child);
    childrenChanged(vm);
    return true;
}

bool XmlNode::insertBefore(Vm& vm, XmlNode* child, XmlNode* before)
{
    if (before->m_parent != this || child->m_parent == this || child->contains(this))
        return false;
    if (child->m_parent)
        child->remove(vm);
    const std::size_t at = before->m_index;
    child->m_parent = this;
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(at), child);
    renumberFrom(at);
    // A full rebuild: the new child is not the last.
    if (m_childNodes)
        m_childNodes->setLength(vm, 0);
    childrenChanged(vm);
    return true;
}

void XmlNode::remove(Vm& vm)
{
    XmlNode* parent = m_parent;
    if (!parent)
        return;
    parent->m_children.erase(parent->m_children.begin() + static_cast<std::ptrdiff_t>(m_index));
    parent->renumberFrom(m_index);
    m_parent = nullptr;
    m_index = 0;
    if (parent->m_childNodes)
        parent->m_childNodes->setLength(vm, 0);
    parent->childrenChanged(vm);
}

void XmlNode::removeChildren(Vm& vm)
{
    for (XmlNode* child : m_children) {
        child->m_parent = nullptr;
        child->m_index = 0;
    }
    m_children.clear();
    if (m_childNodes)
        m_childNodes->setLength(vm, 0);
}

Object* XmlNode::attributes(Vm& vm)
{
    if (!m_attributes)
        m_attributes = vm.makeObject();
    return m_attributes;
}

ArrayObject* XmlNode::childNodes(Vm& vm)
{
    if (!m_childNodes) {
        m_childNodes = asArrayObject(vm.makeArray());
        for (XmlNode* child : m_children)
            m_childNodes->push(vm, Value(child->m_object));
    }
    return m_childNodes;
}

void XmlNode::traceChildren(Tracer& tracer)
{
    tracer.mark(m_object);
    tracer.mark(m_name);
    tracer.mark(m_value);
    tracer.mark(m_parent);
    for (XmlNode* child : m_children)
        tracer.mark(child);
    tracer.mark(m_attributes);
    tracer.mark(m_childNodes);
}

bool xmlConstructible(const CallArgs& call)
{
    Object* self = call.thisObject();
    return self && (call.isConstruct || self->objectClass() == ObjectClass::Object);
}

XmlNode* xmlNodeOf(Object* object)
{
    return object ? dynamic_cast<XmlNode*>(object->nativeState()) : nullptr;
}

XmlNode* xmlNodeOf(Value value)
{
    return xmlNodeOf(value.objectOrNull());
}

XmlNode* attachXmlNode(Vm& vm, Object* object, double nodeType, String* nameOrValue)
{
    if (XmlNode* old = xmlNodeOf(object)) {
        old->remove(vm);
        old->removeChildren(vm);
    }
    auto* node = vm.heap().make<XmlNode>(object, nodeType, nameOrValue);
    object->setNativeState(node);
    return node;
}

Object* xmlNodePrototype(Vm& vm)
{
    const Value ctor = vm.getMember(vm.global(), vm.str("XMLNode"));
    if (Object* c = ctor.objectOrNull(); c && !vm.throwing()) {
        if (Object* proto = vm.getMember(c, vm.names().prototype).objectOrNull())
            return proto;
    }
    return vm.builtins().xmlNodeProto ? vm.builtins().xmlNodeProto : vm.builtins().objectProto;
}

XmlNode* makeXmlNode(Vm& vm, Object* prototype, double nodeType, String* nameOrValue)
{
    return attachXmlNode(vm, vm.makeObject(prototype), nodeType, nameOrValue);
}

namespace {

void appendDeclaration(Vm& vm, std::string& out, Object* document, std::string_view name)
{
    const Value text = vm.getMember(document, vm.str(name));
    if (!text.isUndefined() && !vm.throwing())
        out += vm.toString(text)->view();
}

// Writes the opening of `node`; true when its children follow (and then a closing).
bool openNode(Vm& vm, std::string& out, XmlNode* node)
{
    if (node->isText()) {
        if (String* value = node->value())
            script::xml::appendEscaped(out, value->view());
        return false;
    }
    String* name = node->name();
    if (!name)
        return !node->children().empty();
    script::xml::appendStartTagOpen(out, name->view());
    for (const XmlAttribute& a : xmlAttributesOf(vm, node))
        script::xml::appendAttribute(out, a.name->view(), vm.toString(a.value)->view());
    const bool hasChildren = !node->children().empty();
    script::xml::appendStartTagClose(out, hasChildren);
    return hasChildren;
}

void closeNode(std::string& out, XmlNode* node)
{
    if (String* name = node->name())
        script::xml::appendEndTag(out, name->view());
}

} // namespace

std::vector<XmlAttribute> xmlAttributesOf(Vm& vm, XmlNode* node)
{
    std::vector<XmlAttribute> out;
    Object* attributes = node->attributesIfMade();
    if (!attributes)
        return out;
    std::vector<String*> names;
    attributes->properties().forEach([&](const Property& p) {
        if (p.enumerable())
            names.push_back(p.name);
    });
    // for..in visits the newest property first; the parser stores the last attribute
    // first, so that this is the document's order.
    std::reverse(names.begin(), names.end());
    out.reserve(names.size());
    for (String* name : names) {
        const Value value = vm.getMember(attributes, name);
        if (vm.throwing())
            break;
        out.push_back({name, value});
    }
    return out;
}

std::string serializeXml(Vm& vm, XmlNode* root)
{
    std::string out;
    if (root->isDocument() && !root->isText()) {
        appendDeclaration(vm, out, root->object(), "xmlDecl");
        appendDeclaration(vm, out, root->object(), "docTypeDecl");
    }
    struct Frame {
        XmlNode* node;
        std::size_t next;
    };
    std::vector<Frame> open;
    if (openNode(vm, out, root))
        open.push_back({root, 0});
    // Children are read by index each time: an attribute's toString may change the tree.
    while (!open.empty() && !vm.throwing() && out.size() < limits::kMaxStringBytes) {
        XmlNode* node = open.back().node;
        const std::size_t next = open.back().next++;
        if (next >= node->children().size()) {
            closeNode(out, node);
            open.pop_back();
            continue;
        }
        XmlNode* child = node->children()[next];
        if (openNode(vm, out, child))
            open.push_back({child, 0});
    }
    return out;
}

XmlNode* cloneXml(Vm& vm, XmlNode* source, bool deep)
{
    Object* proto = xmlNodePrototype(vm);
    auto copyOf = [&](XmlNode* from) {
        XmlNode* to =
            makeXmlNode(vm, proto, from->nodeType(), from->isText() ? from->value() : from->name());
        if (Object* attributes = from->attributesIfMade()) {
            Object* copy = to->attributes(vm);
            attributes->properties().forEach([&](const Property& p) {
                if (p.enumerable())
                    copy->defineValue(p.name, p.value, 0, vm.caseRule());
            });
        }
        return to;
    };
    XmlNode* root = copyOf(source);
    if (!deep)
        return root;
    std::vector<std::pair<XmlNode*, XmlNode*>> pending{{source, root}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        for (XmlNode* child : from->children()) {
            XmlNode* copy = copyOf(child);
            to->appendChild(vm, copy);
            if (!child->children().empty())
                pending.emplace_back(child, copy);
        }
    }
    return root;
}

} // namespace avm1
