#pragma once

// The tree behind XML and XMLNode objects. Each node is the native state of one script
// object (Object::nativeState), made by the XMLNode or XML constructor on the object
// "new" gave them, so script subclasses calling super() get nodes too. The node keeps
// the tree's links; the object is what scripts see of it. The attributes object and
// the childNodes array are made when first asked for and then kept in step.

#include "avm1/Heap.h"
#include "avm1/Value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace avm1 {

class ArrayObject;
struct CallArgs;
class Object;
class String;
class Vm;

class XmlNode final : public Cell {
public:
    static constexpr double kElement = 1;
    static constexpr double kText = 3;

    // `nodeType` as the constructor was given it; 3 makes a text node, anything else
    // an element.
    XmlNode(Object* object, double nodeType, String* nameOrValue);

    Object* object() const { return m_object; }
    double nodeType() const { return m_type; }
    bool isText() const { return m_type == kText; }
    // An element's name and a text node's value; null when none.
    String* name() const { return isText() ? nullptr : m_name; }
    String* value() const { return isText() ? m_value : nullptr; }
    void setName(String* name) { m_name = name; }
    void setValue(String* value) { m_value = value; }
    // The node an XML object stands for: toString writes its declarations.
    bool isDocument() const { return m_document; }
    void setDocument(bool document) { m_document = document; }

    XmlNode* parent() const { return m_parent; }
    const std::vector<XmlNode*>& children() const { return m_children; }
    XmlNode* previousSibling() const;
    XmlNode* nextSibling() const;
    // True when `other` is this node or lies below it.
    bool contains(const XmlNode* other) const;

    // Moves `child` from its parent to the end of this node's children. Refused (false)
    // when the child would end up inside itself, and, as the reference refuses it, when
    // it is a child of this node already: a node does not move among its siblings.
    bool appendChild(Vm& vm, XmlNode* child);
    // Moves `child` before `before`, which must be a child of this node; refused as
    // appendChild is.
    bool insertBefore(Vm& vm, XmlNode* child, XmlNode* before);
    // Takes the node out of its parent's children.
    void remove(Vm& vm);
    void removeChildren(Vm& vm);

    Object* attributes(Vm& vm);
    Object* attributesIfMade() const { return m_attributes; }
    // A script's own object as the attributes (the property has a setter).
    void setAttributes(Object* attributes) { m_attributes = attributes; }
    ArrayObject* childNodes(Vm& vm);

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_children.capacity() * sizeof(XmlNode*); }

private:
    void renumberFrom(std::size_t index);
    void childrenChanged(Vm& vm);

    Object* m_object;
    double m_type;
    String* m_name = nullptr;
    String* m_value = nullptr;
    bool m_document = false;
    XmlNode* m_parent = nullptr;
    std::size_t m_index = 0; // among the parent's children
    std::vector<XmlNode*> m_children;
    Object* m_attributes = nullptr;
    ArrayObject* m_childNodes = nullptr;
};

// Whether the XML or XMLNode constructor makes a node of the call's "this": one made by
// new, or a plain object it is called on (super() and the SWF 5 way of inheriting).
bool xmlConstructible(const CallArgs& call);

// The node behind a value, or null when it is not the object of one.
XmlNode* xmlNodeOf(Value value);
XmlNode* xmlNodeOf(Object* object);
// Makes `object` a node (replacing any node it was).
XmlNode* attachXmlNode(Vm& vm, Object* object, double nodeType, String* nameOrValue);
// XMLNode.prototype as the script has it now: the prototype of the nodes that parsing,
// createElement and cloneNode make.
Object* xmlNodePrototype(Vm& vm);
// A new node whose object has `prototype`.
XmlNode* makeXmlNode(Vm& vm, Object* prototype, double nodeType, String* nameOrValue);

// An element's attributes as toString and the namespace lookups visit them: the order
// for..in shows, which is the document's for parsed ones.
struct XmlAttribute {
    String* name;
    Value value;
};
std::vector<XmlAttribute> xmlAttributesOf(Vm& vm, XmlNode* node);

// toString: the markup of the node and everything below it.
std::string serializeXml(Vm& vm, XmlNode* node);
// cloneNode: a copy with copied attributes, and copied descendants when `deep`.
XmlNode* cloneXml(Vm& vm, XmlNode* node, bool deep);

} // namespace avm1
