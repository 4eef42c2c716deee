#pragma once

// XMLNode's namespace properties, read from the xmlns attributes of the node and its
// ancestors as scripts see them now (script/xml/XmlNames.h reads the declarations). The
// first declaration of a prefix on a node, in attribute order, is the one that counts.

#include "avm1/Value.h"

#include <string_view>

namespace avm1 {

class Vm;
class XmlNode;

// The part of the name before its first colon ("" without one); null without a name.
Value xmlPrefix(Vm& vm, XmlNode* node);
// The part after it (the whole name without one); null without a name.
Value xmlLocalName(Vm& vm, XmlNode* node);
// The namespace the node's prefix stands for: null for a node without a name or a
// prefix nothing declares, "" for a plain name without a default namespace.
Value xmlNamespaceUri(Vm& vm, XmlNode* node);
// The nearest declaration of `prefix`; null when there is none.
Value xmlNamespaceForPrefix(Vm& vm, XmlNode* node, std::string_view prefix);
// The prefix the nearest declaration of `uri` gives; null when there is none.
Value xmlPrefixForNamespace(Vm& vm, XmlNode* node, std::string_view uri);

} // namespace avm1
