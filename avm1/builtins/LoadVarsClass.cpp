// LoadVars: name and value pairs in the form a URL's query writes them, loaded from a
// file into the object's properties (decode) and written back from them (toString).
#include "Builtins.h"
#include "Loads.h"
#include "avm1/Vm.h"
#include "script/url/UrlEscaping.h"

namespace avm1 {

namespace {

Value callLoadVars(Vm&, const CallArgs&)
{
    return Value();
}

// "a=1&b=2": each pair, unescaped, becomes a property of this. Without a source there
// is nothing to read, and the reference answers false.
Value decode(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    if (call.count() == 0)
        return Value(false);
    String* source = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    script::url::forEachUrlVariable(source->view(),
                                    [&](const std::string& name, const std::string& value) {
                                        vm.setMember(self, vm.str(name), vm.strValue(value));
                                        return !vm.throwing();
                                    });
    return Value();
}

// Text through the global escape as the script has it now (a movie may replace it).
std::string escapedWith(Vm& vm, Value escape, String* text)
{
    const Value arg(text);
    const Value out = vm.call(escape, Value(), std::span<const Value>(&arg, 1));
    if (vm.throwing())
        return {};
    return vm.toString(out)->text();
}

// The object's own enumerable properties, functions too (as "[type Function]"), newest
// first as for..in lists them: name and value each through escape. What the prototype
// lists (its toString is enumerable) is not the object's data.
Value toString(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    Value escape = vm.getMember(vm.global(), vm.str("escape"));
    Object* escapeFn = escape.objectOrNull();
    if (vm.throwing())
        return Value();
    std::string out;
    const std::vector<String*> keys = vm.enumerableKeys(self);
    for (auto key = keys.rbegin(); key != keys.rend() && !vm.throwing(); ++key) {
        if (out.size() >= limits::kMaxStringBytes)
            break;
        if (!self->properties().find(*key, vm.caseRule()))
            continue;
        const Value value = vm.getMember(self, *key);
        String* text = vm.throwing() ? nullptr : vm.toString(value);
        if (!text)
            break;
        if (!out.empty())
            out += '&';
        if (escapeFn && escapeFn->isFunction()) {
            out += escapedWith(vm, escape, *key);
            out += '=';
            out += escapedWith(vm, escape, text);
        } else {
            out += script::url::escapeText((*key)->view());
            out += '=';
            out += script::url::escapeText(text->view());
        }
    }
    return Value(vm.str(std::move(out)));
}

// What a load delivers: decoded into the object, which then reports success.
Value onData(Vm& vm, const CallArgs& call)
{
    return deliverToReader(vm, call, "decode");
}

} // namespace

void installLoadVars(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("LoadVars", proto, callLoadVars);
    // In the order that makes for..in list them as the reference does, once revealed.
    vm.defineMethods(proto, {
                                {"load", loadIntoThis},
                                {"send", sendNowhere},
                                {"sendAndLoad", sendAndLoadInto},
                                {"decode", decode},
                                {"getBytesLoaded", bytesLoaded},
                                {"getBytesTotal", bytesTotal},
                            });
    vm.defineMethod(proto, "toString", toString, 0);
    proto->defineValue(vm, "contentType", vm.strValue("application/x-www-form-urlencoded"),
                       PropertyFlag::DontEnum);
    vm.defineMethods(proto, {
                                {"onLoad", ignoreLoad},
                                {"onData", onData},
                                {"addRequestHeader", addRequestHeader},
                            });
}

} // namespace avm1
