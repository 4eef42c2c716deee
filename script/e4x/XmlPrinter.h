#pragma once

// Nodes to text: toXMLString and toString of XML and XMLList. The printer walks with
// its own stack, so any depth prints; the text is capped by kMaxXmlPrintedChars.
#include "XmlNode.h"
#include "XmlSettings.h"

#include <span>
#include <string>
#include <string_view>

namespace script::e4x {

// The node as markup. An element declares every namespace in scope at it that its
// ancestors in the print do not (for the printed root: everything in scope, its
// ancestors' declarations included), and any its own name or its attributes need
// that nothing declares. With prettyPrinting, an element whose content is more than
// one text goes one child a line, indented by prettyIndent a level; text is trimmed.
// An attribute prints as its escaped value.
XmlResult<std::u16string> toXmlString(const XmlNode& node, const XmlSettings& settings);
// The nodes one after another, a line each (with or without prettyPrinting).
XmlResult<std::u16string> toXmlString(std::span<XmlNode* const> list, const XmlSettings& settings);

// The node as a String: text and attributes give their value, an element of simple
// content its text (comments and instructions left out), anything else its markup.
XmlResult<std::u16string> toString(const XmlNode& node, const XmlSettings& settings);
// A list of simple content gives its items' text one after another, else its markup.
XmlResult<std::u16string> toString(std::span<XmlNode* const> list, const XmlSettings& settings);

// `<`, `>` and `&` as references.
std::u16string escapeElementValue(std::u16string_view text);
// `&`, `<`, `"` and the line breaks and tab as references.
std::u16string escapeAttributeValue(std::u16string_view text);

} // namespace script::e4x
