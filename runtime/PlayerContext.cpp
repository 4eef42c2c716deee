#include "PlayerContext.h"

#include "DisplayObject.h"
#include "Limits.h"
#include "MovieSounds.h"
#include "SpriteObject.h"
#include "StageEvents.h"
#include "format/Limits.h"

namespace runtime {

PlayerContext::PlayerContext(swf::MoviePtr movie, Host& host)
    : m_movie(std::move(movie)), m_host(host), m_hitTests(limits::kMaxHitTestWorkPerStep),
      m_sounds(std::make_unique<MovieSounds>(host))
{
    m_mainMovie = std::make_shared<MovieInstance>(m_movie, std::string(),
                                                  MovieInstance::reportedLength(m_movie->header));
    m_stageRect = m_movie->header.stage;
    m_frameRate = m_movie->header.frameRate;
    // What the file reader tolerated reaches the host's log with the runtime's own
    // diagnostics, once, as the movie starts.
    if (m_host.logEnabled(LogCategory::Format)) {
        for (const std::string& note : m_movie->notes)
            m_host.log(LogCategory::Format, note);
    }
}

PlayerContext::~PlayerContext() = default;

std::string PlayerContext::newInstanceName()
{
    return "instance" + std::to_string(m_nextInstance++);
}

void PlayerContext::resetHitTests()
{
    if (m_hitTests.exhausted()) {
        log(LogCategory::Buttons, [] {
            return "hit tests stopped: the step spent its budget of " +
                   std::to_string(limits::kMaxHitTestWorkPerStep) + " units";
        });
    }
    m_hitTests.reset();
}

bool PlayerContext::canCreateObject() const
{
    return m_liveObjects < swf::limits::kMaxDisplayObjects;
}

SpriteObject* PlayerContext::level(int number) const
{
    auto it = m_levels.find(number);
    return it == m_levels.end() ? nullptr : it->second.get();
}

void PlayerContext::setLevel(int number, std::shared_ptr<SpriteObject> root)
{
    m_levels[number] = std::move(root);
}

std::shared_ptr<SpriteObject> PlayerContext::removeLevel(int number)
{
    auto it = m_levels.find(number);
    if (it == m_levels.end())
        return nullptr;
    std::shared_ptr<SpriteObject> root = std::move(it->second);
    m_levels.erase(it);
    return root;
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
    m_movieRequests.clear();
}

} // namespace runtime
