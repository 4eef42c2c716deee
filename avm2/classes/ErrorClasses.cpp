// Error and its subclasses: a message and a name as public slots, the error number
// natively.
#include "Native.h"
#include "avm2/vm/ErrorMessages.h"
#include "avm2/vm/ErrorObject.h"

namespace avm2 {

using namespace native;

namespace {

Object* allocateError(Vm& vm, ClassObject& cls)
{
    auto* e = vm.make<ErrorObject>(cls.instanceTraits.get(), cls.instancePrototype);
    e->stackTrace = vm.stackTrace();
    return e;
}

Value constructError(Vm& vm, const Value& self, Args args)
{
    auto* e = static_cast<ErrorObject*>(self.objectOrNull());
    if (!e || e->kind() != ObjectKind::Error)
        return Value();
    if (has(args, 0)) {
        String* message = vm.toString(args[0]);
        if (vm.throwing())
            return Value();
        vm.setProperty(self, vm.publicName(vm.names.message), Value(message));
    }
    if (has(args, 1))
        e->errorId = vm.toInt32(args[1]);
    return Value();
}

Value errorToString(Vm& vm, const Value& self, Args)
{
    Value name = vm.getProperty(self, vm.publicName(vm.names.name));
    if (vm.throwing())
        return Value();
    Value message = vm.getProperty(self, vm.publicName(vm.names.message));
    if (vm.throwing())
        return Value();
    std::u16string text = vm.toText(name);
    const std::u16string m = vm.toText(message);
    if (!m.empty())
        text += u": " + m;
    return Value(vm.newString(std::move(text)));
}

Value errorId(Vm&, const Value& self, Args)
{
    Object* o = self.objectOrNull();
    return Value(o && o->kind() == ObjectKind::Error ? static_cast<ErrorObject*>(o)->errorId : 0);
}

Value getStackTrace(Vm& vm, const Value& self, Args)
{
    Value text = errorToString(vm, self, {});
    if (vm.throwing())
        return Value();
    Object* o = self.objectOrNull();
    if (o && o->kind() == ObjectKind::Error)
        return Value(vm.newString(vm.toText(text) + static_cast<ErrorObject*>(o)->stackTrace));
    return text;
}

Value getErrorMessage(Vm& vm, const Value&, Args args)
{
    const std::u16string_view text = errorText(vm.toInt32(arg(args, 0)));
    return Value(vm.newString(std::u16string(text)));
}

Value throwErrorStatic(Vm& vm, const Value& self, Args args)
{
    // Error.throwError(type, id, ...rest): an error of `type` with the numbered message.
    Value type = arg(args, 0);
    const std::int32_t id = vm.toInt32(arg(args, 1));
    std::u16string text(errorText(id));
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::u16string key = u"%" + utf16(std::to_string(i - 1));
        const auto at = text.find(key);
        if (at != std::u16string::npos)
            text.replace(at, key.size(), vm.toText(args[i]));
    }
    Value message(
        vm.newString(u"Error #" + utf16(std::to_string(id)) + (text.empty() ? u"" : u": " + text)));
    Value ctorArgs[2] = {message, Value(id)};
    Value e = vm.construct(type.isObject() ? type : self, ctorArgs);
    if (vm.throwing())
        return Value();
    vm.throwValue(e);
    return Value();
}

Value errorCall(Vm& vm, const Value& self, Args args)
{
    return vm.construct(self, args);
}

} // namespace

void defineErrorClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks hooks;
    hooks.allocate = allocateError;
    hooks.construct = constructError;
    hooks.call = errorCall;
    ClassObject* error = vm.defineClass("", "Error", b.object, true, hooks);
    // message and name are slots every error has; each subclass names itself.
    for (std::string_view slot : {"message", "name"}) {
        SlotInfo s;
        s.name = vm.intern(slot);
        s.initial = slot == "name" ? Value(vm.intern("Error")) : Value(vm.names.empty);
        Binding bind;
        bind.kind = Binding::Kind::Slot;
        bind.index = static_cast<std::uint32_t>(error->instanceTraits->slots.size());
        error->instanceTraits->slots.push_back(s);
        error->instanceTraits->add(s.name, vm.publicNs(), bind);
    }
    vm.defineGetter(error, "errorID", errorId);
    vm.defineMethod(error, "getStackTrace", getStackTrace, 0, Vm::Member::Public);
    vm.defineMethod(error, "toString", errorToString, 0, Vm::Member::PrototypeOnly);
    vm.defineStaticMethod(error, "getErrorMessage", getErrorMessage, 1);
    vm.defineStaticMethod(error, "throwError", throwErrorStatic, 2);
    vm.defineConstant(error, "length", Value(1));
    error->instancePrototype->dynamic().set(vm.names.name, Value(vm.intern("Error")));
    error->instancePrototype->dynamic().setEnumerable(vm.names.name, false);
    error->instancePrototype->dynamic().set(vm.names.message, Value(vm.intern("Error")));
    error->instancePrototype->dynamic().setEnumerable(vm.names.message, false);
    b.errors[static_cast<int>(ErrorType::Error)] = error;

    struct Sub {
        ErrorType type;
        const char* package;
        const char* name;
    };
    const Sub subs[] = {
        {ErrorType::TypeError, "", "TypeError"},
        {ErrorType::ReferenceError, "", "ReferenceError"},
        {ErrorType::RangeError, "", "RangeError"},
        {ErrorType::ArgumentError, "", "ArgumentError"},
        {ErrorType::SyntaxError, "", "SyntaxError"},
        {ErrorType::EvalError, "", "EvalError"},
        {ErrorType::UriError, "", "URIError"},
        {ErrorType::VerifyError, "", "VerifyError"},
        {ErrorType::SecurityError, "", "SecurityError"},
        {ErrorType::DefinitionError, "", "DefinitionError"},
        {ErrorType::UninitializedError, "", "UninitializedError"},
    };
    auto defineSub = [&](const char* package, const char* name, ClassObject* base) {
        ClassObject* cls = vm.defineClass(package, name, base, true, hooks);
        const Binding* nb = cls->instanceTraits->findQualified(vm.names.name, vm.publicNs());
        cls->instanceTraits->slots[nb->index].initial = Value(vm.intern(name));
        cls->instancePrototype->dynamic().set(vm.names.name, Value(vm.intern(name)));
        cls->instancePrototype->dynamic().setEnumerable(vm.names.name, false);
        vm.defineConstant(cls, "length", Value(1));
        return cls;
    };
    for (const Sub& s : subs)
        b.errors[static_cast<int>(s.type)] = defineSub(s.package, s.name, error);
    ClassObject* ioError = defineSub("flash.errors", "IOError", error);
    defineSub("flash.errors", "EOFError", ioError);
    defineSub("flash.errors", "IllegalOperationError", error);
    defineSub("flash.errors", "MemoryError", error);
    defineSub("flash.errors", "InvalidSWFError", error);
    defineSub("flash.errors", "ScriptTimeoutError", error);
    defineSub("flash.errors", "StackOverflowError", error);
}

} // namespace avm2
