#pragma once

// Names in the legacy XML tree: an element's prefix and local name, and the namespace
// declarations its xmlns attributes make.
#include <optional>
#include <string_view>

namespace script::xml {

struct QualifiedName {
    std::string_view prefix; // before the first colon; "" without one
    std::string_view localName;
    bool prefixed = false;
};

// The name split at its first colon.
QualifiedName splitName(std::string_view name);

// The prefix an attribute declares, or nothing when it declares none. "xmlns" and
// "xmlns:" declare the default namespace (""), "xmlns:p" the prefix p; the reference
// takes any other name starting with "xmlns" for a default declaration too.
std::optional<std::string_view> declaredPrefix(std::string_view attribute);

} // namespace script::xml
