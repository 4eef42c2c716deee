#include "GeomScript.h"

#include "NativeHelpers.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"

#include <string>

namespace avm1::geom {

Value get(Vm& vm, Value object, std::string_view name)
{
    if (object.isNullish() || vm.throwing())
        return Value();
    return vm.getMember(object, vm.str(name));
}

double number(Vm& vm, Value object, std::string_view name)
{
    return vm.toNumber(get(vm, object, name));
}

void set(Vm& vm, Object* object, std::string_view name, Value value)
{
    if (object && !vm.throwing())
        vm.setMember(object, vm.str(name), value);
}

Object* make(Vm& vm, Object* prototype,
             std::initializer_list<std::pair<std::string_view, Value>> properties)
{
    Object* object = vm.makeObject(prototype);
    markConstructed(vm, object, vm.getMember(prototype, vm.names().constructor).objectOrNull());
    for (const auto& [name, value] : properties)
        object->defineValue(vm, name, value);
    return object;
}

bool isInstance(Value value, Object* prototype)
{
    Object* o = value.objectOrNull();
    if (!o || !prototype)
        return false;
    Object* p = o->prototype();
    for (int depth = 0; p && depth < limits::kMaxPrototypeChain; ++depth, p = p->prototype())
        if (p == prototype)
            return true;
    return false;
}

Value describe(Vm& vm, Value object, std::initializer_list<std::string_view> names)
{
    std::string text = "(";
    bool first = true;
    for (std::string_view name : names) {
        if (!first)
            text += ", ";
        first = false;
        const Value value = get(vm, object, name);
        text += name;
        text += '=';
        text += vm.toString(value)->view();
        if (vm.throwing())
            return Value();
    }
    text += ')';
    return vm.strValue(text);
}

Object* dataPrototype(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    return self ? self->data().objectOrNull() : nullptr;
}

} // namespace avm1::geom
