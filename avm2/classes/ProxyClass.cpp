// flash.utils.Proxy: an object whose undeclared properties are its subclass's
// flash_proxy methods. The Vm's property operations defer here (proxyAccess) for names
// the traits do not declare, and for-in asks nextNameIndex, nextName and nextValue.
#include "Native.h"
#include "avm2/vm/Loader.h"
#include "avm2/vm/Operations.h"

namespace avm2 {

using namespace native;

namespace {

class ProxyObject final : public Object {
public:
    ProxyObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Proxy)
    {}

    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
};

Name proxyName(Vm& vm, std::string_view local)
{
    Name n;
    n.local = vm.intern(local);
    n.ns = vm.proxyNs();
    return n;
}

Value callProxy(Vm& vm, Object& proxy, std::string_view method, std::span<const Value> args)
{
    return vm.callProperty(Value(&proxy), proxyName(vm, method), args);
}

Value ProxyObject::enumerableName(Vm& vm, std::uint32_t position) const
{
    Value index[1] = {Value::fromUint(position)};
    return callProxy(vm, const_cast<ProxyObject&>(*this), "nextName", index);
}

Value ProxyObject::enumerableValue(Vm& vm, std::uint32_t position)
{
    Value index[1] = {Value::fromUint(position)};
    return callProxy(vm, *this, "nextValue", index);
}

// The name a flash_proxy method receives: a QName of the namespace the access named
// (the public one for an ordinary name) and the local name.
Value qnameOf(Vm& vm, const Name& name)
{
    String* uri = vm.names.empty;
    if (name.ns)
        uri = name.ns->uri ? name.ns->uri : vm.names.empty;
    Value parts[2] = {Value(uri), Value(name.local ? name.local : vm.intern("*"))};
    return vm.construct(Value(vm.builtins().qname), parts);
}

} // namespace

bool proxyAccess(Vm& vm, Object& proxy, KeyedOp op, const Name& name, std::span<const Value> args,
                 Value& out)
{
    // The flash_proxy members themselves are never forwarded.
    if (name.ns == vm.proxyNs())
        return false;
    Value qname = qnameOf(vm, name);
    if (vm.throwing())
        return true;
    switch (op) {
    case KeyedOp::Get: {
        Value a[1] = {qname};
        out = callProxy(vm, proxy, "getProperty", a);
        return true;
    }
    case KeyedOp::Set: {
        Value a[2] = {qname, args.empty() ? Value() : args[0]};
        callProxy(vm, proxy, "setProperty", a);
        return true;
    }
    case KeyedOp::Has: {
        Value a[1] = {qname};
        out = Value(Vm::toBoolean(callProxy(vm, proxy, "hasProperty", a)));
        return true;
    }
    case KeyedOp::Delete: {
        Value a[1] = {qname};
        out = Value(Vm::toBoolean(callProxy(vm, proxy, "deleteProperty", a)));
        return true;
    }
    case KeyedOp::Descendants: {
        Value a[1] = {qname};
        out = callProxy(vm, proxy, "getDescendants", a);
        return true;
    }
    case KeyedOp::Call: {
        std::vector<Value> a;
        a.reserve(args.size() + 1);
        a.push_back(qname);
        a.insert(a.end(), args.begin(), args.end());
        out = callProxy(vm, proxy, "callProperty", a);
        return true;
    }
    }
    return false;
}

std::uint32_t proxyNextIndex(Vm& vm, Object& proxy, std::uint32_t index)
{
    Value a[1] = {Value::fromUint(index)};
    Value next = callProxy(vm, proxy, "nextNameIndex", a);
    if (vm.throwing())
        return 0;
    const double d = vm.toNumber(next);
    return d > 0 && d < 4294967296.0 ? static_cast<std::uint32_t>(d) : 0;
}

namespace {

Object* allocateProxy(Vm& vm, ClassObject& cls)
{
    return vm.make<ProxyObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

// The base class's members: each says it must be overridden.
template <int Number> Value notImplemented(Vm& vm, const Value&, Args)
{
    return vm.throwError(ErrorType::Error, Number);
}

// Ordinary accesses never name attributes; E4X's @name reaches a Proxy as getDescendants
// or getProperty with an attribute QName only through XML, which this class leaves out.
Value isAttribute(Vm&, const Value&, Args)
{
    return Value(false);
}

// proxy.hasOwnProperty(name) asks the subclass, with the name as given.
Value proxyHasOwnProperty(Vm& vm, const Value& self, Args args)
{
    Object* o = self.objectOrNull();
    if (!o || o->kind() != ObjectKind::Proxy)
        return Value(false);
    Value a[1] = {Value(vm.toString(arg(args, 0)))};
    if (vm.throwing())
        return Value();
    return Value(Vm::toBoolean(callProxy(vm, *o, "hasProperty", a)));
}

} // namespace

void defineProxyClass(Vm& vm)
{
    NativeClassHooks hooks;
    hooks.allocate = allocateProxy;
    ClassObject* c = vm.defineClass("flash.utils", "Proxy", vm.builtins().object, false, hooks);
    using M = Vm::Member;
    vm.defineMethod(c, "getProperty", notImplemented<2088>, 1, M::FlashProxy);
    vm.defineMethod(c, "setProperty", notImplemented<2089>, 2, M::FlashProxy);
    vm.defineMethod(c, "callProperty", notImplemented<2090>, 1, M::FlashProxy);
    vm.defineMethod(c, "hasProperty", notImplemented<2091>, 1, M::FlashProxy);
    vm.defineMethod(c, "deleteProperty", notImplemented<2092>, 1, M::FlashProxy);
    vm.defineMethod(c, "getDescendants", notImplemented<2093>, 1, M::FlashProxy);
    vm.defineMethod(c, "nextNameIndex", notImplemented<2105>, 1, M::FlashProxy);
    vm.defineMethod(c, "nextName", notImplemented<2106>, 1, M::FlashProxy);
    vm.defineMethod(c, "nextValue", notImplemented<2107>, 1, M::FlashProxy);
    vm.defineMethod(c, "isAttribute", isAttribute, 1, M::FlashProxy);
    vm.defineMethod(c, "hasOwnProperty", proxyHasOwnProperty, 1, M::As3AndPrototype);
    // The namespace itself, for `use namespace flash_proxy` and flash_proxy::name.
    vm.addBuiltinGlobal("flash.utils", "flash_proxy", namespaceValue(vm, vm.proxyNs()));
}

} // namespace avm2
