#pragma once

// Namespaces on nodes: what is in scope, what a node declares, and the methods that
// rename a node or change its declarations while keeping the two consistent.
#include "XmlNode.h"

#include <optional>
#include <vector>

namespace script::e4x {

// The namespaces visible at `node`: its own declarations, then each ancestor's whose
// prefix is not declared nearer. Non-elements see their parent's.
std::vector<XmlNamespace> inScopeNamespaces(const XmlNode& node);
// The declarations of `node` that do not repeat one visible at its parent.
std::vector<XmlNamespace> namespaceDeclarations(const XmlNode& node);

// The namespace of the node's name, with the prefix a visible declaration gives its
// URI (the name's own prefix first), else the name's prefix hint.
XmlNamespace namespaceOf(const XmlNode& node);
// The visible namespace bound to `prefix`, if any (namespace("p")).
std::optional<XmlNamespace> namespaceForPrefix(const XmlNode& node, std::u16string_view prefix);

// Declares `ns` on an element (addNamespace). A namespace without a prefix is not
// declared; the empty prefix is not bound on an element in no namespace. A
// declaration of the same prefix is replaced, and the node's and its attributes'
// names lose that prefix hint when it now means another URI.
XmlStatus addInScopeNamespace(XmlNode& node, const XmlNamespace& ns);
// Takes the declaration out of the element and its descendants, unless the node's
// own name or an attribute's uses its URI (removeNamespace). Without a prefix every
// declaration of the URI goes.
void removeNamespace(XmlNode& node, const XmlNamespace& ns);

// setNamespace: the name takes `ns`'s URI, and the element (an attribute's parent)
// declares it. Text and comments are left alone.
XmlStatus setNamespace(XmlNode& node, const XmlNamespace& ns);
// setName: text and comments are left alone; a processing instruction's name has no
// namespace; an element (an attribute's parent) declares the name's namespace.
XmlStatus setName(XmlNode& node, XmlName name);
// setLocalName: the local name alone; text and comments are left alone.
void setLocalName(XmlNode& node, std::u16string localName);

} // namespace script::e4x
