// The machine's timers: setTimeout and setInterval callbacks, due by the host's clock.
#include "Vm.h"
#include "avm2/Limits.h"

#include <algorithm>
#include <cmath>

namespace avm2 {

std::uint32_t Vm::addTimer(const Value& callback, std::vector<Value> args, double delayMs,
                           bool repeat)
{
    if (m_timers.size() >= limits::kMaxTimers)
        return 0;
    const double now = m_host.milliseconds ? m_host.milliseconds() : 0;
    const double delay = std::isfinite(delayMs) && delayMs > 0 ? delayMs : 0;
    Timer t;
    t.id = m_nextTimerId++;
    if (m_nextTimerId == 0)
        m_nextTimerId = 1;
    t.due = now + delay;
    t.interval = delay;
    t.repeat = repeat;
    t.callback = callback;
    t.args = std::move(args);
    m_timers.push_back(std::move(t));
    return m_timers.back().id;
}

bool Vm::removeTimer(std::uint32_t id)
{
    return std::erase_if(m_timers, [id](const Timer& t) { return t.id == id; }) > 0;
}

void Vm::runTimers()
{
    if (m_timers.empty() || !m_host.milliseconds)
        return;
    const double now = m_host.milliseconds();
    std::vector<std::pair<double, std::uint32_t>> due;
    for (const Timer& t : m_timers)
        if (t.due <= now)
            due.emplace_back(t.due, t.id);
    std::sort(due.begin(), due.end());
    for (const auto& entry : due) {
        // A callback may clear or add timers: find this one again each time.
        const std::uint32_t id = entry.second;
        auto it = std::find_if(m_timers.begin(), m_timers.end(),
                               [id](const Timer& t) { return t.id == id; });
        if (it == m_timers.end())
            continue;
        const Value callback = it->callback;
        const std::vector<Value> args = it->args;
        if (it->repeat)
            it->due = std::max(it->due + std::max(it->interval, 1.0), now);
        else
            m_timers.erase(it);
        startBudget();
        call(callback, Value::null(), args);
        if (m_throwing)
            printUncaught(takeException());
    }
}

} // namespace avm2
