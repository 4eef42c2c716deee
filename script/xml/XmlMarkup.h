#pragma once

// Writing the legacy XML tree back as markup (XML.toString, XMLDocument.toString):
// the pieces of a node, each machine walking its own tree.
#include <string>
#include <string_view>

namespace script::xml {

// Text and attribute values as toString writes them: & < > " ' as entities.
void appendEscaped(std::string& out, std::string_view text);

// `<name`, then one ` name="value"` for each attribute, the value escaped.
void appendStartTagOpen(std::string& out, std::string_view name);
void appendAttribute(std::string& out, std::string_view name, std::string_view value);
// What ends a start tag: `>` before children, ` />` for an element without any.
void appendStartTagClose(std::string& out, bool hasChildren);
void appendEndTag(std::string& out, std::string_view name);

} // namespace script::xml
