#include "Engine.h"

#include "avm2/classes/DisplayClasses.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

namespace avm2 {

Engine::Engine(runtime::MoviePlayer& player, runtime::Host& host)
    : m_player(player), m_host(host), m_start(std::chrono::steady_clock::now())
{
    Vm::Host vmHost;
    vmHost.trace = [this](std::string_view line) { m_host.trace(line); };
    vmHost.milliseconds = [this] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start)
            .count();
    };
    if (host.logEnabled(runtime::LogCategory::Avm2))
        vmHost.log = [this](std::string_view message) {
            m_host.log(runtime::LogCategory::Avm2, message);
        };
    m_vm = std::make_unique<Vm>(std::move(vmHost), player.swfVersion());
    const runtime::ScriptLimits limits = player.scriptLimits();
    if (limits.timeoutSeconds > 0)
        m_vm->setTimeout(limits.timeoutSeconds);
    m_vm->addRoots([this](script::Tracer& tracer) { tracer.mark(m_document); });
    player.setScriptEngine(this);
    runFrameTags(0);
}

Engine::~Engine()
{
    m_player.setScriptEngine(nullptr);
}

void Engine::runFrameTags(std::size_t frame)
{
    const swf::Timeline& timeline = m_player.movie().timeline;
    if (frame >= timeline.frames.size())
        return;
    std::string documentClass;
    for (const swf::ControlTag& tag : timeline.frames[frame].tags) {
        if (const auto* abc = std::get_if<swf::DoAbc>(&tag)) {
            m_vm->startBudget();
            std::string error;
            if (!m_vm->loadAbc(abc->abc, (abc->flags & 1) != 0, &error) && m_vm->logs())
                m_host.log(runtime::LogCategory::Avm2, "ABC block refused: " + error);
        } else if (const auto* symbols = std::get_if<swf::SymbolClass>(&tag)) {
            for (const auto& [id, className] : symbols->symbols) {
                if (id == 0)
                    documentClass = className;
                else
                    m_symbolClasses[id] = className;
            }
        }
    }
    if (!documentClass.empty())
        constructDocumentClass(documentClass);
}

void Engine::constructDocumentClass(const std::string& name)
{
    Vm& vm = *m_vm;
    vm.startBudget();
    Value cls = vm.getDefinitionByName(utf16(name));
    if (vm.throwing()) {
        vm.printUncaught(vm.takeException());
        return;
    }
    if (!cls.isObject() || cls.asObject()->kind() != ObjectKind::Class)
        return;
    auto* c = static_cast<ClassObject*>(cls.asObject());
    Value sprite = vm.getDefinitionByName(u"flash.display::Sprite");
    if (!sprite.isObject() || !c->isSubclassOf(static_cast<ClassObject*>(sprite.asObject()))) {
        vm.throwError(ErrorType::TypeError, 2023, {c->qualifiedName->text() + u"$"});
        vm.printUncaught(vm.takeException());
        return;
    }
    m_document = vm.construct(cls, {});
    if (vm.throwing()) {
        vm.printUncaught(vm.takeException());
        return;
    }
    // The first frame's script, which the class registered while it was constructed.
    if (MovieClipObject* clip = asMovieClip(m_document); clip && !clip->frameScripts.empty()) {
        const Value script = clip->frameScripts[0];
        if (vm.isCallable(script)) {
            vm.startBudget();
            vm.call(script, m_document, {});
            if (vm.throwing())
                vm.printUncaught(vm.takeException());
        }
    }
}

std::size_t Engine::runAction(const runtime::QueuedAction&)
{
    return 0;
}

void Engine::stepFinished()
{
    m_vm->collectIfWanted();
}

} // namespace avm2
