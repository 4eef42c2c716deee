#include "XmlNamespaces.h"

#include "XmlNode.h"
#include "avm1/Vm.h"
#include "script/xml/XmlNames.h"

#include <optional>

namespace avm1 {

namespace {

// Walks from `node` up through its ancestors and returns the first declaration `match`
// accepts, as `pick` turns it into a value; null when none does.
template <typename Match, typename Pick>
Value findDeclaration(Vm& vm, XmlNode* node, Match match, Pick pick)
{
    for (XmlNode* n = node; n && !vm.throwing(); n = n->parent()) {
        for (const XmlAttribute& a : xmlAttributesOf(vm, n)) {
            const std::optional<std::string_view> prefix =
                script::xml::declaredPrefix(a.name->view());
            if (prefix && match(*prefix, a.value))
                return pick(*prefix, a.value);
        }
    }
    return Value::null();
}

std::string_view nameOf(XmlNode* node)
{
    String* name = node->name();
    return name ? name->view() : std::string_view();
}

} // namespace

Value xmlPrefix(Vm& vm, XmlNode* node)
{
    if (!node->name())
        return Value::null();
    const script::xml::QualifiedName name = script::xml::splitName(nameOf(node));
    return name.prefixed ? Value(vm.str(name.prefix)) : Value(vm.names().empty);
}

Value xmlLocalName(Vm& vm, XmlNode* node)
{
    if (!node->name())
        return Value::null();
    const script::xml::QualifiedName name = script::xml::splitName(nameOf(node));
    return name.prefixed ? Value(vm.str(name.localName)) : Value(node->name());
}

Value xmlNamespaceUri(Vm& vm, XmlNode* node)
{
    if (!node->name())
        return Value::null();
    const std::string_view prefix = script::xml::splitName(nameOf(node)).prefix;
    const Value uri = xmlNamespaceForPrefix(vm, node, prefix);
    if (uri.isNull() && prefix.empty())
        return Value(vm.names().empty);
    return uri;
}

Value xmlNamespaceForPrefix(Vm& vm, XmlNode* node, std::string_view prefix)
{
    return findDeclaration(
        vm, node, [&](std::string_view declared, const Value&) { return declared == prefix; },
        [&](std::string_view, const Value& value) { return Value(vm.toString(value)); });
}

Value xmlPrefixForNamespace(Vm& vm, XmlNode* node, std::string_view uri)
{
    return findDeclaration(
        vm, node,
        [&](std::string_view, const Value& value) { return vm.toString(value)->view() == uri; },
        [&](std::string_view declared, const Value&) { return Value(vm.str(declared)); });
}

} // namespace avm1
