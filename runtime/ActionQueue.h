#pragma once

#include "ScriptEngine.h"

#include <array>
#include <cstddef>
#include <deque>
#include <optional>

namespace runtime {

// Blocks and events waiting for the script engine, in the order the timelines met
// them, each in one of four lanes that run in this order:
//   1. DoInitAction blocks: what a sprite's class and helpers define must exist before
//      any code that uses them, even code queued earlier in the same step;
//   2. Initialize events, then 3. Construct events of newly placed clips: a clip is
//      built (its class constructor runs) before any frame code sees it, and all
//      Initialize handlers of a step run before its Construct handlers;
//   4. everything else: frame actions, button actions, the other clip events.
// A block queued while the queue runs joins its lane, so an init block queued by a
// jump still runs before the frame code that jump queued.
class ActionQueue {
public:
    void push(QueuedAction action);
    std::optional<QueuedAction> pop();
    bool empty() const;
    std::size_t size() const;
    void clear();

private:
    enum Lane : std::size_t { InitLane, InitializeLane, ConstructLane, NormalLane, LaneCount };
    static Lane laneOf(const QueuedAction& action);

    std::array<std::deque<QueuedAction>, LaneCount> m_lanes;
};

} // namespace runtime
