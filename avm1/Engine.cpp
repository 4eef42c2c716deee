#include "Engine.h"

#include "ClipRoots.h"
#include "Interpreter.h"
#include "StringUnits.h"
#include "Timers.h"
#include "builtins/ClassRegistry.h"
#include "builtins/ContextMenus.h"
#include "builtins/DeferredEvents.h"
#include "builtins/FileReferences.h"
#include "builtins/Loads.h"
#include "builtins/LocalConnectionClass.h"
#include "builtins/MovieClipPlacement.h"
#include "builtins/NetStreamState.h"
#include "builtins/SoundState.h"
#include "builtins/SystemObject.h"
#include "builtins/TextFields.h"
#include "runtime/MoviePlayer.h"
#include "runtime/MovieSounds.h"
#include "runtime/PlayerContext.h"
#include "runtime/ScriptLimits.h"
#include "runtime/SpriteObject.h"

namespace avm1 {

Engine::Engine(runtime::MoviePlayer& player, runtime::Host& host)
    : m_player(player), m_host(host), m_stepStart(std::chrono::steady_clock::now())
{
    m_frameMilliseconds = frameMillisecondsAt(player.frameRate());
    m_vm = std::make_unique<Vm>(player.swfVersion(), this);
    const runtime::ScriptLimits limits = player.scriptLimits();
    m_vm->setMaxRecursion(limits.maxRecursionDepth);
    m_vm->setTimeBudget(limits.timeoutSeconds);
    m_clips = std::make_unique<ClipRegistry>(*m_vm);
    m_clips->setRoot(&player.root());
    m_vm->interpreter().setRootClip(m_clips->wrap(&player.root()));
    describeMovie(*m_vm, m_vm->interpreter().rootClip(),
                  MovieFacts{player.movie().attributes.useNetwork});
    m_openMenu = m_vm->heap().make<OpenContextMenu>();
    m_rootsId = m_vm->addRoots([this](Tracer& tracer) {
        m_clips->trace(tracer);
        tracer.mark(m_openMenu);
    });
    player.setScriptEngine(this);
}

Engine::~Engine()
{
    m_player.setScriptEngine(nullptr);
    m_vm->removeRoots(m_rootsId);
    // Cells unregister from the registry as the heap deletes them.
    m_vm.reset();
    m_clips.reset();
}

std::size_t Engine::runCode(std::span<const std::uint8_t> code, Object* target, int swfVersion)
{
    return static_cast<std::size_t>(m_vm->interpreter().runBlock(code, swfVersion, target));
}

int Engine::versionOf(const swf::Character* character) const
{
    // Characters imported from another movie keep the rules of the file they came from.
    if (character && character->swfVersion)
        return character->swfVersion;
    return m_player.swfVersion();
}

int Engine::versionOf(const runtime::DisplayObject* object) const
{
    if (!object)
        return m_player.swfVersion();
    // An object's code is its movie's: a loaded movie's follows its own file's rules.
    if (const swf::Character* character = object->character(); character && character->swfVersion)
        return character->swfVersion;
    return object->movie().header.version;
}

std::size_t Engine::runAction(const runtime::QueuedAction& action)
{
    using Kind = runtime::QueuedAction::Kind;
    switch (action.kind) {
    case Kind::Init: {
        const swf::Character* sprite = action.target->movie().character(action.spriteId);
        return runCode(action.code, m_clips->wrap(action.target.get()),
                       sprite && sprite->swfVersion ? sprite->swfVersion
                                                    : action.target->movie().header.version);
    }
    case Kind::Frame:
        return runCode(action.code, m_clips->wrap(action.target.get()),
                       versionOf(action.target.get()));
    case Kind::Button:
        return runCode(action.code, m_clips->wrap(action.target.get()),
                       versionOf(action.button ? action.button.get() : action.target.get()));
    case Kind::ButtonEvent:
        return runButtonEvent(action);
    case Kind::Clip:
        return runClipEvent(action);
    case Kind::Handler:
        return runHandler(action);
    case Kind::Listeners:
        return runListeners(action);
    case Kind::FocusChange:
        return runFocusChange(action);
    case Kind::TextChanged:
        return runTextChanged(action);
    case Kind::TextScrolled:
        return runTextScrolled(action);
    case Kind::MouseWheel:
        return runMouseWheel(action);
    case Kind::TextLink:
        return runTextLink(action);
    case Kind::Resize:
        return runStageResize();
    case Kind::Load:
        return runLoadEvent(action);
    }
    return 0;
}

std::size_t Engine::runClipEvent(const runtime::QueuedAction& action)
{
    ClipObject* clip = m_clips->wrap(action.target.get());
    if (!clip)
        return 0;
    std::size_t ran = 0;
    const std::uint32_t bit = runtime::clipEventBit(action.event);
    if (const auto* handlers = action.target->clipActions()) {
        for (const swf::ClipAction& handler : *handlers) {
            if (!(handler.events & bit))
                continue;
            if (action.event == runtime::ClipEvent::KeyPress && handler.keyCode != action.keyCode)
                continue;
            const runtime::DisplayObject* owner = action.target->parent();
            ran += runCode(handler.actions, clip, versionOf(owner ? owner : action.target.get()));
        }
    }
    if (action.event == runtime::ClipEvent::Construct) {
        // A clip of a registered class is constructed by the class, once: attachMovie
        // has already done it for the clips it makes.
        if (Object* ctor = registeredClass(*action.target); ctor && !clip->constructed()) {
            // Init code of the clip's own frame may have registered the class after
            // the clip was placed: the class gives its prototype now.
            if (Object* proto = m_vm->getMember(ctor, m_vm->names().prototype).objectOrNull())
                clip->setPrototype(proto);
            const std::uint64_t before = m_vm->actionsExecuted();
            m_vm->startBudget();
            m_vm->clearAbort();
            constructClip(*m_vm, *clip, ctor);
            reportUncaught();
            ran += static_cast<std::size_t>(m_vm->actionsExecuted() - before);
        }
        return ran;
    }
    // Key handlers answer the focus alone (runHandler).
    if (action.event == runtime::ClipEvent::KeyDown || action.event == runtime::ClipEvent::KeyUp)
        return ran;
    // A script's onLoad answers only for clips of a registered class: a plain clip's
    // load comes before any script could give it one that counts.
    if (action.event == runtime::ClipEvent::Load && !registeredClass(*action.target))
        return ran;
    return ran + callMethodIfAny(clip, runtime::clipEventMethod(action.event));
}

std::size_t Engine::callHandler(Value function, Object* target, std::span<const Value> args)
{
    const std::uint64_t before = m_vm->actionsExecuted();
    m_vm->startBudget();
    m_vm->clearAbort();
    m_vm->call(function, Value(target), args);
    reportUncaught();
    return static_cast<std::size_t>(m_vm->actionsExecuted() - before);
}

void Engine::reportUncaught()
{
    if (m_vm->throwing()) {
        const Value e = m_vm->takeException();
        trace("Warning: Uncaught exception, " + m_vm->toStdString(e));
    }
}

Object* Engine::registeredClass(const runtime::DisplayObject& object)
{
    if (object.kind() != runtime::ObjectKind::Sprite || !object.character())
        return nullptr;
    // The symbol's name in its own movie's export table.
    const std::string* symbol = object.movieInstance().exportName(object.characterId());
    if (!symbol)
        return nullptr;
    return classForSymbol(*m_vm, scriptRealmOf(object), *symbol);
}

bool Engine::hasUnloadHandler(const runtime::DisplayObject& object) const
{
    ClipObject* clip = m_clips->find(object.id());
    if (!clip)
        return false;
    Value fn;
    if (!m_vm->lookup(clip, m_vm->names().onUnload, fn))
        return false;
    Object* f = fn.objectOrNull();
    return f && f->isFunction();
}

void Engine::objectCreated(runtime::DisplayObject& object)
{
    ClipObject* clip = m_clips->wrap(&object);
    if (!clip)
        return;
    if (object.kind() == runtime::ObjectKind::EditText) {
        textFieldPlaced(*m_vm, *clip);
        return;
    }
    // A registered class gives the clip its prototype as soon as it exists; its
    // constructor runs with the Construct event.
    if (Object* ctor = registeredClass(object)) {
        if (Object* proto = m_vm->getMember(ctor, m_vm->names().prototype).objectOrNull())
            clip->setPrototype(proto);
    }
}

void Engine::objectRemoved(runtime::DisplayObject&) {}

void Engine::contextMenuOpening(const runtime::DisplayObject* target,
                                runtime::ContextMenuModel& model)
{
    std::vector<Object*> owners;
    // The clips keep their script objects; the objects on the way are found by wrapping.
    for (auto* object = const_cast<runtime::DisplayObject*>(target); object;
         object = object->parent()) {
        if (ClipObject* clip = m_clips->wrap(object))
            owners.push_back(clip);
    }
    if (owners.empty() || owners.back() != m_clips->wrap(&m_player.root()))
        owners.push_back(m_clips->wrap(&m_player.root()));
    openContextMenu(*m_vm, owners, model, *m_openMenu);
}

void Engine::contextMenuItemChosen(std::size_t index)
{
    chooseContextMenuItem(*m_vm, *m_openMenu, index);
}

double Engine::frameMillisecondsAt(double rate)
{
    // A movie that claims no rate still keeps time: the authoring tool's default.
    return 1000.0 / (rate > 0 ? std::min(rate, 120.0) : 12.0);
}

void Engine::followFrameRate()
{
    // A movie loaded into level 0 brings its rate; the time passed so far stays.
    const double ms = frameMillisecondsAt(m_player.frameRate());
    if (ms == m_frameMilliseconds)
        return;
    m_timeBaseMs += static_cast<double>(m_player.steps() - m_stepBase) * m_frameMilliseconds;
    m_stepBase = m_player.steps();
    m_frameMilliseconds = ms;
}

void Engine::stepFinished()
{
    followFrameRate();
    // Values left on the stack are seen by the blocks of the same step, not the next.
    m_vm->stack().clear();
    timerQueue(*m_vm).fireDue(*m_vm, elapsedMilliseconds());
    // Files asked for in this step arrive after its scripts, as the reference's do.
    loadQueue(*m_vm).deliver(*m_vm);
    // So do LocalConnection messages, and the ends and loads of sounds.
    deliverLocalConnectionMessages(*m_vm);
    // What file dialogs, transfers and sockets report.
    fileReferences(*m_vm).deliver(*m_vm);
    deliverDeferredEvents(*m_vm);
    soundEvents(*m_vm).deliver(*m_vm, m_player.root().context().sounds());
    netStreams(*m_vm).deliver(*m_vm, m_player.root().context().sounds(), m_frameMilliseconds);
    m_vm->maybeCollect();
    m_stepStart = std::chrono::steady_clock::now();
}

void Engine::trace(std::string_view line)
{
    m_host.trace(withoutLoneSurrogates(line));
}

bool Engine::logEnabled() const
{
    return m_host.logEnabled(runtime::LogCategory::Avm1);
}

void Engine::log(std::string_view message)
{
    m_host.log(runtime::LogCategory::Avm1, message);
}

swf::Result<std::vector<std::uint8_t>> Engine::fetchFile(std::string_view url, std::size_t maxBytes)
{
    return m_host.fetchFile(url, maxBytes);
}

bool Engine::setClipboardText(std::string_view utf8)
{
    m_player.setClipboardText(utf8);
    return true;
}

double Engine::elapsedMilliseconds() const
{
    const double inStep =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_stepStart)
            .count();
    return m_timeBaseMs + static_cast<double>(m_player.steps() - m_stepBase) * m_frameMilliseconds +
           inStep;
}

} // namespace avm1
