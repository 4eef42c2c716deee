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
#include <optional>
#include <string>
#include <unordered_map>

namespace runtime {
class MoviePlayer;
} // namespace runtime

namespace avm1 {

class OpenContextMenu;

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
    void movieReplaced(runtime::DisplayObject& clip) override;
    bool hasUnloadHandler(const runtime::DisplayObject& object) const override;
    // Input (EngineInput.cpp).
    bool hasButtonHandler(const runtime::DisplayObject& object) const override;
    bool isDisabled(const runtime::DisplayObject& object) const override;
    bool usesHandCursor(const runtime::DisplayObject& object) const override;
    std::optional<bool> tabEnabled(const runtime::DisplayObject& object) const override;
    std::optional<double> tabIndex(const runtime::DisplayObject& object) const override;
    std::optional<bool> tabChildren(const runtime::DisplayObject& clip) const override;
    bool showsFocusRect(const runtime::DisplayObject& object) const override;
    void contextMenuOpening(const runtime::DisplayObject* target,
                            runtime::ContextMenuModel& model) override;
    void contextMenuItemChosen(std::size_t index) override;

    // ScriptHost
    void trace(std::string_view line) override;
    bool logEnabled() const override;
    void log(std::string_view message) override;
    double elapsedMilliseconds() const override;
    bool setClipboardText(std::string_view utf8) override;
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override;
    std::uint32_t openFileDialog(const runtime::FileDialogRequest& request) override;
    std::optional<runtime::FileDialogAnswer> fileDialogAnswer(std::uint32_t ticket) override;
    bool writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes) override;

private:
    static double frameMillisecondsAt(double rate);
    void followFrameRate();
    std::size_t runClipEvent(const runtime::QueuedAction& action);
    // Input (EngineInput.cpp): a button's handler of its transition, a focused
    // object's key handler, the Mouse and Key listeners, a move of the focus.
    std::size_t runButtonEvent(const runtime::QueuedAction& action);
    std::size_t runHandler(const runtime::QueuedAction& action);
    std::size_t runListeners(const runtime::QueuedAction& action);
    std::size_t runFocusChange(const runtime::QueuedAction& action);
    // Stage's listeners hear onResize.
    std::size_t runStageResize();
    std::size_t runTextChanged(const runtime::QueuedAction& action);
    std::size_t runTextScrolled(const runtime::QueuedAction& action);
    std::size_t runMouseWheel(const runtime::QueuedAction& action);
    // A text field's link to a script (EngineLinks.cpp).
    std::size_t runTextLink(const runtime::QueuedAction& action);
    // Calls the method `name` of `target` when it is a function, found without
    // __resolve: the player looks event handlers up that way.
    std::size_t callMethodIfAny(Object* target, const char* name, std::span<const Value> args = {});
    // The object's own value of a property scripts may set, without __resolve.
    std::optional<Value> scriptProperty(const runtime::DisplayObject& object,
                                        const char* name) const;
    std::size_t runCode(std::span<const std::uint8_t> code, Object* target, int swfVersion);
    // The file version whose rules a character's byte code follows.
    int versionOf(const swf::Character* character) const;
    // The same for an object's code: its character's, else its movie's.
    int versionOf(const runtime::DisplayObject* object) const;
    // A MovieClipLoader's event (builtins/MovieClipLoader.h).
    std::size_t runLoadEvent(const runtime::QueuedAction& action);
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
    // The time and step at which the frame rate last changed.
    double m_timeBaseMs = 0;
    std::uint64_t m_stepBase = 0;
    // The registry outlives the VM: the VM's cells unregister from it as they die.
    std::unique_ptr<ClipRegistry> m_clips;
    std::unique_ptr<Vm> m_vm;
    std::size_t m_rootsId = 0;
    OpenContextMenu* m_openMenu = nullptr; // rooted with the clips
};

} // namespace avm1
