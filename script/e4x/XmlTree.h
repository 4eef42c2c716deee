#pragma once

// Whole-tree algorithms: copy, comparison, normalize. Each walks with its own stack.
#include "XmlNode.h"

namespace script::e4x {

// copy(): the node and everything below it, declarations included, with no parent.
XmlNode* deepCopy(Heap& heap, const XmlNode& node);

// The XML == of two nodes: same kind, name, value, attributes (in any order) and
// children in order. Declarations and prefixes do not count.
bool deepEquals(const XmlNode& a, const XmlNode& b);

// normalize(): below `node`, adjacent text children merge into the first and text
// children of whitespace alone go.
void normalize(XmlNode& node);

} // namespace script::e4x
