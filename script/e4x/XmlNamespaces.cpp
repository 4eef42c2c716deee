#include "XmlNamespaces.h"

#include "script/Limits.h"

#include <algorithm>

namespace script::e4x {

namespace {

bool hasPrefix(const std::vector<XmlNamespace>& list, const std::u16string& prefix)
{
    return std::any_of(list.begin(), list.end(),
                       [&](const XmlNamespace& ns) { return ns.prefix == prefix; });
}

// The namespace a name has among `scope`: its own prefix's binding when that binds
// its URI, else the first binding of its URI, else one made from the name.
XmlNamespace namespaceAmong(const XmlName& name, const std::vector<XmlNamespace>& scope)
{
    const XmlNamespace* first = nullptr;
    for (const XmlNamespace& ns : scope) {
        if (ns.uri != name.uri)
            continue;
        if (name.prefix && ns.prefix == name.prefix)
            return ns;
        if (!first)
            first = &ns;
    }
    if (first)
        return *first;
    return XmlNamespace{name.prefix, name.uri};
}

bool usesNamespace(const XmlNode& element, const XmlNamespace& ns)
{
    if (element.name().uri == ns.uri)
        return true;
    return std::any_of(element.attributes().begin(), element.attributes().end(),
                       [&](const XmlNode* a) { return a->name().uri == ns.uri; });
}

} // namespace

std::vector<XmlNamespace> inScopeNamespaces(const XmlNode& node)
{
    std::vector<XmlNamespace> out;
    for (const XmlNode* at = &node; at; at = at->parent())
        for (const XmlNamespace& ns : at->namespaces())
            if (ns.prefix && !hasPrefix(out, *ns.prefix))
                out.push_back(ns);
    return out;
}

std::vector<XmlNamespace> namespaceDeclarations(const XmlNode& node)
{
    std::vector<XmlNamespace> out;
    if (!node.isElement())
        return out;
    const std::vector<XmlNamespace> above =
        node.parent() ? inScopeNamespaces(*node.parent()) : std::vector<XmlNamespace>{};
    for (const XmlNamespace& ns : node.namespaces()) {
        if (!ns.prefix || hasPrefix(out, *ns.prefix))
            continue;
        if (std::find(above.begin(), above.end(), ns) == above.end())
            out.push_back(ns);
    }
    return out;
}

XmlNamespace namespaceOf(const XmlNode& node)
{
    return namespaceAmong(node.name(), inScopeNamespaces(node));
}

std::optional<XmlNamespace> namespaceForPrefix(const XmlNode& node, std::u16string_view prefix)
{
    for (const XmlNamespace& ns : inScopeNamespaces(node))
        if (*ns.prefix == prefix)
            return ns;
    return std::nullopt;
}

XmlStatus addInScopeNamespace(XmlNode& node, const XmlNamespace& ns)
{
    if (!node.isElement() || !ns.prefix)
        return XmlOk{};
    if (ns.prefix->empty() && node.name().uri.empty())
        return XmlOk{};
    auto& declared = node.namespaces();
    const auto match = std::find_if(declared.begin(), declared.end(),
                                    [&](const XmlNamespace& d) { return d.prefix == ns.prefix; });
    if (match != declared.end()) {
        if (match->uri == ns.uri)
            return XmlOk{};
        declared.erase(match);
    } else if (declared.size() >= limits::kMaxXmlNamespaces) {
        return XmlError{XmlErrorId::TooLarge, {}, {}};
    }
    declared.push_back(ns);
    // A prefix hint that now names another URI would print the wrong namespace.
    if (node.name().prefix == ns.prefix && node.name().uri != ns.uri)
        node.name().prefix.reset();
    for (XmlNode* attribute : node.attributes())
        if (attribute->name().prefix == ns.prefix && attribute->name().uri != ns.uri)
            attribute->name().prefix.reset();
    return XmlOk{};
}

void removeNamespace(XmlNode& node, const XmlNamespace& ns)
{
    std::vector<XmlNode*> pending{&node};
    while (!pending.empty()) {
        XmlNode* element = pending.back();
        pending.pop_back();
        if (!element->isElement() || usesNamespace(*element, ns))
            continue;
        std::erase_if(element->namespaces(), [&](const XmlNamespace& d) {
            return d.uri == ns.uri && (!ns.prefix || d.prefix == ns.prefix);
        });
        for (XmlNode* child : element->children())
            if (child->isElement())
                pending.push_back(child);
    }
}

XmlStatus setNamespace(XmlNode& node, const XmlNamespace& ns)
{
    if (node.isText() || node.kind() == XmlKind::Comment ||
        node.kind() == XmlKind::ProcessingInstruction)
        return XmlOk{};
    node.name().uri = ns.uri;
    node.name().prefix = ns.prefix;
    if (node.isAttribute())
        return node.parent() ? addInScopeNamespace(*node.parent(), ns) : XmlStatus(XmlOk{});
    return addInScopeNamespace(node, ns);
}

XmlStatus setName(XmlNode& node, XmlName name)
{
    if (node.isText() || node.kind() == XmlKind::Comment)
        return XmlOk{};
    if (node.kind() == XmlKind::ProcessingInstruction) {
        name.uri.clear();
        name.prefix.reset();
        node.name() = std::move(name);
        return XmlOk{};
    }
    node.name() = std::move(name);
    const XmlNamespace ns = namespaceAmong(node.name(), inScopeNamespaces(node));
    if (node.isAttribute())
        return node.parent() ? addInScopeNamespace(*node.parent(), ns) : XmlStatus(XmlOk{});
    return addInScopeNamespace(node, ns);
}

void setLocalName(XmlNode& node, std::u16string localName)
{
    if (node.isText() || node.kind() == XmlKind::Comment)
        return;
    node.name().localName = std::move(localName);
}

} // namespace script::e4x
