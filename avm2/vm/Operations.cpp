#include "Operations.h"

#include "ClassObject.h"
#include "ErrorObject.h"
#include "Vm.h"

namespace avm2 {

bool scopeHas(Vm& vm, const Value& scope, const Name& name, bool isWith)
{
    if (isWith)
        return vm.hasProperty(scope, name);
    Object* o = scope.objectOrNull();
    if (!o)
        return false;
    if (o->traits() && o->traits()->find(name))
        return true;
    const ObjectKind k = o->kind();
    if ((k == ObjectKind::Global || k == ObjectKind::Activation || k == ObjectKind::Catch) &&
        name.local && name.seesPublic())
        return o->dynamic().find(name.local) != nullptr;
    return false;
}

Value addValues(Vm& vm, const Value& a, const Value& b)
{
    if (std::optional<Value> list = concatenateXml(vm, a, b))
        return *list;
    return vm.add(a, b);
}

bool instanceOf(Vm& vm, const Value& value, const Value& type)
{
    Object* t = type.objectOrNull();
    if (!t || (t->kind() != ObjectKind::Class && t->kind() != ObjectKind::Function)) {
        vm.throwError(ErrorType::TypeError, 1040);
        return false;
    }
    Value proto = vm.getProperty(type, vm.publicName(vm.names.prototype));
    if (vm.throwing() || !proto.isObject())
        return false;
    if (value.isNullish())
        return false;
    for (Object* p = vm.prototypeOf(value); p; p = p->prototype())
        if (p == proto.asObject())
            return true;
    return false;
}

bool isUncatchable(Vm&, const Value& error)
{
    Object* o = error.objectOrNull();
    return o && o->kind() == ObjectKind::Error && static_cast<ErrorObject*>(o)->errorId == 1502;
}

} // namespace avm2
