#include "Timers.h"

#include "Limits.h"
#include "Vm.h"

#include <algorithm>

namespace avm1 {

std::int32_t TimerQueue::start(Timer timer)
{
    if (m_timers.size() >= limits::kMaxTimers)
        return 0;
    timer.id = m_nextId;
    timer.startedIn = m_firingStep ? m_generation : 0;
    // Ids are never reused while the movie runs; past 2^31 - 1 they start over.
    m_nextId = m_nextId == INT32_MAX ? 1 : m_nextId + 1;
    m_timers.push_back(std::move(timer));
    return m_timers.back().id;
}

bool TimerQueue::stop(std::int32_t id)
{
    auto it =
        std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& t) { return t.id == id; });
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return true;
}

void TimerQueue::fireDue(Vm& vm, double nowMs)
{
    const std::uint64_t generation = ++m_generation;
    for (Timer& t : m_timers)
        t.callsThisStep = 0;
    m_firingStep = true;
    for (int total = 0; total < limits::kMaxTimerCallsPerStepTotal && !vm.aborted(); ++total) {
        // The earliest due of the timers there before this call; of equal times, the one
        // started first (the list is in start order).
        Timer* next = nullptr;
        for (Timer& t : m_timers) {
            if (t.startedIn == generation || t.callsThisStep >= limits::kMaxTimerCallsPerStep ||
                t.dueMs > nowMs)
                continue;
            if (!next || t.dueMs < next->dueMs)
                next = &t;
        }
        if (!next)
            break;
        int* calls = &++next->callsThisStep;
        Timer timer = *next;
        if (next->repeats) {
            // Due again an interval later: an interval shorter than the step fires
            // several times in it, as close to its times as the steps allow.
            const double interval = std::max(next->intervalMs, kMinIntervalMs);
            next->dueMs += interval;
            if (*calls >= limits::kMaxTimerCallsPerStep && next->dueMs <= nowMs)
                next->dueMs = nowMs + interval;
        } else {
            stop(timer.id);
        }
        fire(vm, timer);
    }
    m_firingStep = false;
}

void TimerQueue::fire(Vm& vm, const Timer& timer)
{
    m_firing = timer.args;
    m_firing.push_back(timer.target);
    Value function = timer.target;
    Value self;
    if (timer.method) {
        self = timer.target;
        function = vm.getMember(timer.target, timer.method);
        m_firing.push_back(function);
    }
    if (!vm.throwing())
        vm.call(function, self, timer.args);
    if (vm.throwing()) {
        // What the player prints for any block that ends with an exception.
        const Value e = vm.takeException();
        vm.trace("Warning: Uncaught exception, " + vm.toStdString(e));
        if (vm.throwing())
            vm.takeException();
    }
    m_firing.clear();
}

void TimerQueue::traceChildren(Tracer& tracer)
{
    for (const Timer& t : m_timers) {
        tracer.mark(t.target);
        tracer.mark(t.method);
        for (const Value& v : t.args)
            tracer.mark(v);
    }
    for (const Value& v : m_firing)
        tracer.mark(v);
}

TimerQueue& timerQueue(Vm& vm)
{
    Cell*& slot = vm.builtins().timers;
    if (!slot) {
        auto* queue = vm.heap().make<TimerQueue>();
        slot = queue;
        vm.addRoots([queue](Tracer& tracer) { tracer.mark(queue); });
    }
    return *static_cast<TimerQueue*>(slot);
}

} // namespace avm1
