#include "Movie.h"

namespace swf {

const Character* MovieDefinition::character(CharacterId id) const
{
    return id < m_characters.size() ? m_characters[id].get() : nullptr;
}

void MovieDefinition::define(std::shared_ptr<const Character> character)
{
    if (!character)
        return;
    const CharacterId id = character->id;
    // Ids are 16 bits, so the table never grows past 65,536 entries.
    if (id >= m_characters.size())
        m_characters.resize(std::size_t(id) + 1);
    // Leniency: a movie that defines an id twice keeps the first definition, as the
    // placements already read may refer to it.
    if (m_characters[id])
        return;
    m_characters[id] = std::move(character);
    ++m_count;
}

} // namespace swf
