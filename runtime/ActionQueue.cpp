#include "ActionQueue.h"

namespace runtime {

void ActionQueue::push(QueuedAction action)
{
    if (action.kind == QueuedAction::Kind::Init)
        m_init.push_back(std::move(action));
    else
        m_normal.push_back(std::move(action));
}

std::optional<QueuedAction> ActionQueue::pop()
{
    std::deque<QueuedAction>& from = m_init.empty() ? m_normal : m_init;
    if (from.empty())
        return std::nullopt;
    QueuedAction action = std::move(from.front());
    from.pop_front();
    return action;
}

void ActionQueue::clear()
{
    m_init.clear();
    m_normal.clear();
}

} // namespace runtime
