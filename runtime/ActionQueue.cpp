#include "ActionQueue.h"

namespace runtime {

ActionQueue::Lane ActionQueue::laneOf(const QueuedAction& action)
{
    if (action.kind == QueuedAction::Kind::Init)
        return InitLane;
    if (action.kind == QueuedAction::Kind::Clip) {
        if (action.event == ClipEvent::Initialize)
            return InitializeLane;
        if (action.event == ClipEvent::Construct)
            return ConstructLane;
    }
    return NormalLane;
}

void ActionQueue::push(QueuedAction action)
{
    m_lanes[laneOf(action)].push_back(std::move(action));
}

std::optional<QueuedAction> ActionQueue::pop()
{
    for (std::deque<QueuedAction>& lane : m_lanes) {
        if (lane.empty())
            continue;
        QueuedAction action = std::move(lane.front());
        lane.pop_front();
        return action;
    }
    return std::nullopt;
}

bool ActionQueue::empty() const
{
    return size() == 0;
}

std::size_t ActionQueue::size() const
{
    std::size_t total = 0;
    for (const std::deque<QueuedAction>& lane : m_lanes)
        total += lane.size();
    return total;
}

void ActionQueue::clear()
{
    for (std::deque<QueuedAction>& lane : m_lanes)
        lane.clear();
}

} // namespace runtime
