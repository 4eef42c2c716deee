// XML: a document node that parses markup into its children, makes new nodes, and
// loads files through the engine's load queue. Its status, declarations and load
// state are ordinary properties: defaults on XML.prototype, the document's own once a
// parse or a load sets them (scripts set XML.prototype.ignoreWhite to change every
// document).
#include "Builtins.h"
#include "Loads.h"
#include "XmlNode.h"
#include "avm1/Vm.h"
#include "script/xml/XmlParser.h"

#include <algorithm>

namespace avm1 {

namespace {

Value declarationValue(Vm& vm, const std::optional<std::string>& text)
{
    return text ? Value(vm.str(*text)) : Value();
}

// idMap[id] is the element whose id attribute that is: the document's map, made when
// the first id is read and kept across parses, a later element of the same id taking
// the place of an earlier one.
void addToIdMap(Vm& vm, Object* document, const script::xml::ParsedNode& parsed, XmlNode* node)
{
    const auto id =
        std::find_if(parsed.attributes.begin(), parsed.attributes.end(),
                     [](const script::xml::ParsedAttribute& a) { return a.name == "id"; });
    if (parsed.text || id == parsed.attributes.end())
        return;
    String* key = vm.str("idMap");
    Object* map = vm.getMember(document, key).objectOrNull();
    if (vm.throwing())
        return;
    if (!map) {
        map = vm.makeObject();
        vm.setMember(document, key, Value(map));
    }
    vm.setMember(map, vm.str(id->value), Value(node->object()));
}

// Replaces the document's children with the nodes `markup` holds.
void parseInto(Vm& vm, XmlNode* document, std::string_view markup)
{
    Object* self = document->object();
    const bool ignoreWhite = vm.toBoolean(vm.getMember(self, vm.str("ignoreWhite")));
    if (vm.throwing())
        return;
    document->removeChildren(vm);
    const script::xml::ParsedDocument parsed = script::xml::parse(markup, ignoreWhite);
    Object* proto = xmlNodePrototype(vm);
    const CaseRule rule = vm.caseRule();
    // SWF 8 documents list their elements by id as they parse.
    const bool mapIds = vm.swfVersion() >= 8;
    std::vector<XmlNode*> made;
    made.reserve(parsed.nodes.size());
    for (const script::xml::ParsedNode& from : parsed.nodes) {
        XmlNode* node = makeXmlNode(vm, proto, from.text ? XmlNode::kText : XmlNode::kElement,
                                    vm.str(from.nameOrValue));
        if (!from.attributes.empty()) {
            // Last first, so that for..in (newest first) gives the document's order;
            // of names the movie's rules make equal, the first written wins.
            Object* attributes = node->attributes(vm);
            for (auto a = from.attributes.rbegin(); a != from.attributes.rend(); ++a)
                attributes->defineValue(vm.str(a->name), Value(vm.str(a->value)), 0, rule);
        }
        if (mapIds)
            addToIdMap(vm, self, from, node);
        XmlNode* parent = from.parent < 0 ? document : made[static_cast<std::size_t>(from.parent)];
        parent->appendChild(vm, node);
        made.push_back(node);
    }
    self->defineValue(vm, "status", Value(static_cast<int>(parsed.status)));
    vm.setMember(self, "xmlDecl", declarationValue(vm, parsed.xmlDecl));
    vm.setMember(self, "docTypeDecl", declarationValue(vm, parsed.docTypeDecl));
}

Value callXml(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || !xmlConstructible(call))
        return Value();
    XmlNode* document = attachXmlNode(vm, self, XmlNode::kElement, nullptr);
    document->setDocument(true);
    const Value source = call.arg(0);
    if (source.isNullish())
        return Value();
    String* markup = vm.toString(source);
    if (!vm.throwing())
        parseInto(vm, document, markup->view());
    return Value();
}

Value createElement(Vm& vm, const CallArgs& call)
{
    String* name = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(makeXmlNode(vm, xmlNodePrototype(vm), XmlNode::kElement, name)->object());
}

Value createTextNode(Vm& vm, const CallArgs& call)
{
    String* text = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return Value(makeXmlNode(vm, xmlNodePrototype(vm), XmlNode::kText, text)->object());
}

Value parseXml(Vm& vm, const CallArgs& call)
{
    XmlNode* document = xmlNodeOf(call.thisValue);
    if (!document)
        return Value();
    String* markup = vm.toString(call.arg(0));
    if (!vm.throwing())
        parseInto(vm, document, markup->view());
    return Value();
}

// What a load delivers: parsed into the document, which then reports success.
Value onData(Vm& vm, const CallArgs& call)
{
    return deliverToReader(vm, call, "parseXML");
}

} // namespace

void installXml(Vm& vm)
{
    Object* proto = vm.makeObject(vm.builtins().xmlNodeProto);
    vm.defineClass("XML", proto, callXml);
    // Enumerable, in the order that makes for..in list them as the reference does.
    vm.defineMethods(proto,
                     {
                         {"createElement", createElement},
                         {"createTextNode", createTextNode},
                         {"parseXML", parseXml},
                         {"load", loadIntoThis},
                         {"send", sendNowhere},
                         {"sendAndLoad", sendAndLoadInto},
                         {"onLoad", ignoreLoad},
                         {"onData", onData},
                         {"getBytesLoaded", bytesLoaded},
                         {"getBytesTotal", bytesTotal},
                         {"addRequestHeader", addRequestHeader},
                     },
                     0);
    // The document's state has its defaults here, enumerable, in the reference's order:
    // a document that parses nothing has no state of its own.
    proto->defineValue(vm, "contentType", vm.strValue("application/x-www-form-urlencoded"));
    proto->defineValue(vm, "docTypeDecl", Value());
    proto->defineValue(vm, "ignoreWhite", Value(false));
    proto->defineValue(vm, "loaded", Value());
    proto->defineValue(vm, "status", Value(0));
    proto->defineValue(vm, "xmlDecl", Value());
}

} // namespace avm1
