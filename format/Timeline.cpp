#include "Timeline.h"

#include <algorithm>

namespace swf {

namespace {

// Labels compare without regard to case in the ASCII letters; other bytes (UTF-8 from
// version 6, the system code page before) must match exactly.
bool sameLabel(const std::string& a, const std::string& b)
{
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
        return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
    });
}

} // namespace

long Timeline::frameForLabel(const std::string& label) const
{
    // Labels that differ only in case name the same frame: the first one wins, as
    // among equal labels.
    long found = -1;
    for (const auto& [name, frame] : labels) {
        if (sameLabel(name, label) && (found < 0 || frame < static_cast<std::size_t>(found)))
            found = static_cast<long>(frame);
    }
    return found;
}

} // namespace swf
