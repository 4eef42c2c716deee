#include "XmlParser.h"

#include "script/Limits.h"

#include <algorithm>
#include <optional>

namespace script::e4x {

namespace {

bool isNameStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           c >= 0x80;
}

bool isNameChar(char16_t c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

bool isNcName(std::u16string_view name)
{
    if (name.empty() || !isNameStart(name[0]) || name[0] == u':')
        return false;
    for (char16_t c : name)
        if (!isNameChar(c) || c == u':')
            return false;
    return true;
}

bool equalsAsciiNoCase(std::u16string_view text, std::u16string_view lower)
{
    if (text.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != lower[i])
            return false;
    }
    return true;
}

void appendCodePoint(std::u16string& out, char32_t code)
{
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// The character a reference's body (between `&` and `;`) stands for, if it is one.
std::optional<char32_t> referencedCharacter(std::u16string_view body)
{
    if (body == u"amp")
        return U'&';
    if (body == u"lt")
        return U'<';
    if (body == u"gt")
        return U'>';
    if (body == u"quot")
        return U'"';
    if (body == u"apos")
        return U'\'';
    if (body.size() < 2 || body[0] != u'#')
        return std::nullopt;
    const bool hex = body[1] == u'x';
    const std::u16string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty())
        return std::nullopt;
    char32_t code = 0;
    for (char16_t c : digits) {
        unsigned digit = 0;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        code = code * (hex ? 16 : 10) + digit;
        if (code > 0x10FFFF)
            return std::nullopt;
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return code;
}

// The longest reference body worth looking for a `;` in (`#x10FFFF` and the names).
constexpr std::size_t kMaxReferenceBody = 10;

std::u16string decodeReferences(std::u16string_view raw)
{
    std::u16string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == u'&') {
            const std::size_t end = raw.find(u';', i + 1);
            if (end != std::u16string_view::npos && end - i - 1 <= kMaxReferenceBody) {
                if (const auto code = referencedCharacter(raw.substr(i + 1, end - i - 1))) {
                    appendCodePoint(out, *code);
                    i = end;
                    continue;
                }
            }
        }
        out.push_back(raw[i]);
    }
    return out;
}

XmlError error(XmlErrorId id, std::u16string argument = {}, std::u16string argument2 = {})
{
    return XmlError{id, std::move(argument), std::move(argument2)};
}

struct RawAttribute {
    std::u16string_view name;
    std::u16string value;
};

class Parser {
public:
    Parser(Heap& heap, std::u16string_view text, const XmlSettings& settings,
           const std::u16string& defaultUri)
        : m_heap(heap), m_text(text), m_settings(settings), m_defaultUri(defaultUri)
    {}

    XmlResult<std::vector<XmlNode*>> run()
    {
        while (m_pos < m_text.size()) {
            const XmlStatus step = m_text[m_pos] == u'<' ? markup() : text();
            if (!step)
                return step.error();
        }
        if (!m_open.empty())
            return error(XmlErrorId::UnterminatedElementTag, m_open.back().qname);
        return std::move(m_top);
    }

private:
    struct Open {
        XmlNode* element;
        std::u16string qname;
        std::size_t bindingCount;
    };

    bool startsWith(std::u16string_view prefix) const
    {
        return m_text.substr(m_pos).starts_with(prefix);
    }
    void skipWhitespace()
    {
        while (m_pos < m_text.size() && isXmlWhitespace(m_text[m_pos]))
            ++m_pos;
    }
    std::u16string_view readName()
    {
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && isNameStart(m_text[m_pos]))
            while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
                ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    XmlStatus add(XmlNode* node)
    {
        if (m_open.empty()) {
            m_top.push_back(node);
            return XmlOk{};
        }
        return m_open.back().element->appendChild(node);
    }

    XmlStatus text()
    {
        std::size_t end = m_text.find(u'<', m_pos);
        if (end == std::u16string_view::npos)
            end = m_text.size();
        std::u16string value = decodeReferences(m_text.substr(m_pos, end - m_pos));
        m_pos = end;
        if (m_settings.ignoreWhitespace)
            value = std::u16string(trimXmlWhitespace(value));
        if (value.empty())
            return XmlOk{};
        return add(XmlNode::makeText(m_heap, std::move(value)));
    }

    XmlStatus markup()
    {
        if (startsWith(u"<!--"))
            return comment();
        if (startsWith(u"<![CDATA["))
            return cdata();
        if (startsWith(u"<!"))
            return doctype();
        if (startsWith(u"<?"))
            return processingInstruction();
        if (startsWith(u"</"))
            return endTag();
        return startTag();
    }

    XmlStatus comment()
    {
        const std::size_t end = m_text.find(u"-->", m_pos + 4);
        if (end == std::u16string_view::npos)
            return error(XmlErrorId::UnterminatedComment);
        const std::u16string_view body = m_text.substr(m_pos + 4, end - m_pos - 4);
        m_pos = end + 3;
        if (m_settings.ignoreComments)
            return XmlOk{};
        XmlNode* node = XmlNode::make(m_heap, XmlKind::Comment);
        node->setValue(std::u16string(body));
        return add(node);
    }

