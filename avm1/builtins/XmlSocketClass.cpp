// XMLSocket: a connection that exchanges XML documents with a server. This player plays
// local files only and opens no connections: every attempt is refused, as a server's
// host refuses one where nothing listens. connect starts it (true) and onConnect(false)
// follows after the step's scripts; what arrives would go through onData to onXML.
#include "Builtins.h"
#include "DeferredEvents.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

// The reference's default time a connection attempt may take, in milliseconds.
constexpr double kDefaultTimeout = 20000;
// The ports a movie may connect to: the reference refuses the well-known ones.
constexpr double kFirstPort = 1024;
constexpr double kLastPort = 65535;

Value constructXmlSocket(Vm&, const CallArgs&)
{
    return Value();
}

// connect(host, port): host null or undefined means the movie's own. A port outside
// the allowed range fails at once, with no onConnect.
Value connect(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value(false);
    if (!call.arg(0).isNullish()) {
        vm.toString(call.arg(0));
        if (vm.throwing())
            return Value();
    }
    const double port = vm.toInteger(call.arg(1));
    if (vm.throwing())
        return Value();
    if (!(port >= kFirstPort && port <= kLastPort))
        return Value(false);
    return Value(deferCall(vm, self, "onConnect", {Value(false)}));
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

// onData(source): the text as an XML document, given to onXML.
Value onData(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const Value xmlClass = vm.getMember(vm.global(), vm.str("XML"));
    const Value source = call.arg(0);
    const Value document = vm.construct(xmlClass, std::span<const Value>(&source, 1));
    if (vm.throwing())
        return Value();
    vm.callMethod(Value(self), vm.str("onXML"), std::span<const Value>(&document, 1));
    return Value();
}

Value getTimeout(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    Value timeout;
    if (Property* p = self->properties().find(vm.str("timeout"), vm.caseRule()))
        timeout = p->value;
    return timeout.isNumber() ? timeout : Value(kDefaultTimeout);
}

// setTimeout(ms): kept for getTimeout; a whole number of milliseconds.
Value setTimeout(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || call.count() == 0)
        return Value();
    const double ms = vm.toInteger(call.arg(0));
    if (!vm.throwing())
        self->defineValue(vm, "timeout", Value(ms), PropertyFlag::DontEnum);
    return Value();
}

} // namespace

void installXmlSocket(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("XMLSocket", proto, constructXmlSocket);
    vm.defineMethods(proto, {
                                {"connect", connect},
                                {"send", returnsUndefined},
                                {"close", returnsUndefined},
                                {"onData", onData},
                                {"getTimeout", getTimeout},
                                {"setTimeout", setTimeout},
                            });
}

} // namespace avm1
