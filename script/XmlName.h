#pragma once

// isXMLName: whether text is a name XML namespaces allow as a local name (an NCName):
// a name-start character, then name characters, as XML 1.0 (fifth edition) lists
// them, without the colon. Surrogate pairs count as their code point; a surrogate
// alone makes the text no name.
#include <string_view>

namespace script {

bool isXmlName(std::u16string_view text);

} // namespace script
