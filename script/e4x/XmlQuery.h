#pragma once

// Reading a tree: the selections behind child(), elements(), attributes(),
// descendants() and the kind filters, and the content tests.
#include "XmlNode.h"

#include <span>
#include <string_view>
#include <vector>

namespace script::e4x {

// "element", "attribute", "text", "comment", "processing-instruction".
std::u16string_view nodeKindName(XmlKind kind);

// An element with no element children, text and attributes; never comments and
// instructions.
bool hasSimpleContent(const XmlNode& node);
// An element with an element child.
bool hasComplexContent(const XmlNode& node);
// A list of one item asks the item; otherwise simple when it holds no element.
bool hasSimpleContent(std::span<XmlNode* const> list);
// A list of one item asks the item; otherwise complex when it holds an element.
bool hasComplexContent(std::span<XmlNode* const> list);

// Whether a child matches a property name: `*` with any namespace takes every kind
// of child, anything else only elements of that local name and namespace.
bool matchesChild(const XmlNode& node, const XmlNameTest& test);
bool matchesAttribute(const XmlNode& attribute, const XmlNameTest& test);

// x.name, x.* and child(): the children that match.
std::vector<XmlNode*> childrenNamed(const XmlNode& node, const XmlNameTest& test);
// elements(): element children that match (`*` takes elements only).
std::vector<XmlNode*> elementsNamed(const XmlNode& node, const XmlNameTest& test);
// x.@name, attribute() and attributes().
std::vector<XmlNode*> attributesNamed(const XmlNode& node, const XmlNameTest& test);
// x..name and x..@name: matching nodes below `node` (not itself), in document order.
// Attributes: `node`'s own, then each descendant's, in order.
std::vector<XmlNode*> descendantsNamed(const XmlNode& node, const XmlNameTest& test,
                                       bool attributes);
// text(), comments(), processingInstructions(name).
std::vector<XmlNode*> textChildren(const XmlNode& node);
std::vector<XmlNode*> commentChildren(const XmlNode& node);
std::vector<XmlNode*> processingInstructionChildren(const XmlNode& node, const XmlNameTest& test);

} // namespace script::e4x
