#pragma once

// The interpreter attached to a playing movie: it runs the blocks and events the
// runtime queues, gives every scriptable display object its script object, and keeps
// the VM's housekeeping (collection, timers) between steps.

#include "ClipObject.h"
#include "ScriptHost.h"
#include "Vm.h"
#include "format/Movie.h"
#include "runtime/Host.h"
#include "runtime/ScriptEngine.h"

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>

namespace runtime {
class MoviePlayer;
} // namespace runtime

namespace avm1 {

class Engine final : public runtime::ScriptEngine, public ScriptHost {
public:
    // Attaches itself to `player`; detach before the player goes.
    Engine(runtime::MoviePlayer& player, runtime::Host& host);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    Vm& vm() { return *m_vm; }
    ClipRegistry& clips() { return *m_clips; }

    // runtime::ScriptEngine
    std::size_t runAction(const runtime::QueuedAction& action) override;
    void objectCreated(runtime::DisplayObject& object) override;
    void objectRemoved(runtime::DisplayObject& object) override;
    void stepFinished() override;
    bool hasUnloadHandler(const runtime::DisplayObject& object) const override;

    // ScriptHost
    void trace(std::string_view line) override;
    bool logEnabled() const override;
    void log(std::string_view message) override;
    double elapsedMilliseconds() const override;

private:
    std::size_t runClipEvent(const runtime::QueuedAction& action);
    std::size_t runCode(std::span<const std::uint8_t> code, Object* target, int swfVersion);
    // The file version whose rules a character's byte code follows.
    int versionOf(const swf::Character* character) const;
    // Calls a handler of `target` with the block's budget; reports an uncaught exception.
    std::size_t callHandler(Value function, Object* target, std::span<const Value> args = {});
    // Traces an exception no handler caught, as the reference does.
    void reportUncaught();
    // The class registered for the symbol the object was made from, if any.
    Object* registeredClass(const runtime::DisplayObject& object);

    runtime::MoviePlayer& m_player;
    runtime::Host& m_host;
    // The clock scripts see: whole frames at the movie's rate, plus the time spent in
    // the current step, so that it advances with the movie whether it plays in real
    // time or headless as fast as it can.
    std::chrono::steady_clock::time_point m_stepStart;
    double m_frameMilliseconds = 0;
    // Exported symbol names by character id, for registered classes.
    std::unordered_map<std::uint16_t, std::string> m_symbols;
    // The registry outlives the VM: the VM's cells unregister from it as they die.
    std::unique_ptr<ClipRegistry> m_clips;
    std::unique_ptr<Vm> m_vm;
    std::size_t m_rootsId = 0;
};

} // namespace avm1
