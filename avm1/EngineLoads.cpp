// The engine's side of movies loaded into levels and clips (runtime/MovieLoading.cpp
// carries the loads out; builtins/MovieLoads.h holds the script side).
#include "Engine.h"
#include "builtins/MovieLoads.h"

namespace avm1 {

std::size_t Engine::runLoadEvent(const runtime::QueuedAction& action)
{
    const std::uint64_t before = m_vm->actionsExecuted();
    m_vm->startBudget();
    m_vm->clearAbort();
    ClipObject* target = action.target ? m_clips->wrap(action.target.get()) : nullptr;
    deliverLoadEvent(*m_vm, action.observer, action.loadEvent, target, action.bytes);
    if (m_vm->throwing()) {
        const Value e = m_vm->takeException();
        trace("Warning: Uncaught exception, " + m_vm->toStdString(e));
    }
    return static_cast<std::size_t>(m_vm->actionsExecuted() - before);
}

void Engine::movieReplaced(runtime::DisplayObject& clip)
{
    if (ClipObject* wrapper = m_clips->wrap(&clip))
        startClipAfresh(*m_vm, *wrapper);
}

} // namespace avm1
