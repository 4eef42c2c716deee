#pragma once

#include "ActionQueue.h"
#include "Host.h"
#include "Names.h"
#include "format/Movie.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace runtime {

class DisplayObject;
class ScriptEngine;

// What every display object of one player shares: the movie, the host, the queue of
// actions, the counters that give objects their ids and names, and the stage's
// background. Owned by the MoviePlayer; display objects keep a reference to it and so
// must not outlive their player.
class PlayerContext {
public:
    PlayerContext(swf::MoviePtr movie, Host& host);
    PlayerContext(const PlayerContext&) = delete;
    PlayerContext& operator=(const PlayerContext&) = delete;

    const swf::MovieDefinition& movie() const { return *m_movie; }
    const swf::MoviePtr& moviePtr() const { return m_movie; }
    Host& host() const { return m_host; }
    int swfVersion() const { return m_movie->header.version; }
    NameCase nameCase() const { return nameCaseForVersion(swfVersion()); }

    ActionQueue& actions() { return m_actions; }
    const ActionQueue& actions() const { return m_actions; }

    // The engine the player hands its actions to, for the hooks display objects call
    // (objects made, objects gone); null without one.
    ScriptEngine* scriptEngine() const { return m_engine; }
    void setScriptEngine(ScriptEngine* engine) { m_engine = engine; }

    // Load events that wait for the end of the batch of work that placed their clips
    // (see announcePlaced); flushing queues them in the order their clips were placed.
    void deferLoad(std::shared_ptr<DisplayObject> clip);
    void flushDeferredLoads();

    // Removed clips kept reachable until the step's actions have run (see
    // finishUnloading); taking them empties the list.
    void keepUntilUnloaded(std::shared_ptr<DisplayObject> clip);
    std::vector<std::shared_ptr<DisplayObject>> takeUnloading();
    // Drops all of the above and the queued actions, as the player goes away.
    void clearPending();

    // Ids are never reused during a player's life, so the renderer can key caches on them.
    std::uint64_t newObjectId() { return m_nextObjectId++; }
    // The name a scriptable object placed without one gets: "instance1", "instance2"...
    std::string newInstanceName();

    // Frame steps: an object created during step N does not advance again in step N.
    std::uint64_t tick() const { return m_tick; }
    void nextTick() { ++m_tick; }

    // Counts live display objects against limits::kMaxDisplayObjects.
    bool canCreateObject() const;
    void objectCreated() { ++m_liveObjects; }
    void objectDestroyed() { --m_liveObjects; }
    std::size_t liveObjects() const { return m_liveObjects; }

    // True the first time for each sprite id: DoInitAction blocks run once per movie.
    bool claimInitAction(swf::CharacterId spriteId);

    swf::Rgba background() const { return m_background; }
    // The movie's first SetBackgroundColor gives the stage its colour for good: later
    // ones, and the same tag met again when the timeline loops, change nothing.
    void setBackground(swf::Rgba color)
    {
        if (m_backgroundSet)
            return;
        m_background = color;
        m_backgroundSet = true;
    }

    bool logEnabled(LogCategory category) const { return m_host.logEnabled(category); }
    // Builds the message only when the category is on.
    template <typename MakeMessage> void log(LogCategory category, MakeMessage&& makeMessage)
    {
        if (m_host.logEnabled(category))
            m_host.log(category, makeMessage());
    }

private:
    swf::MoviePtr m_movie;
    Host& m_host;
    ActionQueue m_actions;
    ScriptEngine* m_engine = nullptr;
    std::vector<std::shared_ptr<DisplayObject>> m_deferredLoads;
    std::vector<std::shared_ptr<DisplayObject>> m_unloading;
    std::uint64_t m_nextObjectId = 1;
    std::uint64_t m_nextInstance = 1;
    std::uint64_t m_tick = 0;
    std::size_t m_liveObjects = 0;
    std::bitset<65536> m_initActionsClaimed;
    // Without SetBackgroundColor the stage is white.
    swf::Rgba m_background{255, 255, 255, 255};
    bool m_backgroundSet = false;
};

} // namespace runtime