    XmlStatus cdata()
    {
        const std::size_t start = m_pos + 9;
        const std::size_t end = m_text.find(u"]]>", start);
        if (end == std::u16string_view::npos)
            return error(XmlErrorId::UnterminatedCData);
        m_pos = end + 3;
        // Character data is kept as written, whitespace and all.
        if (end == start)
            return XmlOk{};
        return add(XmlNode::makeText(m_heap, std::u16string(m_text.substr(start, end - start))));
    }

    XmlStatus doctype()
    {
        // Up to the `>` outside the internal subset's brackets and outside quotes.
        std::size_t depth = 0;
        char16_t quote = 0;
        for (std::size_t i = m_pos + 2; i < m_text.size(); ++i) {
            const char16_t c = m_text[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'[') {
                ++depth;
            } else if (c == u']') {
                if (depth > 0)
                    --depth;
            } else if (c == u'>' && depth == 0) {
                m_pos = i + 1;
                return XmlOk{};
            }
        }
        return error(XmlErrorId::UnterminatedDoctype);
    }

    XmlStatus processingInstruction()
    {
        m_pos += 2;
        const std::u16string_view target = readName();
        const bool declaration = equalsAsciiNoCase(target, u"xml");
        const std::size_t end = m_text.find(u"?>", m_pos);
        if (end == std::u16string_view::npos)
            return error(declaration ? XmlErrorId::UnterminatedXmlDeclaration
                                     : XmlErrorId::UnterminatedProcessingInstruction);
        if (target.empty())
            return error(XmlErrorId::MalformedElement);
        skipWhitespace();
        const std::size_t bodyStart = std::min(m_pos, end);
        const std::u16string_view body = m_text.substr(bodyStart, end - bodyStart);
        m_pos = end + 2;
        if (declaration || m_settings.ignoreProcessingInstructions)
            return XmlOk{};
        XmlNode* node = XmlNode::make(m_heap, XmlKind::ProcessingInstruction);
        node->name().localName = std::u16string(target);
        node->setValue(std::u16string(body));
        return add(node);
    }

    XmlStatus endTag()
    {
        const std::size_t end = m_text.find(u'>', m_pos);
        if (end == std::u16string_view::npos)
            return error(XmlErrorId::MalformedElement);
        const std::u16string_view name =
            trimXmlWhitespace(m_text.substr(m_pos + 2, end - m_pos - 2));
        m_pos = end + 1;
        if (m_open.empty())
            return error(XmlErrorId::MarkupAfterRoot);
        if (name != m_open.back().qname)
            return error(XmlErrorId::UnterminatedElementTag, m_open.back().qname);
        m_bindings.resize(m_open.back().bindingCount);
        m_open.pop_back();
        return XmlOk{};
    }

    XmlStatus readAttributes(std::vector<RawAttribute>& attributes, bool& empty)
    {
        for (;;) {
            skipWhitespace();
            if (m_pos >= m_text.size())
                return error(XmlErrorId::MalformedElement);
            const char16_t c = m_text[m_pos];
            if (c == u'>') {
                ++m_pos;
                return XmlOk{};
            }
            if (c == u'/') {
                if (!startsWith(u"/>"))
                    return error(XmlErrorId::MalformedElement);
                m_pos += 2;
                empty = true;
                return XmlOk{};
            }
            const std::u16string_view name = readName();
            if (name.empty())
                return error(XmlErrorId::MalformedElement);
            skipWhitespace();
            if (m_pos >= m_text.size() || m_text[m_pos] != u'=')
                return error(XmlErrorId::MalformedElement);
            ++m_pos;
            skipWhitespace();
            if (m_pos >= m_text.size() || (m_text[m_pos] != u'"' && m_text[m_pos] != u'\''))
                return error(XmlErrorId::MalformedElement);
            const char16_t quote = m_text[m_pos++];
            const std::size_t end = m_text.find(quote, m_pos);
            if (end == std::u16string_view::npos)
                return error(XmlErrorId::UnterminatedAttribute);
            if (attributes.size() >= limits::kMaxE4xAttributes)
                return error(XmlErrorId::TooLarge);
            attributes.push_back({name, decodeReferences(m_text.substr(m_pos, end - m_pos))});
            m_pos = end + 1;
        }
    }

