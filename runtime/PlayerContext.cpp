#include "PlayerContext.h"

#include "format/Limits.h"

namespace runtime {

std::string_view logCategoryName(LogCategory category)
{
    switch (category) {
    case LogCategory::Timeline:
        return "timeline";
    case LogCategory::Display:
        return "display";
    case LogCategory::Buttons:
        return "buttons";
    case LogCategory::Actions:
        return "actions";
    }
    return "runtime";
}

PlayerContext::PlayerContext(swf::MoviePtr movie, Host& host)
    : m_movie(std::move(movie)), m_host(host)
{}

std::string PlayerContext::newInstanceName()
{
    return "instance" + std::to_string(m_nextInstance++);
}

bool PlayerContext::canCreateObject() const
{
    return m_liveObjects < swf::limits::kMaxDisplayObjects;
}

bool PlayerContext::claimInitAction(swf::CharacterId spriteId)
{
    if (m_initActionsClaimed.test(spriteId))
        return false;
    m_initActionsClaimed.set(spriteId);
    return true;
}

} // namespace runtime
