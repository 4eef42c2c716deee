#pragma once

// What one successful match found, as offsets in code units into the subject.
#include <cstddef>
#include <optional>
#include <vector>

namespace script::regexp {

struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t length() const { return end - begin; }
    bool operator==(const Span&) const = default;
};

struct Match {
    // Group 0 is the whole match; then one entry per capturing group of the source,
    // numbered as the source numbers them. A group that took part in no iteration of
    // the last match attempt is empty (undefined to the script).
    std::vector<std::optional<Span>> groups = {};

    const Span& whole() const { return *groups[0]; }
};

} // namespace script::regexp
