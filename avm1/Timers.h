#pragma once

// setInterval and setTimeout: the timers scripts start, fired by the engine after
// each step from the movie's clock.

#include "Heap.h"
#include "Value.h"

#include <cstdint>
#include <vector>

namespace avm1 {

class Object;
class String;
class Vm;

class TimerQueue final : public Cell {
public:
    struct Timer {
        std::int32_t id = 0;
        // The function to call, or the object whose `method` is looked up each time.
        Value target;
        String* method = nullptr;
        std::vector<Value> args;
        double intervalMs = 0;
        double dueMs = 0;
        bool repeats = true;
    };

    // Starts a timer; returns its id (from 1), or 0 when the cap on live timers is
    // reached.
    std::int32_t start(Timer timer);
    // False when no timer has that id.
    bool stop(std::int32_t id);
    std::size_t size() const { return m_timers.size(); }
    const std::vector<Timer>& timers() const { return m_timers; }

    // Fires, in the order they were started, the timers due at `nowMs`, each at most
    // once; repeating ones are due again an interval later, one-shot ones end. A timer
    // started or stopped by a callback takes effect for the next call.
    void fireDue(Vm& vm, double nowMs);

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_timers.capacity() * sizeof(Timer); }

private:
    void fire(Vm& vm, const Timer& timer);

    std::vector<Timer> m_timers;
    // The timer being fired, kept alive while its callback runs even if it stops itself.
    std::vector<Value> m_firing;
    std::int32_t m_nextId = 1;
};

// The VM's timers, made on first use and kept alive with the VM.
TimerQueue& timerQueue(Vm& vm);

} // namespace avm1
