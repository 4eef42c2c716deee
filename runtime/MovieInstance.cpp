#include "MovieInstance.h"

namespace runtime {

MovieInstance::MovieInstance(swf::MoviePtr definition, std::string url, std::size_t bytesTotal,
                             Content content)
    : m_definition(definition ? std::move(definition)
                              : std::make_shared<const swf::MovieDefinition>()),
      m_url(std::move(url)), m_bytesTotal(bytesTotal), m_content(content)
{
    // The export table is a map by name: its first name for an id wins, as the engine
    // looked it up before loaded movies had tables of their own.
    for (const auto& [name, id] : m_definition->exports)
        m_exportNames.emplace(id, name);
}

std::size_t MovieInstance::reportedLength(const swf::MovieHeader& header)
{
    if (header.compression != swf::Compression::None && header.fileLength != 0)
        return header.fileLength;
    return header.declaredLength;
}

bool MovieInstance::claimInitAction(swf::CharacterId spriteId)
{
    if (m_initActionsClaimed.test(spriteId))
        return false;
    m_initActionsClaimed.set(spriteId);
    return true;
}

const std::string* MovieInstance::exportName(swf::CharacterId id) const
{
    auto it = m_exportNames.find(id);
    return it == m_exportNames.end() ? nullptr : &it->second;
}

HitAreas& MovieInstance::hitAreas() const
{
    if (!m_hitAreas)
        m_hitAreas = std::make_unique<HitAreas>(*m_definition);
    return *m_hitAreas;
}

} // namespace runtime
