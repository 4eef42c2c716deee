#include "LocalConnectionClass.h"

#include "AmfBridge.h"
#include "Builtins.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace avm1 {

namespace {

// The domain every movie here comes from: local files.
constexpr std::string_view kDomain = "localhost";

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The names connections are known by, the messages waiting, and who sent them.
class LocalConnections final : public Cell {
public:
    struct Channel {
        std::string name; // as compared: lowered, with its domain
        Object* owner = nullptr;
    };
    struct Message {
        Object* sender = nullptr;
        std::string channel;
        String* method = nullptr;
        std::vector<std::uint8_t> arguments; // AMF values, one after another
        std::size_t argumentCount = 0;
        // Someone held the name when the message was sent: a message to nobody
        // fails even if a receiver connects before it would arrive.
        bool heldWhenSent = false;
    };

    Object* ownerOf(std::string_view name) const
    {
        for (const Channel& c : m_channels)
            if (c.name == name)
                return c.owner;
        return nullptr;
    }
    bool isConnected(const Object* owner) const
    {
        return std::any_of(m_channels.begin(), m_channels.end(),
                           [owner](const Channel& c) { return c.owner == owner; });
    }
    bool connect(std::string name, Object* owner)
    {
        if (ownerOf(name) || isConnected(owner) ||
            m_channels.size() >= limits::kMaxLocalConnections)
            return false;
        m_channels.push_back({std::move(name), owner});
        return true;
    }
    void close(const Object* owner)
    {
        std::erase_if(m_channels, [owner](const Channel& c) { return c.owner == owner; });
    }
    bool queue(Message message)
    {
        if (m_waiting.size() >= limits::kMaxPendingMessages)
            return false;
        m_waiting.push_back(std::move(message));
        return true;
    }
    std::vector<Message> takeWaiting()
    {
        std::vector<Message> batch;
        batch.swap(m_waiting);
        return batch;
    }
    // The batch being delivered stays reachable while its callbacks run.
    std::vector<Message>& delivering() { return m_delivering; }

