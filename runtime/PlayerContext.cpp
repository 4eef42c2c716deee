#include "PlayerContext.h"

#include "DisplayObject.h"
#include "StageEvents.h"
#include "format/Limits.h"

namespace runtime {

PlayerContext::PlayerContext(swf::MoviePtr movie, Host& host)
    : m_movie(std::move(movie)), m_host(host)
{
    // What the file reader tolerated reaches the host's log with the runtime's own
    // diagnostics, once, as the movie starts.
    if (m_host.logEnabled(LogCategory::Format)) {
        for (const std::string& note : m_movie->notes)
            m_host.log(LogCategory::Format, note);
    }
}

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

void PlayerContext::deferLoad(std::shared_ptr<DisplayObject> clip)
{
    m_deferredLoads.push_back(std::move(clip));
}

void PlayerContext::flushDeferredLoads()
{
    // Swapped out first: nothing queued here can defer more, but the list stays sound
    // if it ever does.
    std::vector<std::shared_ptr<DisplayObject>> clips;
    clips.swap(m_deferredLoads);
    for (const std::shared_ptr<DisplayObject>& clip : clips)
        queueClipEvent(*clip, ClipEvent::Load);
}

void PlayerContext::keepUntilUnloaded(std::shared_ptr<DisplayObject> clip)
{
    m_unloading.push_back(std::move(clip));
}

std::vector<std::shared_ptr<DisplayObject>> PlayerContext::takeUnloading()
{
    std::vector<std::shared_ptr<DisplayObject>> out;
    out.swap(m_unloading);
    return out;
}

void PlayerContext::clearPending()
{
    m_actions.clear();
    m_deferredLoads.clear();
    m_unloading.clear();
}

} // namespace runtime
