#include "NativeHelpers.h"

#include "ArrayObject.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

Object* instancePrototype(Vm& vm, const CallArgs& call, Object* fallback)
{
    if (!call.callee)
        return fallback;
    Object* proto = vm.getMember(call.callee, vm.names().prototype).objectOrNull();
    return proto ? proto : fallback;
}

void markConstructed(Vm& vm, Object* instance, Object* constructor)
{
    if (!instance || !constructor)
        return;
    instance->defineValue(vm.names().constructorOld, Value(constructor), PropertyFlag::DontEnum,
                          vm.caseRule());
    if (vm.swfVersion() < 6)
        instance->defineValue(vm.names().constructor, Value(constructor), PropertyFlag::DontEnum,
                              vm.caseRule());
}

Object* thisAsObject(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject())
        return self;
    return vm.toObject(call.thisValue);
}

namespace {

// The primitive an instance of a wrapper subclass holds, as its native state.
class PrimitiveBox final : public Cell {
public:
    PrimitiveBox(ObjectClass kind, Value value) : m_kind(kind), m_value(value) {}
    ObjectClass kind() const { return m_kind; }
    Value value() const { return m_value; }
    void traceChildren(Tracer& tracer) override { tracer.mark(m_value); }

private:
    ObjectClass m_kind;
    Value m_value;
};

} // namespace

Value wrappedPrimitive(const Object* object, ObjectClass kind)
{
    if (!object)
        return Value();
    if (object->objectClass() == kind)
        if (auto* wrapper = dynamic_cast<const PrimitiveObject*>(object))
            return wrapper->primitive();
    if (auto* box = dynamic_cast<const PrimitiveBox*>(object->nativeState());
        box && box->kind() == kind)
        return box->value();
    return Value();
}

void wrapObjectAs(Vm& vm, Object* object, const Object* wrapper)
{
    const auto* primitive = dynamic_cast<const PrimitiveObject*>(wrapper);
    if (!object || !primitive || object->nativeState())
        return;
    object->setNativeState(
        vm.heap().make<PrimitiveBox>(primitive->objectClass(), primitive->primitive()));
}

std::vector<Value> elementsOf(Vm& vm, Object* object, std::size_t cap)
{
    std::vector<Value> values;
    if (!object)
        return values;
    if (ArrayObject* array = asArrayObject(object)) {
        const std::size_t count =
            std::min<std::size_t>(static_cast<std::size_t>(std::max(array->length(), 0)), cap);
        values.reserve(count);
        for (std::size_t i = 0; i < count && !vm.throwing(); ++i)
            values.push_back(array->get(vm, static_cast<std::uint32_t>(i)));
    } else {
        const double length = vm.toInteger(vm.getMember(object, vm.names().length));
        if (vm.throwing() || !(length > 0))
            return values;
        const std::size_t count =
            length >= static_cast<double>(cap) ? cap : static_cast<std::size_t>(length);
        values.reserve(count);
        for (std::size_t i = 0; i < count && !vm.throwing(); ++i)
            values.push_back(vm.getMember(object, indexName(vm, static_cast<std::int64_t>(i))));
    }
    if (vm.throwing())
        values.clear();
    return values;
}

void callHandler(Vm& vm, const Value& function, const Value& self, std::span<const Value> args,
                 OnException onException)
{
    Object* f = function.objectOrNull();
    if (!f || !f->isFunction())
        return;
    vm.startBudget();
    vm.clearAbort();
    vm.call(function, self, args);
    if (vm.throwing()) {
        const Value e = vm.takeException();
        if (onException == OnException::Warn)
            vm.trace("Warning: Uncaught exception, " + vm.toStdString(e));
        if (vm.throwing())
            vm.takeException();
    }
    vm.clearAbort();
}

void callNamedHandler(Vm& vm, Object* target, std::string_view name, std::span<const Value> args,
                      OnException onException)
{
    const Value handler = vm.getMember(Value(target), vm.str(name));
    if (!vm.throwing())
        callHandler(vm, handler, Value(target), args, onException);
}

} // namespace avm1