    void traceChildren(Tracer& tracer) override
    {
        for (const Channel& c : m_channels)
            tracer.mark(c.owner);
        for (const std::vector<Message>* list : {&m_waiting, &m_delivering})
            for (const Message& m : *list) {
                tracer.mark(m.sender);
                tracer.mark(m.method);
            }
    }
    std::size_t extraBytes() const override
    {
        std::size_t bytes = m_channels.capacity() * sizeof(Channel);
        for (const Message& m : m_waiting)
            bytes += sizeof(Message) + m.arguments.capacity();
        return bytes;
    }

private:
    std::vector<Channel> m_channels;
    std::vector<Message> m_waiting;
    std::vector<Message> m_delivering;
};

LocalConnections& connections(Vm& vm)
{
    Cell*& slot = vm.builtins().localConnections;
    if (!slot) {
        auto* table = vm.heap().make<LocalConnections>();
        slot = table;
        vm.addRoots([table](Tracer& tracer) { tracer.mark(table); });
    }
    return *static_cast<LocalConnections*>(slot);
}

// A name as a receiver connects with it: a string, not empty, without a domain of its
// own; names starting with "_" belong to no domain.
std::optional<std::string> receiverName(Value name)
{
    if (!name.isString() || name.asString()->empty())
        return std::nullopt;
    const std::string_view text = name.asString()->view();
    if (text.find(':') != std::string_view::npos)
        return std::nullopt;
    if (text[0] == '_')
        return lowered(text);
    return lowered(std::string(kDomain) + ":" + std::string(text));
}

// A name as a sender gives it: a receiver's name, or one with a domain before it.
std::optional<std::string> destinationName(Value name)
{
    if (!name.isString() || name.asString()->empty())
        return std::nullopt;
    const std::string_view text = name.asString()->view();
    if (text[0] == '_' || text.find(':') != std::string_view::npos)
        return lowered(text);
    return lowered(std::string(kDomain) + ":" + std::string(text));
}

// The methods a message may not call: the connection's own, and its status handler.
bool isProtectedMethod(std::string_view method)
{
    for (std::string_view own :
         {"send", "connect", "close", "allowDomain", "allowInsecureDomain", "domain", "onStatus"})
        if (sameKey(method, own, CaseRule::Insensitive))
            return true;
    return false;
}

Value constructLocalConnection(Vm&, const CallArgs&)
{
    return Value();
}

Value connect(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const auto name = receiverName(call.arg(0));
    if (!self || !name)
        return Value(false);
    return Value(connections(vm).connect(*name, self));
}

Value close(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        connections(vm).close(self);
    return Value();
}

Value domain(Vm& vm, const CallArgs&)
{
    return vm.strValue(kDomain);
}

// send(name, method, args...): true when the message is on its way.
Value send(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    const auto channel = destinationName(call.arg(0));
    const Value method = call.arg(1);
    if (!self || !channel || !method.isString() || method.asString()->empty() ||
        isProtectedMethod(method.asString()->view()))
        return Value(false);
    LocalConnections::Message message;
    message.sender = self;
    message.channel = *channel;
    message.method = method.asString();
    for (std::size_t i = 2; i < call.count(); ++i) {
        auto bytes = encodeAmf0(vm, call.args[i]);
        if (!bytes)
            return vm.throwing() ? Value() : Value(false);
        if (message.arguments.size() + bytes->size() > limits::kMaxMessageBytes)
            return Value(false);
        message.arguments.insert(message.arguments.end(), bytes->begin(), bytes->end());
        ++message.argumentCount;
    }
    LocalConnections& table = connections(vm);
    message.heldWhenSent = table.ownerOf(*channel) != nullptr;
    return Value(table.queue(std::move(message)));
}

// Runs a callback of a delivery; what it throws goes nowhere.
void callQuietly(Vm& vm, Value function, Object* self, std::span<const Value> args)
{
    vm.startBudget();
    vm.clearAbort();
    vm.call(function, Value(self), args);
    if (vm.throwing())
        vm.takeException();
    vm.clearAbort();
}

void deliver(Vm& vm, const LocalConnections::Message& message)
{
    Object* receiver = message.heldWhenSent ? connections(vm).ownerOf(message.channel) : nullptr;
    Object* info = vm.makeObject();
    info->defineValue(vm, "level", vm.strValue(receiver ? "status" : "error"));
    const Value status = vm.getMember(message.sender, vm.str("onStatus"));
    if (Object* f = status.objectOrNull(); f && f->isFunction()) {
        const Value arg(info);
        callQuietly(vm, status, message.sender, std::span<const Value>(&arg, 1));
    }
    if (!receiver)
        return;
    std::vector<Value> args;
    std::span<const std::uint8_t> rest(message.arguments);
    for (std::size_t i = 0; i < message.argumentCount && !rest.empty(); ++i) {
        std::size_t used = 0;
        args.push_back(decodeAmf0(vm, rest, &used));
        rest = rest.subspan(std::min(used, rest.size()));
    }
    const Value method = vm.getMember(receiver, message.method);
    if (Object* f = method.objectOrNull(); f && f->isFunction())
        callQuietly(vm, method, receiver, args);
}

} // namespace

void deliverLocalConnectionMessages(Vm& vm)
{
    if (!vm.builtins().localConnections)
        return;
    LocalConnections& table = connections(vm);
    std::vector<LocalConnections::Message>& batch = table.delivering();
    batch = table.takeWaiting();
    if (batch.empty())
        return;
    // The values the deliveries make live in locals here until the scripts see them.
    Vm::NativeScope native(vm);
    for (const LocalConnections::Message& message : batch)
        deliver(vm, message);
    batch.clear();
}

void installLocalConnection(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("LocalConnection", proto, constructLocalConnection);
    vm.defineMethods(proto,
                     {{"connect", connect}, {"send", send}, {"close", close}, {"domain", domain}});
    // Whether names are per user: nothing the player says.
    proto->defineValue(vm, "isPerUser", Value(), PropertyFlag::DontEnum | PropertyFlag::ReadOnly);
}

} // namespace avm1
