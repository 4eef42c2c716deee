#include "TimelineState.h"

#include "ObjectFactory.h"

namespace runtime {

void TimelineState::apply(const swf::ControlTag& tag)
{
    if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
        this->place(*place);
    } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
        m_entries.erase(remove->depth);
    }
}

void TimelineState::replay(const swf::Timeline& timeline, std::size_t frame)
{
    const std::size_t last = std::min(frame + 1, timeline.frames.size());
    for (std::size_t f = 0; f < last; ++f) {
        for (const swf::ControlTag& tag : timeline.frames[f].tags)
            apply(tag);
    }
}

void TimelineState::place(const swf::PlaceObject& tag)
{
    // A character that cannot be placed changes nothing, as it makes no object.
    if (tag.characterId && !isPlaceable(m_movie.character(*tag.characterId)))
        return;
    if (!tag.move) {
        if (tag.characterId)
            m_entries[tag.depth] = Placement::fromTag(tag);
        return;
    }
    auto it = m_entries.find(tag.depth);
    if (it == m_entries.end())
        return;
    // A move naming a character replaces what is there, keeping its properties.
    it->second.merge(tag);
}

} // namespace runtime
