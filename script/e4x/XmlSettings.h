#pragma once

#include <cstdint>

namespace script::e4x {

// The XML class's settings (its static properties), passed to each parse or print
// rather than held globally, so that the VM owns them per movie.
struct XmlSettings {
    bool ignoreComments = true;
    bool ignoreProcessingInstructions = true;
    bool ignoreWhitespace = true;
    bool prettyPrinting = true;
    // Spaces per level; a negative value turns pretty printing off.
    std::int32_t prettyIndent = 2;
};

} // namespace script::e4x
