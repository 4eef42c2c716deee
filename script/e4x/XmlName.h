#pragma once

#include <optional>
#include <string>

namespace script::e4x {

// A namespace as E4X sees it: a URI and a prefix that may be unknown (a Namespace made
// from a URI alone has none until printing picks one). Two namespaces are the same
// namespace when their URIs are equal; the prefix only says how to print it.
struct XmlNamespace {
    std::optional<std::u16string> prefix;
    std::u16string uri;

    bool operator==(const XmlNamespace&) const = default;
};

// The name of an element, attribute or processing instruction: URI and local name
// decide identity, the prefix is a hint for printing (unknown for names made by code).
struct XmlName {
    std::u16string uri;
    std::u16string localName;
    std::optional<std::u16string> prefix;

    bool sameName(const XmlName& other) const
    {
        return uri == other.uri && localName == other.localName;
    }
};

// What a property name selects among children or attributes: `*` as the local name
// matches any, and an absent URI matches any namespace (the `*::` qualifier).
struct XmlNameTest {
    std::optional<std::u16string> uri;
    std::u16string localName = u"*";

    static XmlNameTest any() { return {}; }
    bool anyLocalName() const { return localName == u"*"; }
};

// The namespace the `xml` prefix is bound to without a declaration.
inline constexpr char16_t kXmlPrefixUri[] = u"http://www.w3.org/XML/1998/namespace";

} // namespace script::e4x
