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
    // The shortest time between two calls of a repeating timer: the desktop players'
    // timer resolution. A shorter interval (or one that is no number) is first due at
    // once, then this often.
    static constexpr double kMinIntervalMs = 10;

    struct Timer {
        std::int32_t id = 0;
        // The function to call, or the object whose `method` is looked up each time.
        Value target;
        String* method = nullptr;
        std::vector<Value> args;
        double intervalMs = 0;
        double dueMs = 0;
        bool repeats = true;
        // The fireDue call it was started in (those wait for the next), and its calls
        // in the present one.
        std::uint64_t startedIn = 0;
        int callsThisStep = 0;
    };

    // Starts a timer; returns its id (from 1), or 0 when the cap on live timers is
    // reached.
    std::int32_t start(Timer timer);
    // False when no timer has that id.
    bool stop(std::int32_t id);
    std::size_t size() const { return m_timers.size(); }
    const std::vector<Timer>& timers() const { return m_timers; }

    // Fires the timers due at `nowMs` in the order of their times (of equal times, the
    // one started first); a repeating one is due again an interval later and fires
    // again in this call when that is still due (up to a cap), a one-shot one ends.
    // Timers a callback starts wait for the next call; ones it stops fire no more.
    void fireDue(Vm& vm, double nowMs);

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_timers.capacity() * sizeof(Timer); }

private:
    void fire(Vm& vm, const Timer& timer);

    std::vector<Timer> m_timers;
    // The timer being fired, kept alive while its callback runs even if it stops itself.
    std::vector<Value> m_firing;
    std::int32_t m_nextId = 1;
    std::uint64_t m_generation = 0; // counts fireDue calls
    bool m_firingStep = false;      // inside fireDue
};

// The VM's timers, made on first use and kept alive with the VM.
TimerQueue& timerQueue(Vm& vm);

} // namespace avm1
