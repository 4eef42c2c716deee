#pragma once

// The node of an E4X tree: element, attribute, text, comment or processing instruction.
// Nodes are cells of the script heap, so a tree and the VM objects that wrap its nodes
// are traced together: a child keeps its parent alive (parent() works on a node held
// alone), cycles between a node and its wrapper cost nothing, and no tree, however deep,
// is freed by recursion. The tree stays a tree: a node sits in at most one parent's
// list, and inserting it elsewhere takes it out of the old one.
#include "XmlError.h"
#include "XmlName.h"
#include "script/gc/Heap.h"

#include <cstddef>
#include <string>
#include <vector>

namespace script::e4x {

enum class XmlKind : std::uint8_t { Element, Attribute, Text, Comment, ProcessingInstruction };

class XmlNode final : public Cell {
public:
    explicit XmlNode(XmlKind kind) : m_kind(kind) {}

    static XmlNode* make(Heap& heap, XmlKind kind) { return heap.make<XmlNode>(kind); }
    static XmlNode* makeElement(Heap& heap, XmlName name);
    static XmlNode* makeText(Heap& heap, std::u16string value);

    XmlKind kind() const { return m_kind; }
    bool isElement() const { return m_kind == XmlKind::Element; }
    bool isText() const { return m_kind == XmlKind::Text; }
    bool isAttribute() const { return m_kind == XmlKind::Attribute; }

    // Elements, attributes and processing instructions (the target as local name) have
    // names; text and comments have an empty one.
    const XmlName& name() const { return m_name; }
    XmlName& name() { return m_name; }
    // Text, comments, attributes and processing instructions hold a value.
    const std::u16string& value() const { return m_value; }
    void setValue(std::u16string value) { m_value = std::move(value); }

    XmlNode* parent() const { return m_parent; }
    const std::vector<XmlNode*>& children() const { return m_children; }
    const std::vector<XmlNode*>& attributes() const { return m_attributes; }
    // The namespaces this element declares (its xmlns attributes), in order.
    const std::vector<XmlNamespace>& namespaces() const { return m_namespaces; }
    std::vector<XmlNamespace>& namespaces() { return m_namespaces; }

    // The VM's object for this node, so that the same node always gives the same
    // object (===). The node keeps it alive; it keeps the node alive.
    Cell* wrapper() const { return m_wrapper; }
    void setWrapper(Cell* wrapper) { m_wrapper = wrapper; }

    // Whether this node is `node` or one of its ancestors.
    bool isAncestorOrSelfOf(const XmlNode* node) const;
    // Position in the parent's children, or -1 (attributes, roots).
    std::ptrdiff_t childIndex() const;

    // Children. Only elements have them: on other kinds these do nothing. `child`
    // leaves its old parent first; an attribute cannot be a child (MalformedElement:
    // the VM makes text of it first). Inserting an
    // ancestor (or the node itself) fails with IllegalCyclicalLoop. An index past the
    // end appends.
    XmlStatus insertChild(std::size_t index, XmlNode* child);
    XmlStatus appendChild(XmlNode* child) { return insertChild(m_children.size(), child); }
    XmlStatus replaceChild(std::size_t index, XmlNode* child);
    // The child taken out (its parent cleared), or null past the end.
    XmlNode* removeChildAt(std::size_t index);
    void removeChild(XmlNode* child);
    void clearChildren();
    // Takes out, in one pass, the children `drop` picks (it sees them in order).
    template <typename Drop> void removeChildrenIf(Drop drop)
    {
        std::erase_if(m_children, [&](XmlNode* child) {
            if (!drop(child))
                return false;
            child->m_parent = nullptr;
            return true;
        });
    }

    // Attributes, one per name (URI and local name).
    XmlNode* attribute(const XmlName& name) const;
    // Sets the value of the attribute of that name, adding it when missing.
    XmlStatus setAttribute(Heap& heap, const XmlName& name, std::u16string value);
    // Adds an attribute node (a fresh one, as a parse or a copy makes).
    XmlStatus adoptAttribute(XmlNode* attribute);
    bool removeAttribute(const XmlNode* attribute);

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override;

private:
    void detach();

    XmlKind m_kind;
    XmlName m_name;
    std::u16string m_value;
    XmlNode* m_parent = nullptr;
    std::vector<XmlNode*> m_children;
    std::vector<XmlNode*> m_attributes;
    std::vector<XmlNamespace> m_namespaces;
    Cell* m_wrapper = nullptr;
};

} // namespace script::e4x
