#include "XmlPrinter.h"

#include "XmlNamespaces.h"
#include "XmlParser.h"
#include "XmlQuery.h"
#include "script/Limits.h"

#include <algorithm>

namespace script::e4x {

namespace {

XmlError tooLarge()
{
    return XmlError{XmlErrorId::TooLarge, {}, {}};
}

// Prints one tree. Each element on the stack holds the namespaces its print declared
// at the end of `m_scope`, so the nearest binding of a prefix is the last one.
class Printer {
public:
    Printer(const XmlSettings& settings, std::u16string& out)
        : m_out(out), m_pretty(settings.prettyPrinting && settings.prettyIndent >= 0),
          m_indent(m_pretty ? static_cast<std::size_t>(settings.prettyIndent) : 0)
    {}

    bool print(const XmlNode& root)
    {
        if (!root.isElement() || root.children().empty())
            return leaf(root, true) && !m_overflow;
        if (!openElement(root, 0, true))
            return false;
        while (!m_stack.empty() && !m_overflow) {
            Frame& frame = m_stack.back();
            const auto& children = frame.node->children();
            if (frame.next == children.size()) {
                closeElement(frame);
                m_scope.resize(frame.scopeSize);
                m_stack.pop_back();
                continue;
            }
            const XmlNode& child = *children[frame.next++];
            std::size_t level = 0;
            if (frame.indentChildren) {
                if (child.isText() && trimXmlWhitespace(child.value()).empty())
                    continue;
                level = frame.level + m_indent;
                if (m_out.size() + level >= limits::kMaxXmlPrintedChars)
                    return false;
                m_out.push_back(u'\n');
                m_out.append(level, u' ');
            }
            const bool ok = child.isElement() && !child.children().empty()
                                ? openElement(child, level, false)
                                : leaf(child, false);
            if (!ok || m_overflow || m_out.size() > limits::kMaxXmlPrintedChars)
                return false;
        }
        return !m_overflow && m_out.size() <= limits::kMaxXmlPrintedChars;
    }

private:
    struct Frame {
        const XmlNode* node;
        std::size_t level;
        std::size_t next;
        bool indentChildren;
        std::size_t scopeSize;
        std::u16string qname;
    };

    const XmlNamespace* lookup(std::u16string_view prefix) const
    {
        for (auto it = m_scope.rbegin(); it != m_scope.rend(); ++it)
            if (*it->prefix == prefix)
                return &*it;
        return nullptr;
    }

    bool declaredHere(std::size_t from, std::u16string_view prefix) const
    {
        return std::any_of(m_scope.begin() + static_cast<std::ptrdiff_t>(from), m_scope.end(),
                           [&](const XmlNamespace& ns) { return *ns.prefix == prefix; });
    }

    std::u16string freshPrefix() const
    {
        // Each candidate taken is a binding in scope, so this ends within their count.
        for (std::size_t n = 0;; ++n) {
            std::u16string prefix;
            std::size_t rest = n;
            for (int i = 0; i < 3 || rest > 0; ++i) {
                prefix.insert(prefix.begin(), static_cast<char16_t>(u'a' + rest % 26));
                rest /= 26;
            }
            if (!lookup(prefix) && prefix != u"xml")
                return prefix;
        }
    }

    // The prefix `name` prints with, declaring one at this element when none visible
    // binds its URI. Attributes in a namespace need a non-empty prefix.
    std::u16string prefixFor(const XmlName& name, bool element, std::size_t from)
    {
        if (name.uri.empty()) {
            if (element) {
                const XmlNamespace* bound = lookup(u"");
                if (bound && !bound->uri.empty() && !declaredHere(from, u""))
                    m_scope.push_back({std::u16string(), std::u16string()});
            }
            return {};
        }
        // The xml prefix is bound without a declaration.
        if (name.uri == kXmlPrefixUri && !lookup(u"xml"))
            return u"xml";
        const auto usable = [&](std::u16string_view prefix) { return element || !prefix.empty(); };
        if (name.prefix && usable(*name.prefix)) {
            const XmlNamespace* bound = lookup(*name.prefix);
            if (bound && bound->uri == name.uri)
                return *name.prefix;
        }
        for (auto it = m_scope.rbegin(); it != m_scope.rend(); ++it)
            if (it->uri == name.uri && usable(*it->prefix) && lookup(*it->prefix) == &*it)
                return *it->prefix;
        std::u16string prefix;
        if (name.prefix && usable(*name.prefix) && !declaredHere(from, *name.prefix))
            prefix = *name.prefix;
        else if (element && !declaredHere(from, u""))
            prefix = std::u16string();
        else
            prefix = freshPrefix();
        m_scope.push_back({prefix, name.uri});
        return prefix;
    }

    static std::u16string qualified(const std::u16string& prefix, const std::u16string& local)
    {
        return prefix.empty() ? local : prefix + u':' + local;
    }