    const std::u16string* lookup(std::u16string_view prefix) const
    {
        for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it)
            if (*it->prefix == prefix)
                return &it->uri;
        return nullptr;
    }

    // Splits a qualified name and finds its URI; unprefixed names take `unprefixedUri`.
    XmlResult<XmlName> resolve(std::u16string_view qname, const std::u16string& unprefixedUri)
    {
        const std::size_t colon = qname.find(u':');
        if (colon == std::u16string_view::npos) {
            if (!isNcName(qname))
                return error(XmlErrorId::BadQName, std::u16string(qname));
            return XmlName{unprefixedUri, std::u16string(qname), std::u16string()};
        }
        const std::u16string_view prefix = qname.substr(0, colon);
        const std::u16string_view local = qname.substr(colon + 1);
        if (!isNcName(prefix) || !isNcName(local))
            return error(XmlErrorId::BadQName, std::u16string(qname));
        std::u16string uri;
        if (const std::u16string* bound = lookup(prefix))
            uri = *bound;
        else if (prefix == u"xml")
            uri = kXmlPrefixUri;
        else
            return error(XmlErrorId::PrefixNotBound, std::u16string(prefix), std::u16string(local));
        return XmlName{std::move(uri), std::u16string(local), std::u16string(prefix)};
    }

    XmlStatus startTag()
    {
        ++m_pos;
        const std::u16string_view qname = readName();
        if (qname.empty())
            return error(XmlErrorId::MalformedElement);
        std::vector<RawAttribute> attributes;
        bool empty = false;
        if (XmlStatus read = readAttributes(attributes, empty); !read)
            return read;
        if (m_open.size() >= limits::kMaxXmlParseDepth)
            return error(XmlErrorId::TooLarge);

        const std::size_t bindingCount = m_bindings.size();
        XmlNode* element = XmlNode::make(m_heap, XmlKind::Element);
        for (const RawAttribute& attribute : attributes) {
            std::optional<std::u16string> prefix;
            if (attribute.name == u"xmlns")
                prefix = std::u16string();
            else if (attribute.name.starts_with(u"xmlns:"))
                prefix = std::u16string(attribute.name.substr(6));
            else
                continue;
            // A repeated declaration keeps the first, as a repeated attribute does.
            if (std::any_of(element->namespaces().begin(), element->namespaces().end(),
                            [&](const XmlNamespace& ns) { return ns.prefix == prefix; }))
                continue;
            if (element->namespaces().size() >= limits::kMaxXmlNamespaces)
                return error(XmlErrorId::TooLarge);
            XmlNamespace declared{std::move(prefix), attribute.value};
            element->namespaces().push_back(declared);
            m_bindings.push_back(std::move(declared));
        }

        const std::u16string* boundDefault = lookup(u"");
        auto name = resolve(qname, boundDefault ? *boundDefault : m_defaultUri);
        if (!name)
            return name.error();
        element->name() = std::move(name).value();

        for (RawAttribute& attribute : attributes) {
            if (attribute.name == u"xmlns" || attribute.name.starts_with(u"xmlns:"))
                continue;
            auto attributeName = resolve(attribute.name, {});
            if (!attributeName)
                return attributeName.error();
            // A repeated attribute keeps its first value: movies feed the parser
            // hand-made text, and a repeat loses nothing worth refusing the text for.
            if (element->attribute(attributeName.value()))
                continue;
            XmlNode* node = XmlNode::make(m_heap, XmlKind::Attribute);
            node->name() = std::move(attributeName).value();
            node->setValue(std::move(attribute.value));
            if (XmlStatus adopted = element->adoptAttribute(node); !adopted)
                return adopted;
        }

        if (XmlStatus added = add(element); !added)
            return added;
        if (empty)
            m_bindings.resize(bindingCount);
        else
            m_open.push_back({element, std::u16string(qname), bindingCount});
        return XmlOk{};
    }

    Heap& m_heap;
    std::u16string_view m_text;
    const XmlSettings& m_settings;
    const std::u16string& m_defaultUri;
    std::size_t m_pos = 0;
    std::vector<Open> m_open;
    std::vector<XmlNamespace> m_bindings; // every prefix set
    std::vector<XmlNode*> m_top;
};

} // namespace

bool isXmlWhitespace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

std::u16string_view trimXmlWhitespace(std::u16string_view text)
{
    std::size_t start = 0;
    std::size_t end = text.size();
    while (start < end && isXmlWhitespace(text[start]))
        ++start;
    while (end > start && isXmlWhitespace(text[end - 1]))
        --end;
    return text.substr(start, end - start);
}

bool isXmlName(std::u16string_view name, bool allowPrefix)
{
    const std::size_t colon = name.find(u':');
    if (colon == std::u16string_view::npos || !allowPrefix)
        return isNcName(name);
    return isNcName(name.substr(0, colon)) && isNcName(name.substr(colon + 1));
}

XmlResult<std::vector<XmlNode*>> parseXmlList(Heap& heap, std::u16string_view text,
                                              const XmlSettings& settings,
                                              const std::u16string& defaultUri)
{
    return Parser(heap, text, settings, defaultUri).run();
}

XmlResult<XmlNode*> parseXml(Heap& heap, std::u16string_view text, const XmlSettings& settings,
                             const std::u16string& defaultUri)
{
    auto parsed = parseXmlList(heap, text, settings, defaultUri);
    if (!parsed)
        return parsed.error();
    std::vector<XmlNode*>& nodes = parsed.value();
    if (nodes.size() > 1)
        std::erase_if(nodes, [](const XmlNode* node) {
            return node->isText() && trimXmlWhitespace(node->value()).empty();
        });
    if (nodes.empty())
        return XmlNode::makeText(heap, {});
    if (nodes.size() > 1)
        return error(XmlErrorId::MarkupAfterRoot);
    return nodes.front();
}

} // namespace script::e4x
