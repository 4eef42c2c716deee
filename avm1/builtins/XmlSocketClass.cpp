// XMLSocket: a connection that exchanges XML documents with a server. This player opens
// no network connections, so connect fails at once, as the reference's does where
// sockets are not allowed; what arrives would go through onData to onXML.
#include "Builtins.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

// The reference's default time a connection attempt may take, in milliseconds.
constexpr double kDefaultTimeout = 20000;

Value constructXmlSocket(Vm&, const CallArgs&)
{
    return Value();
}

Value connect(Vm&, const CallArgs&)
{
    return Value(false);
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
