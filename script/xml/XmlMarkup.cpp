#include "XmlMarkup.h"

namespace script::xml {

void appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
}

void appendStartTagOpen(std::string& out, std::string_view name)
{
    out += '<';
    out += name;
}

void appendAttribute(std::string& out, std::string_view name, std::string_view value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendEscaped(out, value);
    out += '"';
}

void appendStartTagClose(std::string& out, bool hasChildren)
{
    out += hasChildren ? ">" : " />";
}

void appendEndTag(std::string& out, std::string_view name)
{
    out += "</";
    out += name;
    out += '>';
}

} // namespace script::xml
