#pragma once

// Text to nodes, as XML and XMLList read a String. The parser keeps its own stack of
// open elements (no recursion), resolves prefixes as it goes, and stops at the first
// error with the number and arguments the reference reports.
#include "XmlNode.h"
#include "XmlSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace script::e4x {

// The top-level nodes of `text`, each without a parent: elements, text and, when the
// settings keep them, comments and processing instructions. Unprefixed element names
// take `defaultUri` (the `default xml namespace`) unless an xmlns attribute says
// otherwise; unprefixed attributes are in no namespace. An XML declaration and a
// DOCTYPE are read and dropped. An `&` that starts no known reference stays as text.
XmlResult<std::vector<XmlNode*>> parseXmlList(Heap& heap, std::u16string_view text,
                                              const XmlSettings& settings,
                                              const std::u16string& defaultUri = {});

// The single node of `text`: an empty text gives an empty text node, a text without
// markup a text node, and more than one top-level node fails with MarkupAfterRoot.
// Whitespace beside the root is not content, whatever ignoreWhitespace says.
XmlResult<XmlNode*> parseXml(Heap& heap, std::u16string_view text, const XmlSettings& settings,
                             const std::u16string& defaultUri = {});

// Whether `name` can name an element or attribute: an NCName, or two joined by one
// colon when `allowPrefix`.
bool isXmlName(std::u16string_view name, bool allowPrefix);

bool isXmlWhitespace(char16_t c);
// `text` without the XML whitespace (space, tab, CR, LF) at either end.
std::u16string_view trimXmlWhitespace(std::u16string_view text);

} // namespace script::e4x
