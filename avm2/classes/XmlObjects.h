#pragma once

// XML and XMLList instances. An XML object wraps one node of the E4X tree (a node has
// at most one wrapper, so the same node is always the same object); an XMLList holds
// nodes and, when a property access made it, the object and name it came from, so that
// assigning past its end adds to that object.
#include "avm2/vm/Object.h"
#include "script/e4x/XmlNode.h"

#include <optional>
#include <string>
#include <vector>

namespace avm2 {

using script::e4x::XmlNode;

// A property name as E4X matches it: local name (`*` for any), attribute or not, and
// the URIs it accepts (none listed: any namespace).
struct XmlPropertyName {
    std::u16string local = u"*";
    bool attribute = false;
    bool anyUri = true;
    std::vector<std::u16string> uris;

    bool anyLocal() const { return local == u"*"; }
    bool acceptsUri(const std::u16string& uri) const;
    // The URI a node made for this name takes.
    std::u16string creationUri() const { return anyUri || uris.empty() ? u"" : uris.front(); }
};

class XmlObject final : public Object {
public:
    XmlObject(const Traits* traits, Object* prototype, XmlNode* n)
        : Object(traits, prototype, ObjectKind::Xml), node(n)
    {}
    XmlNode* node;

    bool getNamed(Vm& vm, const Name& name, Value& out) override;
    bool setNamed(Vm& vm, const Name& name, const Value& value) override;
    bool deleteNamed(Vm& vm, const Name& name, bool& deleted) override;
    bool hasNamed(Vm& vm, const Name& name, bool& found) override;
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;
};

class XmlListObject final : public Object {
public:
    XmlListObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::XmlList)
    {}
    std::vector<XmlNode*> items;
    Object* target = nullptr; // XML or XMLList the list was read from
    std::optional<XmlPropertyName> targetName;

    bool getNamed(Vm& vm, const Name& name, Value& out) override;
    bool setNamed(Vm& vm, const Name& name, const Value& value) override;
    bool deleteNamed(Vm& vm, const Name& name, bool& deleted) override;
    bool hasNamed(Vm& vm, const Name& name, bool& found) override;
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;
    std::size_t extraBytes() const override { return items.capacity() * sizeof(XmlNode*); }
};

// The object for `node` (made on first need).
Value wrapNode(Vm& vm, XmlNode* node);
XmlListObject* newXmlList(Vm& vm, std::vector<XmlNode*> items = {});
XmlObject* asXml(const Value& v);
XmlListObject* asXmlList(const Value& v);
// The nodes of an XML (one) or XMLList value; empty for anything else.
std::vector<XmlNode*> nodesOf(const Value& v);

// A multiname as E4X reads it: an `@` prefix makes an attribute name, unqualified
// element names take the default xml namespace.
XmlPropertyName xmlNameOf(Vm& vm, const Name& name);
// A value given to child(), attribute(), descendants()...: QName, AttributeName-like
// QName, or a String ("@a", "*").
XmlPropertyName xmlNameOfValue(Vm& vm, const Value& value, bool attribute);
bool nameMatches(const XmlPropertyName& name, const XmlNode& node);
std::vector<XmlNode*> selectChildren(const XmlNode& node, const XmlPropertyName& name);
std::vector<XmlNode*> selectDescendants(const XmlNode& node, const XmlPropertyName& name);
// The list x.name gives, with x and the name as its target.
XmlListObject* selectList(Vm& vm, Object* source, const std::vector<XmlNode*>& from,
                          const XmlPropertyName& name);

// Throws the TypeError an E4X operation reported.
Value throwXmlError(Vm& vm, const script::e4x::XmlError& error);
// The default xml namespace's URI ("" when none).
std::u16string defaultXmlUri(Vm& vm);
// A value as nodes to insert: XML as itself, XMLList as its items, anything else as
// text (a String holding markup is parsed as a list first when `parseMarkup`).
std::optional<std::vector<XmlNode*>> nodesToInsert(Vm& vm, const Value& value, bool parseMarkup);
// [[Put]] of an element name on an element node.
bool putChild(Vm& vm, XmlNode& node, const XmlPropertyName& name, const Value& value);
// [[Put]] of an attribute name.
bool putAttribute(Vm& vm, XmlNode& node, const XmlPropertyName& name, const Value& value);
// Replaces the child at `index` with `nodes` (E4X's [[Replace]]); past the end appends.
bool replaceAt(Vm& vm, XmlNode& parent, std::size_t index, const std::vector<XmlNode*>& nodes);

} // namespace avm2
