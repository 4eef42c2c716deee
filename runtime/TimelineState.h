#pragma once

#include "Placement.h"
#include "format/Movie.h"

#include <cstddef>
#include <map>

namespace runtime {

// The display list a timeline's tags describe, worked out without making any object:
// what a backward jump rebuilds from frame 0, and what a sprite in a button's hit area
// covers. Follows the same rules as the objects' own placement.
class TimelineState {
public:
    using Entries = std::map<int, Placement>;

    explicit TimelineState(const swf::MovieDefinition& movie) : m_movie(movie) {}

    // Applies a PlaceObject or RemoveObject; other tags change nothing.
    void apply(const swf::ControlTag& tag);
    // Applies the display tags of frames 0 to `frame` (frames the timeline lacks are empty).
    void replay(const swf::Timeline& timeline, std::size_t frame);

    const Entries& entries() const { return m_entries; }

private:
    void place(const swf::PlaceObject& tag);

    const swf::MovieDefinition& m_movie;
    Entries m_entries;
};

} // namespace runtime
