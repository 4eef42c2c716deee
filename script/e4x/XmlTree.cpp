#include "XmlTree.h"

#include "XmlParser.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace script::e4x {

namespace {

XmlNode* copyAlone(Heap& heap, const XmlNode& node)
{
    XmlNode* copy = XmlNode::make(heap, node.kind());
    copy->name() = node.name();
    copy->setValue(node.value());
    copy->namespaces() = node.namespaces();
    for (const XmlNode* attribute : node.attributes()) {
        XmlNode* attributeCopy = XmlNode::make(heap, XmlKind::Attribute);
        attributeCopy->name() = attribute->name();
        attributeCopy->setValue(attribute->value());
        // The source element held as many, so the caps hold for the copy.
        (void)copy->adoptAttribute(attributeCopy);
    }
    return copy;
}

bool sameAlone(const XmlNode& a, const XmlNode& b)
{
    if (a.kind() != b.kind() || !a.name().sameName(b.name()) || a.value() != b.value())
        return false;
    if (a.attributes().size() != b.attributes().size() ||
        a.children().size() != b.children().size())
        return false;
    for (const XmlNode* attribute : a.attributes()) {
        const XmlNode* other = b.attribute(attribute->name());
        if (!other || other->value() != attribute->value())
            return false;
    }
    return true;
}

} // namespace

XmlNode* deepCopy(Heap& heap, const XmlNode& node)
{
    XmlNode* root = copyAlone(heap, node);
    std::vector<std::pair<const XmlNode*, XmlNode*>> pending{{&node, root}};
    while (!pending.empty()) {
        const auto [source, target] = pending.back();
        pending.pop_back();
        for (const XmlNode* child : source->children()) {
            XmlNode* childCopy = copyAlone(heap, *child);
            (void)target->appendChild(childCopy); // fresh nodes: no loop, within the caps
            if (!child->children().empty())
                pending.emplace_back(child, childCopy);
        }
    }
    return root;
}

bool deepEquals(const XmlNode& a, const XmlNode& b)
{
    std::vector<std::pair<const XmlNode*, const XmlNode*>> pending{{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x == y)
            continue;
        if (!sameAlone(*x, *y))
            return false;
        for (std::size_t i = 0; i < x->children().size(); ++i)
            pending.emplace_back(x->children()[i], y->children()[i]);
    }
    return true;
}

void normalize(XmlNode& node)
{
    std::vector<XmlNode*> pending{&node};
    std::vector<bool> drop;
    while (!pending.empty()) {
        XmlNode* element = pending.back();
        pending.pop_back();
        const auto& children = element->children();
        // Each run of text merges into its first node; the rest, and empty results, go
        // in one pass afterwards, so a long run costs no more than its length.
        drop.assign(children.size(), false);
        for (std::size_t i = 0; i < children.size(); ++i) {
            XmlNode* child = children[i];
            if (child->isElement())
                pending.push_back(child);
            if (!child->isText())
                continue;
            std::size_t end = i + 1;
            while (end < children.size() && children[end]->isText())
                ++end;
            if (end > i + 1) {
                std::u16string merged = child->value();
                for (std::size_t j = i + 1; j < end; ++j) {
                    merged += children[j]->value();
                    drop[j] = true;
                }
                child->setValue(std::move(merged));
            }
            drop[i] = trimXmlWhitespace(child->value()).empty();
            i = end - 1;
        }
        std::size_t at = 0;
        element->removeChildrenIf([&](const XmlNode*) { return drop[at++]; });
    }
}

} // namespace script::e4x
