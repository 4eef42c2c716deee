#include "DeferredEvents.h"

#include "avm1/Vm.h"

namespace avm1 {

namespace {

class EventQueue final : public Cell {
public:
    struct Event {
        Object* target = nullptr;
        String* name = nullptr;
        std::vector<Value> args;
        bool broadcast = true; // broadcastMessage(name, args...), or name(args...)
    };

    bool push(Event event)
    {
        if (m_waiting.size() >= limits::kMaxDeferredEvents)
            return false;
        m_waiting.push_back(std::move(event));
        return true;
    }
    std::vector<Event>& startDelivery()
    {
        m_delivering.swap(m_waiting);
        m_waiting.clear();
        return m_delivering;
    }
    void endDelivery() { m_delivering.clear(); }

    void traceChildren(Tracer& tracer) override
    {
        for (const std::vector<Event>* list : {&m_waiting, &m_delivering})
            for (const Event& e : *list) {
                tracer.mark(e.target);
                tracer.mark(e.name);
                for (const Value& v : e.args)
                    tracer.mark(v);
            }
    }
    std::size_t extraBytes() const override
    {
        return (m_waiting.capacity() + m_delivering.capacity()) * sizeof(Event);
    }

private:
    std::vector<Event> m_waiting;
    std::vector<Event> m_delivering;
};

EventQueue& queue(Vm& vm)
{
    Cell*& slot = vm.builtins().deferredEvents;
    if (!slot) {
        auto* events = vm.heap().make<EventQueue>();
        slot = events;
        vm.addRoots([events](Tracer& tracer) { tracer.mark(events); });
    }
    return *static_cast<EventQueue*>(slot);
}

void reportUncaught(Vm& vm)
{
    if (!vm.throwing())
        return;
    const Value e = vm.takeException();
    vm.trace("Warning: Uncaught exception, " + vm.toStdString(e));
    if (vm.throwing())
        vm.takeException();
}

} // namespace

void broadcastNow(Vm& vm, Object* target, String* event, std::span<const Value> args)
{
    std::vector<Value> message;
    message.reserve(args.size() + 1);
    message.push_back(Value(event));
    message.insert(message.end(), args.begin(), args.end());
    vm.startBudget();
    vm.clearAbort();
    vm.callMethod(Value(target), vm.str("broadcastMessage"), message);
    reportUncaught(vm);
}

bool deferBroadcast(Vm& vm, Object* target, std::string_view event, std::vector<Value> args)
{
    if (!target)
        return false;
    return queue(vm).push({target, vm.str(event), std::move(args), true});
}

bool deferCall(Vm& vm, Object* target, std::string_view method, std::vector<Value> args)
{
    if (!target)
        return false;
    return queue(vm).push({target, vm.str(method), std::move(args), false});
}

void deliverDeferredEvents(Vm& vm)
{
    if (!vm.builtins().deferredEvents)
        return;
    EventQueue& events = queue(vm);
    std::vector<EventQueue::Event>& batch = events.startDelivery();
    for (const EventQueue::Event& event : batch) {
        if (event.broadcast) {
            broadcastNow(vm, event.target, event.name, event.args);
            continue;
        }
        vm.startBudget();
        vm.clearAbort();
        vm.callMethod(Value(event.target), event.name, event.args);
        reportUncaught(vm);
    }
    events.endDelivery();
}

} // namespace avm1
