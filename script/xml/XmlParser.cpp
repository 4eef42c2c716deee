#include "XmlParser.h"

#include "script/Limits.h"
#include "script/Utf8.h"

#include <algorithm>

namespace script::xml {

namespace {

bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool allWhite(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isWhite);
}

// The character a reference body ("#65", "#x41") stands for, if it is one.
std::optional<std::uint32_t> characterReference(std::string_view body)
{
    if (body.size() < 2 || body[0] != '#')
        return std::nullopt;
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    // Eight digits reach past the last code point in either base.
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t code = 0;
    for (char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

class Reader {
public:
    Reader(std::string_view markup, bool ignoreWhite) : m_in(markup), m_ignoreWhite(ignoreWhite) {}

    ParsedDocument run()
    {
        while (m_pos < m_in.size() && m_doc.status == ParseStatus::Ok) {
            if (m_in[m_pos] != '<')
                readText();
            else if (at("<!--"))
                skipPast("-->", 4, ParseStatus::CommentUnterminated);
            else if (at("<![CDATA["))
                readCdata();
            else if (at("<?"))
                readDeclaration();
            else if (at("<!"))
                readDoctype();
            else if (at("</"))
                readEndTag();
            else
                readStartTag();
        }
        if (m_doc.status == ParseStatus::Ok && !m_open.empty())
            m_doc.status = ParseStatus::ElementUnclosed;
        return std::move(m_doc);
    }

private:
    bool at(std::string_view text) const { return m_in.substr(m_pos).starts_with(text); }
    void fail(ParseStatus status) { m_doc.status = status; }
    std::int32_t currentParent() const { return m_open.empty() ? -1 : m_open.back(); }
    void skipWhite(std::size_t& i) const
    {
        while (i < m_in.size() && isWhite(m_in[i]))
            ++i;
    }

    bool addNode(ParsedNode node)
    {
        if (m_doc.nodes.size() >= limits::kMaxXmlParsedNodes) {
            fail(ParseStatus::OutOfMemory);
            return false;
        }
        node.parent = currentParent();
        m_doc.nodes.push_back(std::move(node));
        return true;
    }

    void addText(std::string_view raw, bool decode)
    {
        if (m_ignoreWhite && allWhite(raw))
            return;
        ParsedNode node;
        node.text = true;
        node.nameOrValue = decode ? decodeEntities(raw) : std::string(raw);
        addNode(std::move(node));
    }

    void readText()
    {
        const std::size_t end = std::min(m_in.find('<', m_pos), m_in.size());
        addText(m_in.substr(m_pos, end - m_pos), true);
        m_pos = end;
    }

    // Moves past the next `terminator` after an opening of `openLength` characters;
    // returns the position of the terminator, or npos after failing with `status`.
    std::size_t skipPast(std::string_view terminator, std::size_t openLength, ParseStatus status)
    {
        const std::size_t end = m_in.find(terminator, m_pos + openLength);
        if (end == std::string_view::npos) {
            fail(status);
            return end;
        }
        m_pos = end + terminator.size();
        return end;
    }

    void readCdata()
    {
        const std::size_t start = m_pos + 9;
        const std::size_t end = skipPast("]]>", 9, ParseStatus::CdataUnterminated);
        if (end != std::string_view::npos)
            addText(m_in.substr(start, end - start), false);
    }

    void readDeclaration()
    {
        const std::size_t start = m_pos;
        if (skipPast("?>", 2, ParseStatus::DeclarationUnterminated) == std::string_view::npos)
            return;
        if (!m_doc.xmlDecl)
            m_doc.xmlDecl.emplace();
        m_doc.xmlDecl->append(m_in.substr(start, m_pos - start));
    }

    // <!DOCTYPE ...>, whose internal subset in brackets and quoted strings may hold '>'.
    void readDoctype()
    {
        int brackets = 0;
        char quote = 0;
        for (std::size_t i = m_pos + 2; i < m_in.size(); ++i) {
            const char c = m_in[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++brackets;
            } else if (c == ']') {
                brackets = std::max(0, brackets - 1);
            } else if (c == '>' && brackets == 0) {
                m_doc.docTypeDecl = std::string(m_in.substr(m_pos, i + 1 - m_pos));
                m_pos = i + 1;
                return;
            }
        }
        fail(ParseStatus::DoctypeUnterminated);
    }

    std::string_view readName(std::size_t& i) const
    {
        const std::size_t start = i;
        while (i < m_in.size() && !isWhite(m_in[i]) && m_in[i] != '>' && m_in[i] != '/' &&
               m_in[i] != '=')
            ++i;
        return m_in.substr(start, i - start);
    }

    void readStartTag()
    {
        std::size_t i = m_pos + 1;
        ParsedNode element;
        element.nameOrValue = std::string(readName(i));
        if (element.nameOrValue.empty())
            return fail(ParseStatus::ElementMalformed);
        bool empty = false;
        for (;;) {
            skipWhite(i);
            if (i >= m_in.size())
                return fail(ParseStatus::ElementMalformed);
            if (m_in[i] == '>') {
                ++i;
                break;
            }
            if (m_in[i] == '/') {
                if (i + 1 >= m_in.size() || m_in[i + 1] != '>')
                    return fail(ParseStatus::ElementMalformed);
                i += 2;
                empty = true;
                break;
            }
            if (!readAttribute(i, element))
                return;
        }
        if (m_open.size() >= limits::kMaxXmlDepth)
            return fail(ParseStatus::OutOfMemory);
        if (!addNode(std::move(element)))
            return;
        if (!empty)
            m_open.push_back(static_cast<std::int32_t>(m_doc.nodes.size() - 1));
        m_pos = i;
    }

    bool readAttribute(std::size_t& i, ParsedNode& element)
    {
        const std::string_view name = readName(i);
        if (name.empty()) {
            fail(ParseStatus::ElementMalformed);
            return false;
        }
        skipWhite(i);
        if (i >= m_in.size() || m_in[i] != '=') {
            fail(ParseStatus::ElementMalformed);
            return false;
        }
        ++i;
        skipWhite(i);
        if (i >= m_in.size() || (m_in[i] != '"' && m_in[i] != '\'')) {
            fail(ParseStatus::ElementMalformed);
            return false;
        }
        const char quote = m_in[i];
        const std::size_t end = m_in.find(quote, i + 1);
        if (end == std::string_view::npos) {
            fail(ParseStatus::AttributeUnterminated);
            return false;
        }
        const std::string_view raw = m_in.substr(i + 1, end - i - 1);
        i = end + 1;
        auto& attributes = element.attributes;
        const bool seen = std::any_of(attributes.begin(), attributes.end(),
                                      [&](const ParsedAttribute& a) { return a.name == name; });
        if (seen)
            return true;
        if (attributes.size() >= limits::kMaxXmlAttributes) {
            fail(ParseStatus::OutOfMemory);
            return false;
        }
        attributes.push_back({std::string(name), decodeEntities(raw)});
        return true;
    }

    void readEndTag()
    {
        std::size_t i = m_pos + 2;
        const std::string_view name = readName(i);
        skipWhite(i);
        if (i >= m_in.size() || m_in[i] != '>')
            return fail(ParseStatus::ElementMalformed);
        m_pos = i + 1;
        if (!m_open.empty() && m_doc.nodes[m_open.back()].nameOrValue == name) {
            m_open.pop_back();
            return;
        }
        // Closing an outer element leaves the inner ones unclosed; a name that no open
        // element has closes nothing.
        const bool outer = std::any_of(m_open.begin(), m_open.end(), [&](std::int32_t index) {
            return m_doc.nodes[index].nameOrValue == name;
        });
        fail(outer ? ParseStatus::ElementUnclosed : ParseStatus::EndTagUnmatched);
    }

    std::string_view m_in;
    std::size_t m_pos = 0;
    bool m_ignoreWhite;
    ParsedDocument m_doc;
    std::vector<std::int32_t> m_open;
};

} // namespace

ParsedDocument parse(std::string_view markup, bool ignoreWhite)
{
    return Reader(markup, ignoreWhite).run();
}

std::string decodeEntities(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t amp = text.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, amp - i));
        // The longest known body is a character reference of eight digits: "#x" and 8.
        const std::size_t semicolon = text.substr(amp, 12).find(';');
        if (semicolon == std::string_view::npos) {
            out += '&';
            i = amp + 1;
            continue;
        }
        const std::string_view body = text.substr(amp + 1, semicolon - 1);
        i = amp + semicolon + 1;
        if (body == "lt")
            out += '<';
        else if (body == "gt")
            out += '>';
        else if (body == "amp")
            out += '&';
        else if (body == "quot")
            out += '"';
        else if (body == "apos")
            out += '\'';
        else if (const auto code = characterReference(body))
            appendUtf8(out, *code);
        else
            out.append(text.substr(amp, semicolon + 1));
    }
    return out;
}

} // namespace script::xml
