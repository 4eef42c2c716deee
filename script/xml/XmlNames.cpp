#include "XmlNames.h"

namespace script::xml {

QualifiedName splitName(std::string_view name)
{
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos)
        return {.prefix = {}, .localName = name, .prefixed = false};
    return {.prefix = name.substr(0, colon), .localName = name.substr(colon + 1), .prefixed = true};
}

std::optional<std::string_view> declaredPrefix(std::string_view attribute)
{
    constexpr std::string_view kXmlns = "xmlns";
    if (!attribute.starts_with(kXmlns))
        return std::nullopt;
    if (attribute.size() > kXmlns.size() && attribute[kXmlns.size()] == ':')
        return attribute.substr(kXmlns.size() + 1);
    return std::string_view();
}

} // namespace script::xml
