// LoadVars: name and value pairs in the form a URL's query writes them, loaded from a
// file into the object's properties (decode) and written back from them (toString).
#include "Builtins.h"
#include "Loads.h"
#include "UrlEscaping.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value callLoadVars(Vm&, const CallArgs&)
{
    return Value();
}

// "a=1&b=2": each pair, unescaped, becomes a property of this.
Value decode(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self || call.count() == 0)
        return Value();
    String* source = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    forEachUrlVariable(source->view(), [&](const std::string& name, const std::string& value) {
        vm.setMember(self, vm.str(name), vm.strValue(value));
        return !vm.throwing();
    });
    return Value();
}

// The object's enumerable properties other than functions, escaped, in for..in order.
Value toString(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    std::string out;
    const std::vector<String*> keys = vm.enumerableKeys(self);
    for (auto key = keys.rbegin(); key != keys.rend() && !vm.throwing(); ++key) {
        const Value value = vm.getMember(self, *key);
        if (Object* o = value.objectOrNull(); o && o->isFunction())
            continue;
        if (out.size() >= limits::kMaxStringBytes)
            break;
        if (!out.empty())
            out += '&';
        out += escapeText((*key)->view());
        out += '=';
        out += escapeText(vm.toString(value)->view());
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
