#pragma once

#include "ScriptEngine.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace runtime {

// Blocks of byte code waiting for the script engine, in the order the timelines met
// them. Init blocks go first: a sprite's DoInitAction must have run before any frame
// code that uses what it defines, even when both were queued in the same step.
class ActionQueue {
public:
    void push(QueuedAction action);
    std::optional<QueuedAction> pop();
    bool empty() const { return m_init.empty() && m_normal.empty(); }
    std::size_t size() const { return m_init.size() + m_normal.size(); }
    void clear();

private:
    std::deque<QueuedAction> m_init;
    std::deque<QueuedAction> m_normal;
};

} // namespace runtime
