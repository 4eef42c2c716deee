#include "XmlNode.h"

#include "script/Limits.h"

#include <algorithm>

namespace script::e4x {

XmlNode* XmlNode::makeElement(Heap& heap, XmlName name)
{
    XmlNode* node = make(heap, XmlKind::Element);
    node->m_name = std::move(name);
    return node;
}

XmlNode* XmlNode::makeText(Heap& heap, std::u16string value)
{
    XmlNode* node = make(heap, XmlKind::Text);
    node->m_value = std::move(value);
    return node;
}

bool XmlNode::isAncestorOrSelfOf(const XmlNode* node) const
{
    // Without children, only itself: a parse appending fresh nodes skips the walk.
    if (m_children.empty())
        return node == this;
    // The parent chain ends: the tree stays a tree, each insert checks this.
    for (; node; node = node->m_parent)
        if (node == this)
            return true;
    return false;
}

std::ptrdiff_t XmlNode::childIndex() const
{
    if (!m_parent || m_kind == XmlKind::Attribute)
        return -1;
    const auto& siblings = m_parent->m_children;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : it - siblings.begin();
}

void XmlNode::detach()
{
    if (!m_parent)
        return;
    auto& list = m_kind == XmlKind::Attribute ? m_parent->m_attributes : m_parent->m_children;
    std::erase(list, this);
    m_parent = nullptr;
}

XmlStatus XmlNode::insertChild(std::size_t index, XmlNode* child)
{
    if (!isElement() || !child)
        return XmlOk{};
    if (child->isAttribute())
        return XmlError{XmlErrorId::MalformedElement, {}, {}};
    if (child->isAncestorOrSelfOf(this))
        return XmlError{XmlErrorId::IllegalCyclicalLoop, {}, {}};
    if (child->m_parent == this) {
        // A move inside the list: the index counts the list without the child.
        const auto old = static_cast<std::size_t>(child->childIndex());
        if (old < index)
            --index;
    } else if (m_children.size() >= limits::kMaxXmlChildren) {
        return XmlError{XmlErrorId::TooLarge, {}, {}};
    }
    child->detach();
    index = std::min(index, m_children.size());
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(index), child);
    child->m_parent = this;
    return XmlOk{};
}

XmlStatus XmlNode::replaceChild(std::size_t index, XmlNode* child)
{
    if (!isElement() || !child)
        return XmlOk{};
    if (index >= m_children.size())
        return appendChild(child);
    if (m_children[index] == child)
        return XmlOk{};
    if (child->isAttribute())
        return XmlError{XmlErrorId::MalformedElement, {}, {}};
    if (child->isAncestorOrSelfOf(this))
        return XmlError{XmlErrorId::IllegalCyclicalLoop, {}, {}};
    XmlNode* old = m_children[index];
    // The new child may sit earlier in this same list: find the old one again after.
    child->detach();
    const auto at = std::find(m_children.begin(), m_children.end(), old);
    *at = child;
    child->m_parent = this;
    old->m_parent = nullptr;
    return XmlOk{};
}

XmlNode* XmlNode::removeChildAt(std::size_t index)
{
    if (index >= m_children.size())
        return nullptr;
    XmlNode* child = m_children[index];
    m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(index));
    child->m_parent = nullptr;
    return child;
}

void XmlNode::removeChild(XmlNode* child)
{
    if (child && child->m_parent == this && !child->isAttribute())
        child->detach();
}

void XmlNode::clearChildren()
{
    for (XmlNode* child : m_children)
        child->m_parent = nullptr;
    m_children.clear();
}

XmlNode* XmlNode::attribute(const XmlName& name) const
{
    for (XmlNode* attribute : m_attributes)
        if (attribute->m_name.sameName(name))
            return attribute;
    return nullptr;
}

XmlStatus XmlNode::setAttribute(Heap& heap, const XmlName& name, std::u16string value)
{
    if (!isElement())
        return XmlOk{};
    if (XmlNode* existing = attribute(name)) {
        existing->m_value = std::move(value);
        return XmlOk{};
    }
    XmlNode* created = make(heap, XmlKind::Attribute);
    created->m_name = name;
    created->m_value = std::move(value);
    return adoptAttribute(created);
}

XmlStatus XmlNode::adoptAttribute(XmlNode* attribute)
{
    if (!isElement() || !attribute || !attribute->isAttribute())
        return XmlOk{};
    if (m_attributes.size() >= limits::kMaxE4xAttributes)
        return XmlError{XmlErrorId::TooLarge, {}, {}};
    attribute->detach();
    m_attributes.push_back(attribute);
    attribute->m_parent = this;
    return XmlOk{};
}

bool XmlNode::removeAttribute(const XmlNode* attribute)
{
    const auto it = std::find(m_attributes.begin(), m_attributes.end(), attribute);
    if (it == m_attributes.end())
        return false;
    (*it)->m_parent = nullptr;
    m_attributes.erase(it);
    return true;
}

void XmlNode::traceChildren(Tracer& tracer)
{
    tracer.mark(m_parent);
    tracer.mark(m_wrapper);
    for (XmlNode* child : m_children)
        tracer.mark(child);
    for (XmlNode* attribute : m_attributes)
        tracer.mark(attribute);
}

std::size_t XmlNode::extraBytes() const
{
    std::size_t bytes = (m_value.capacity() + m_name.localName.capacity() + m_name.uri.capacity()) *
                        sizeof(char16_t);
    bytes += (m_children.capacity() + m_attributes.capacity()) * sizeof(XmlNode*);
    bytes += m_namespaces.capacity() * sizeof(XmlNamespace);
    return bytes;
}

} // namespace script::e4x