    bool openElement(const XmlNode& node, std::size_t level, bool root)
    {
        const std::size_t scopeSize = m_scope.size();
        const std::vector<XmlNamespace> declared =
            root ? inScopeNamespaces(node) : node.namespaces();
        for (const XmlNamespace& ns : declared) {
            if (!ns.prefix || declaredHere(scopeSize, *ns.prefix))
                continue;
            // A default namespace left on an element renamed into no namespace would
            // print the element into it: the name wins.
            if (ns.prefix->empty() && !ns.uri.empty() && node.name().uri.empty())
                continue;
            const XmlNamespace* bound = lookup(*ns.prefix);
            if (!bound || bound->uri != ns.uri)
                m_scope.push_back(ns);
        }
        std::u16string qname =
            qualified(prefixFor(node.name(), true, scopeSize), node.name().localName);
        std::vector<std::u16string> attributeNames;
        attributeNames.reserve(node.attributes().size());
        for (const XmlNode* attribute : node.attributes())
            attributeNames.push_back(qualified(prefixFor(attribute->name(), false, scopeSize),
                                               attribute->name().localName));

        m_out.push_back(u'<');
        m_out += qname;
        for (std::size_t i = scopeSize; i < m_scope.size(); ++i) {
            const XmlNamespace& ns = m_scope[i];
            m_out += ns.prefix->empty() ? u" xmlns" : u" xmlns:" + *ns.prefix;
            m_out += u"=\"";
            m_out += escapeAttributeValue(ns.uri);
            m_out.push_back(u'"');
        }
        for (std::size_t i = 0; i < attributeNames.size(); ++i) {
            m_out.push_back(u' ');
            m_out += attributeNames[i];
            m_out += u"=\"";
            m_out += escapeAttributeValue(node.attributes()[i]->value());
            m_out.push_back(u'"');
            if (m_out.size() > limits::kMaxXmlPrintedChars)
                return false;
        }
        const auto& children = node.children();
        if (children.empty()) {
            m_out += u"/>";
            m_scope.resize(scopeSize);
            return true;
        }
        m_out.push_back(u'>');
        const bool indentChildren =
            m_pretty && (children.size() > 1 || !children.front()->isText());
        m_stack.push_back({&node, level, 0, indentChildren, scopeSize, std::move(qname)});
        return m_out.size() <= limits::kMaxXmlPrintedChars;
    }

    void closeElement(const Frame& frame)
    {
        if (frame.indentChildren) {
            m_out.push_back(u'\n');
            m_out.append(frame.level, u' ');
        }
        m_out += u"</";
        m_out += frame.qname;
        m_out.push_back(u'>');
        if (m_out.size() > limits::kMaxXmlPrintedChars)
            m_overflow = true;
    }

    bool leaf(const XmlNode& node, bool root)
    {
        switch (node.kind()) {
        case XmlKind::Element:
            return openElement(node, 0, root);
        case XmlKind::Attribute:
            m_out += escapeAttributeValue(node.value());
            break;
        case XmlKind::Text:
            m_out += escapeElementValue(m_pretty ? trimXmlWhitespace(node.value()) : node.value());
            break;
        case XmlKind::Comment:
            m_out += u"<!--";
            m_out += node.value();
            m_out += u"-->";
            break;
        case XmlKind::ProcessingInstruction:
            m_out += u"<?";
            m_out += node.name().localName;
            if (!node.value().empty()) {
                m_out.push_back(u' ');
                m_out += node.value();
            }
            m_out += u"?>";
            break;
        }
        return m_out.size() <= limits::kMaxXmlPrintedChars;
    }

    std::u16string& m_out;
    bool m_pretty; // a negative indent prints as prettyPrinting off
    std::size_t m_indent;
    std::vector<Frame> m_stack;
    std::vector<XmlNamespace> m_scope; // every prefix set
    bool m_overflow = false;
};

bool printsAsText(const XmlNode& node)
{
    return node.kind() != XmlKind::Comment && node.kind() != XmlKind::ProcessingInstruction;
}

} // namespace

std::u16string escapeElementValue(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'<':
            out += u"&lt;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'&':
            out += u"&amp;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::u16string escapeAttributeValue(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'"':
            out += u"&quot;";
            break;
        case u'<':
            out += u"&lt;";
            break;
        case u'&':
            out += u"&amp;";
            break;
        case u'\n':
            out += u"&#xA;";
            break;
        case u'\r':
            out += u"&#xD;";
            break;
        case u'\t':
            out += u"&#x9;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

XmlResult<std::u16string> toXmlString(const XmlNode& node, const XmlSettings& settings)
{
    std::u16string out;
    if (!Printer(settings, out).print(node))
        return tooLarge();
    return out;
}

XmlResult<std::u16string> toXmlString(std::span<XmlNode* const> list, const XmlSettings& settings)
{
    std::u16string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            out.push_back(u'\n');
        if (!Printer(settings, out).print(*list[i]))
            return tooLarge();
    }
    return out;
}

XmlResult<std::u16string> toString(const XmlNode& node, const XmlSettings& settings)
{
    if (node.isText() || node.isAttribute())
        return node.value();
    if (!hasSimpleContent(node))
        return toXmlString(node, settings);
    std::u16string out;
    for (const XmlNode* child : node.children())
        if (printsAsText(*child))
            out += child->value();
    return out;
}

XmlResult<std::u16string> toString(std::span<XmlNode* const> list, const XmlSettings& settings)
{
    if (!hasSimpleContent(list))
        return toXmlString(list, settings);
    std::u16string out;
    for (const XmlNode* item : list) {
        if (!printsAsText(*item))
            continue;
        auto text = toString(*item, settings);
        if (!text)
            return text;
        out += text.value();
        if (out.size() > limits::kMaxXmlPrintedChars)
            return tooLarge();
    }
    return out;
}

} // namespace script::e4x
