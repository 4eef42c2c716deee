#pragma once

// The legacy XML reader (ActionScript 2's XML, ActionScript 3's flash.xml.XMLDocument):
// markup to a flat list of nodes, with the status codes XML.status reports. It is
// lenient where the reference is (no check of name characters, undeclared entities
// kept as written) and stops at the first error, keeping what it read before it.
// XmlMarkup.h writes markup back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace script::xml {

// XML.status.
enum class ParseStatus : std::int8_t {
    Ok = 0,
    CdataUnterminated = -2,
    DeclarationUnterminated = -3,
    DoctypeUnterminated = -4,
    CommentUnterminated = -5,
    ElementMalformed = -6,
    OutOfMemory = -7, // a cap of Limits.h was reached
    AttributeUnterminated = -8,
    ElementUnclosed = -9,
    EndTagUnmatched = -10,
};

struct ParsedAttribute {
    std::string name;
    std::string value; // entities decoded
};

struct ParsedNode {
    bool text = false;
    std::string nameOrValue;                 // an element's name, a text node's decoded text
    std::vector<ParsedAttribute> attributes; // in document order, first of each name kept
    std::int32_t parent = -1;                // index in ParsedDocument::nodes; -1 the document
};

struct ParsedDocument {
    // In document order: every node comes after its parent.
    std::vector<ParsedNode> nodes;
    ParseStatus status = ParseStatus::Ok;
    // The declarations' text as written, when the markup had any.
    std::optional<std::string> xmlDecl;
    std::optional<std::string> docTypeDecl;
};

// `ignoreWhite` drops text nodes made of white space alone.
ParsedDocument parse(std::string_view markup, bool ignoreWhite);

// The five predefined entities and character references decoded; anything else stays.
std::string decodeEntities(std::string_view text);

} // namespace script::xml
