#pragma once

#include "ActionQueue.h"
#include "Drawing.h"
#include "HitTestBudget.h"
#include "Host.h"
#include "InputState.h"
#include "MovieInstance.h"
#include "MovieRequests.h"
#include "Names.h"
#include "StageView.h"
#include "format/Movie.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace runtime {

class DisplayObject;
class MovieSounds;
class ScriptEngine;
class SpriteObject;

// What every display object of one player shares: the movie, the host, the queue of
// actions, the counters that give objects their ids and names, and the stage's
// background. Owned by the MoviePlayer; display objects keep a reference to it and so
// must not outlive their player.
class PlayerContext {
public:
    PlayerContext(swf::MoviePtr movie, Host& host);
    ~PlayerContext();
    PlayerContext(const PlayerContext&) = delete;
    PlayerContext& operator=(const PlayerContext&) = delete;

    // The movie the player was made with; level 0 plays it until a script loads another
    // movie there.
    const swf::MovieDefinition& movie() const { return *m_movie; }
    const swf::MoviePtr& moviePtr() const { return m_movie; }
    const MovieInstancePtr& mainMovie() const { return m_mainMovie; }
    Host& host() const { return m_host; }
    int swfVersion() const { return m_movie->header.version; }
    // The stage's size and frame rate: the first movie's, until a movie loaded into
    // level 0 brings its own (adoptStage), as the reference gives the stage to it.
    const swf::Rect& stageRect() const { return m_stageRect; }
    double frameRate() const { return m_frameRate; }
    // Level 0's new movie takes the stage: its size, its rate, and the colour of its own
    // first SetBackgroundColor.
    void adoptStage(const swf::MovieHeader& header)
    {
        m_stageRect = header.stage;
        m_frameRate = header.frameRate;
        m_backgroundSet = false;
    }
    NameCase nameCase() const { return nameCaseForVersion(swfVersion()); }

    ActionQueue& actions() { return m_actions; }
    const ActionQueue& actions() const { return m_actions; }

    // The engine the player hands its actions to, for the hooks display objects call
    // (objects made, objects gone); null without one.
    ScriptEngine* scriptEngine() const { return m_engine; }
    void setScriptEngine(ScriptEngine* engine) { m_engine = engine; }

    // The levels on the stage, each the root of a movie: level 0 is the main timeline,
    // loadMovieNum adds others (limits::kMaxLevels at most). Painted and stepped from
    // level 0 up. The player owns them; they go when it does.
    SpriteObject* level(int number) const;
    const std::map<int, std::shared_ptr<SpriteObject>>& levels() const { return m_levels; }
    void setLevel(int number, std::shared_ptr<SpriteObject> root);
    // Takes a level off the stage; returns its root.
    std::shared_ptr<SpriteObject> removeLevel(int number);

    // Loads and unloads scripts asked for, waiting for the player to carry them out.
    MovieRequests& movieRequests() { return m_movieRequests; }

    // Load events that wait for the end of the batch of work that placed their clips
    // (see announcePlaced); flushing queues them in the order their clips were placed.
    void deferLoad(std::shared_ptr<DisplayObject> clip);
    void flushDeferredLoads();

    // Removed clips kept reachable until the step's actions have run (see
    // finishUnloading); taking them empties the list.
    void keepUntilUnloaded(std::shared_ptr<DisplayObject> clip);
    std::vector<std::shared_ptr<DisplayObject>> takeUnloading();
    // Drops all of the above, the queued actions and the requests, as the player goes
    // away.
    void clearPending();

    // Ids are never reused during a player's life, so the renderer can key caches on them.
    std::uint64_t newObjectId() { return m_nextObjectId++; }
    // The name a scriptable object placed without one gets: "instance1", "instance2"...
    std::string newInstanceName();

    // Frame steps: an object created during step N does not advance again in step N.
    std::uint64_t tick() const { return m_tick; }
    void nextTick() { ++m_tick; }

    // A script asked the player to quit (fscommand "quit"): no frame follows.
    void requestQuit() { m_quitRequested = true; }
    bool quitRequested() const { return m_quitRequested; }

    // Event and stream sounds, and the mixer the host's output pulls from.
    MovieSounds& sounds() { return *m_sounds; }

    // What every clip's drawing holds, against limits::kMaxDrawingCommandsTotal.
    DrawingBudget& drawingBudget() { return m_drawingBudget; }

    // Counts live display objects against limits::kMaxDisplayObjects.
    bool canCreateObject() const;
    void objectCreated() { ++m_liveObjects; }
    void objectDestroyed() { --m_liveObjects; }
    std::size_t liveObjects() const { return m_liveObjects; }

    // What the step's hit tests may still do (limits::kMaxHitTestWorkPerStep).
    HitTestBudget& hitTests() { return m_hitTests; }
    const HitTestBudget& hitTests() const { return m_hitTests; }
    // A new step: the budget is full again, and a step that spent it says so.
    void resetHitTests();

    // The keyboard, the pointer, dragging and the focus.
    InputState& input() { return m_input; }
    const InputState& input() const { return m_input; }

    // How the host shows the stage, as it and scripts set it.
    StageView& stageView() { return m_stageView; }
    const StageView& stageView() const { return m_stageView; }

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
    MovieInstancePtr m_mainMovie;
    swf::Rect m_stageRect;
    double m_frameRate = 0;
    Host& m_host;
    HitTestBudget m_hitTests;
    ActionQueue m_actions;
    ScriptEngine* m_engine = nullptr;
    std::vector<std::shared_ptr<DisplayObject>> m_deferredLoads;
    std::vector<std::shared_ptr<DisplayObject>> m_unloading;
    std::uint64_t m_nextObjectId = 1;
    std::uint64_t m_nextInstance = 1;
    std::uint64_t m_tick = 0;
    std::size_t m_liveObjects = 0;
    DrawingBudget m_drawingBudget;
    std::map<int, std::shared_ptr<SpriteObject>> m_levels;
    MovieRequests m_movieRequests;
    // Without SetBackgroundColor the stage is white.
    swf::Rgba m_background{255, 255, 255, 255};
    bool m_backgroundSet = false;
    bool m_quitRequested = false;
    InputState m_input;
    StageView m_stageView;
    std::unique_ptr<MovieSounds> m_sounds; // MovieSounds.h
};

} // namespace runtime
