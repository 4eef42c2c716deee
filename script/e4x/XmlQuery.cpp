#include "XmlQuery.h"

#include <algorithm>

namespace script::e4x {

namespace {

bool nameMatches(const XmlName& name, const XmlNameTest& test)
{
    return (test.anyLocalName() || test.localName == name.localName) &&
           (!test.uri || *test.uri == name.uri);
}

template <typename Keep> std::vector<XmlNode*> childrenWhere(const XmlNode& node, const Keep& keep)
{
    std::vector<XmlNode*> out;
    for (XmlNode* child : node.children())
        if (keep(*child))
            out.push_back(child);
    return out;
}

} // namespace

std::u16string_view nodeKindName(XmlKind kind)
{
    switch (kind) {
    case XmlKind::Element:
        return u"element";
    case XmlKind::Attribute:
        return u"attribute";
    case XmlKind::Text:
        return u"text";
    case XmlKind::Comment:
        return u"comment";
    case XmlKind::ProcessingInstruction:
        return u"processing-instruction";
    }
    return u"text";
}

bool hasSimpleContent(const XmlNode& node)
{
    switch (node.kind()) {
    case XmlKind::Comment:
    case XmlKind::ProcessingInstruction:
        return false;
    case XmlKind::Element:
        return !hasComplexContent(node);
    default:
        return true;
    }
}

bool hasComplexContent(const XmlNode& node)
{
    return node.isElement() && std::any_of(node.children().begin(), node.children().end(),
                                           [](const XmlNode* c) { return c->isElement(); });
}

bool hasSimpleContent(std::span<XmlNode* const> list)
{
    if (list.size() == 1)
        return hasSimpleContent(*list.front());
    return std::none_of(list.begin(), list.end(), [](const XmlNode* n) { return n->isElement(); });
}

bool hasComplexContent(std::span<XmlNode* const> list)
{
    if (list.size() == 1)
        return hasComplexContent(*list.front());
    return std::any_of(list.begin(), list.end(), [](const XmlNode* n) { return n->isElement(); });
}

bool matchesChild(const XmlNode& node, const XmlNameTest& test)
{
    if (!node.isElement())
        return test.anyLocalName() && !test.uri;
    return nameMatches(node.name(), test);
}

bool matchesAttribute(const XmlNode& attribute, const XmlNameTest& test)
{
    return attribute.isAttribute() && nameMatches(attribute.name(), test);
}

std::vector<XmlNode*> childrenNamed(const XmlNode& node, const XmlNameTest& test)
{
    return childrenWhere(node, [&](const XmlNode& c) { return matchesChild(c, test); });
}

std::vector<XmlNode*> elementsNamed(const XmlNode& node, const XmlNameTest& test)
{
    return childrenWhere(
        node, [&](const XmlNode& c) { return c.isElement() && nameMatches(c.name(), test); });
}

std::vector<XmlNode*> attributesNamed(const XmlNode& node, const XmlNameTest& test)
{
    std::vector<XmlNode*> out;
    for (XmlNode* attribute : node.attributes())
        if (matchesAttribute(*attribute, test))
            out.push_back(attribute);
    return out;
}

std::vector<XmlNode*> descendantsNamed(const XmlNode& node, const XmlNameTest& test,
                                       bool attributes)
{
    std::vector<XmlNode*> out;
    // Pre-order with a stack of (element, next child): any depth, no recursion.
    std::vector<std::pair<const XmlNode*, std::size_t>> stack;
    if (attributes) {
        auto own = attributesNamed(node, test);
        out.insert(out.end(), own.begin(), own.end());
    }
    stack.emplace_back(&node, 0);
    while (!stack.empty()) {
        auto& [parent, next] = stack.back();
        if (next == parent->children().size()) {
            stack.pop_back();
            continue;
        }
        XmlNode* child = parent->children()[next++];
        if (attributes) {
            for (XmlNode* attribute : child->attributes())
                if (matchesAttribute(*attribute, test))
                    out.push_back(attribute);
        } else if (matchesChild(*child, test)) {
            out.push_back(child);
        }
        if (!child->children().empty())
            stack.emplace_back(child, 0);
    }
    return out;
}

std::vector<XmlNode*> textChildren(const XmlNode& node)
{
    return childrenWhere(node, [](const XmlNode& c) { return c.isText(); });
}

std::vector<XmlNode*> commentChildren(const XmlNode& node)
{
    return childrenWhere(node, [](const XmlNode& c) { return c.kind() == XmlKind::Comment; });
}

std::vector<XmlNode*> processingInstructionChildren(const XmlNode& node, const XmlNameTest& test)
{
    return childrenWhere(node, [&](const XmlNode& c) {
        return c.kind() == XmlKind::ProcessingInstruction && nameMatches(c.name(), test);
    });
}

} // namespace script::e4x
