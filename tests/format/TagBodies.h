#pragma once

#include "format/TagReader.h"

#include <cstdint>
#include <vector>

// Test helper: tag bodies out of a tag stream the SWF writer made, read back through
// the format library's own tag reader.
namespace tagbodies {

// The body of the first tag with `code`, or empty when there is none.
inline std::vector<std::uint8_t> first(const std::vector<std::uint8_t>& tagStream,
                                       std::uint16_t code)
{
    swf::TagReader reader(tagStream);
    while (auto tag = reader.next()) {
        if (tag->code == code)
            return {tag->body.begin(), tag->body.end()};
    }
    return {};
}

} // namespace tagbodies
