#pragma once

#include <cstdint>

namespace runtime {

// The pointer's share of one step (a frame advance or an input event): every hit test
// the step makes, whether for the pointer, a drag's drop target or a script's hitTest,
// draws on one budget, so that no input can make a step walk without end (buttons
// whose hit areas place buttons multiply the walk at every level). Work is counted in
// units, not timed: an edge tested is one, a character definition visited
// limits::kHitTestVisitCost. Once the budget is spent nothing more hits until the next
// step.
class HitTestBudget {
public:
    explicit HitTestBudget(std::uint64_t units) : m_units(units), m_left(units) {}

    // Takes `units` of work; false, and nothing taken, when they are not left.
    bool spend(std::uint64_t units)
    {
        if (units > m_left) {
            m_exhausted = true;
            return false;
        }
        m_left -= units;
        return true;
    }
    std::uint64_t used() const { return m_units - m_left; }
    // What the step before the last reset used, and whether it ran out.
    std::uint64_t usedByLastStep() const { return m_lastUsed; }
    bool lastStepExhausted() const { return m_lastExhausted; }
    // Whether a test was refused since the last reset.
    bool exhausted() const { return m_exhausted; }
    void reset()
    {
        m_lastUsed = used();
        m_lastExhausted = m_exhausted;
        m_left = m_units;
        m_exhausted = false;
    }

private:
    std::uint64_t m_units;
    std::uint64_t m_left;
    bool m_exhausted = false;
    std::uint64_t m_lastUsed = 0;
    bool m_lastExhausted = false;
};

} // namespace runtime
