#pragma once

// The style sheet text TextField.StyleSheet.parseCSS reads: rules of selectors (split at
// commas) and a block of "name: value" properties. Names are camel-cased ("font-size"
// becomes "fontSize"); values run to the next ";" or "}" with leading white space
// dropped. Text that breaks the grammar gives no rules at all.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace script::css {

struct Rule {
    std::vector<std::string> selectors;
    std::vector<std::pair<std::string, std::string>> properties;
};

// Null when the text is malformed (or has more than limits::kMaxStyleRules rules).
std::optional<std::vector<Rule>> parse(std::string_view text);

// "text-align" as "textAlign": each "-" dropped and the character after it upper-cased.
std::string camelCase(std::string_view name);

} // namespace script::css
