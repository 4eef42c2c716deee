// The interpreter: one loop over a decoded body, with the frame's locals, operand stack
// and scope stack on the machine's value stack. Every operation that can throw is
// followed by a test of vm.throwing(); a thrown error goes to the body's handlers, or
// leaves the method with the error still pending.
#include "Interpreter.h"

#include "ClassObject.h"
#include "Decoder.h"
#include "Loader.h"
#include "Operations.h"
#include "Vm.h"
#include "avm2/abc/AbcFile.h"
#include "avm2/abc/Opcodes.h"
#include "script/NumberConvert.h"

#include <cmath>

namespace avm2 {

namespace {

using abc::method_flags::kNeedActivation;
using abc::method_flags::kNeedArguments;
using abc::method_flags::kNeedRest;

std::u16string methodDescription(const MethodEnv& env)
{
    std::u16string owner = env.declaringClass && env.declaringClass->qualifiedName
                               ? env.declaringClass->qualifiedName->text()
                               : u"Function";
    std::u16string name = env.name && !env.name->empty() ? env.name->text() : u"<anonymous>";
    if (env.isFunction || !env.declaringClass)
        return u"Function/" + (env.isFunction ? std::u16string(u"<anonymous>") : name) + u"()";
    return owner + u"/" + name + u"()";
}

// A method's type for a multiname, cached on the unit.
ClassObject* typeAt(Vm& vm, AbcUnit& unit, std::uint32_t multiname)
{
    if (multiname == 0 || multiname >= unit.types.size())
        return nullptr;
    return vm.resolveType(unit.types[multiname]);
}

// The relational operators, in the order of their instructions (lessthan, lessequals,
// greaterthan, greaterequals; the if- forms likewise). ECMAScript's undefined result (a
// NaN operand) is false for all four; `<=` and `>` evaluate the right operand first.
enum class Relation : std::uint8_t { Less, LessEqual, Greater, GreaterEqual };

bool relate(Vm& vm, const Value& a, const Value& b, Relation relation)
{
    switch (relation) {
    case Relation::Less:
        return vm.lessThan(a, b).value_or(false);
    case Relation::LessEqual: {
        const auto r = vm.lessThan(b, a, false);
        return r.has_value() && !*r;
    }
    case Relation::Greater:
        return vm.lessThan(b, a, false).value_or(false);
    case Relation::GreaterEqual: {
        const auto r = vm.lessThan(a, b);
        return r.has_value() && !*r;
    }
    }
    return false;
}

struct Frame {
    Vm& vm;
    MethodEnv& env;
    AbcUnit& unit;
    DecodedBody& code;
    Value* locals;
    Value* stack;
    Value* scopes;
    std::uint32_t sp = 0;
    std::uint32_t scopeDepth = 0;
    std::uint64_t withMask = 0;
};

} // namespace

bool acceptsArguments(Vm& vm, MethodEnv& env, std::size_t count)
{
    const abc::MethodInfo& info = env.unit->file.methods[env.method];
    const std::size_t paramCount = info.paramTypes.size();
    const std::size_t required = paramCount - std::min(info.optionalValues.size(), paramCount);
    const bool extraAllowed = info.has(kNeedRest) || info.has(kNeedArguments);
    // Methods that declare no types take any number of arguments, as ECMAScript functions
    // do; a declared parameter or result type makes the count binding.
    bool declaresTypes = info.returnType != 0;
    for (std::uint32_t t : info.paramTypes)
        declaresTypes = declaresTypes || t != 0;
    if (!declaresTypes || (count >= required && (count <= paramCount || extraAllowed)))
        return true;
    vm.throwError(
        ErrorType::ArgumentError, 1063,
        {methodDescription(env), utf16(std::to_string(required)), utf16(std::to_string(count))});
    return false;
}

Value interpret(Vm& vm, MethodEnv& env, const Value& thisArg, std::span<const Value> args)
{
    AbcUnit& unit = *env.unit;
    const abc::MethodInfo& info = unit.file.methods[env.method];
    if (!info.body)
        return vm.throwError(ErrorType::VerifyError, 1067, {methodDescription(env)});
    const std::uint32_t bodyIndex = *info.body;
    if (!unit.decoded[bodyIndex]) {
        auto decoded = decodeBody(unit, bodyIndex);
        if (!decoded)
            return vm.throwError(ErrorType::VerifyError, decoded.error().number());
        unit.decoded[bodyIndex] = std::make_unique<DecodedBody>(std::move(decoded.value()));
    }
    DecodedBody& code = *unit.decoded[bodyIndex];

    // Arguments.
    const std::size_t paramCount = info.paramTypes.size();
    const std::size_t optional = info.optionalValues.size();
    const bool rest = info.has(kNeedRest);
    const bool wantsArguments = info.has(kNeedArguments);

    const std::size_t frameSize = std::size_t{code.localCount} + code.maxStack + code.maxScope + 2;
    Value* base = vm.reserveFrame(frameSize);
    if (!base)
        return vm.throwError(ErrorType::Error, 1023);
    Frame f{vm,
            env,
            unit,
            code,
            base,
            base + code.localCount + 1,
            base + code.localCount + 1 + code.maxStack};
    // Releases the frame and counts the instructions run, however the method leaves.
    struct Release {
        Vm& vm;
        Value* base;
        std::uint64_t executed = 0;
        ~Release()
        {
            vm.releaseFrame(base);
            vm.instructionCount() += executed;
        }
    } release{vm, base};

    Value self = thisArg;
    if (self.isNullish() && (env.isFunction || !env.declaringClass)) {
        ScopeChain* outer = env.scope;
        while (outer && outer->parent)
            outer = outer->parent;
        if (outer)
            self = outer->value;
    }
    if (code.localCount > 0)
        f.locals[0] = self;
    for (std::size_t i = 0; i < paramCount && i + 1 < code.localCount; ++i) {
        Value v;
        if (i < args.size())
            v = args[i];
        else if (i >= paramCount - optional)
            v = constantValue(vm, unit, info.optionalValues[i - (paramCount - optional)]);
        ClassObject* type = typeAt(vm, unit, info.paramTypes[i]);
        if (vm.throwing())
            return Value();
        if (type) {
            v = vm.coerce(v, type);
            if (vm.throwing())
                return Value();
        }
        f.locals[i + 1] = v;
    }
    if ((rest || wantsArguments) && paramCount + 1 < code.localCount) {
        ArrayObject* extra = nullptr;
        if (rest)
            extra = vm.newArray(args.size() > paramCount ? args.subspan(paramCount)
                                                         : std::span<const Value>());
        else {
            extra = vm.newArray(args);
            String* callee = vm.intern("callee");
            extra->dynamic().set(callee, Value(vm.newFunction(&env)));
            extra->dynamic().setEnumerable(callee, false);
        }
        f.locals[paramCount + 1] = Value(extra);
    }

    const Op* ops = code.ops.data();
    const std::uint32_t opCount = static_cast<std::uint32_t>(code.ops.size());
    std::uint32_t pc = 0;
    const abc::ConstantPool& pool = unit.file.pool;
    Value* S = f.stack;
    Value* L = f.locals;
    const std::uint32_t maxStack = code.maxStack;
    std::uint32_t& sp = f.sp;

#define PUSH(v)                                                                                    \
    do {                                                                                           \
        if (sp >= maxStack) {                                                                      \
            vm.throwError(ErrorType::VerifyError, 1023);                                           \
            goto thrown;                                                                           \
        }                                                                                          \
        const Value pushed_ = (v);                                                                 \
        S[sp++] = pushed_;                                                                         \
    } while (0)
#define NEED(n)                                                                                    \
    do {                                                                                           \
        if (sp < (n)) {                                                                            \
            vm.throwError(ErrorType::VerifyError, 1024);                                           \
            goto thrown;                                                                           \
        }                                                                                          \
    } while (0)
#define TOP S[sp - 1]
#define CHECK()                                                                                    \
    do {                                                                                           \
        if (vm.throwing())                                                                         \
            goto thrown;                                                                           \
    } while (0)
// Not wrapped in do-while: `continue` must reach the interpreter's loop.
#define BRANCH(cond)                                                                               \
    if (cond) {                                                                                    \
        if (static_cast<std::uint32_t>(op.target) <= pc) {                                         \
            if (!vm.checkBudget())                                                                 \
                goto thrown;                                                                       \
            vm.collectInScript();                                                                  \
        }                                                                                          \
        pc = static_cast<std::uint32_t>(op.target);                                                \
        continue;                                                                                  \
    }

    // The current scope as a chain, for closures and classes made here.
    auto captureScope = [&]() -> ScopeChain* {
        ScopeChain* chain = env.scope;
        for (std::uint32_t i = 0; i < f.scopeDepth; ++i)
            chain = vm.make<ScopeChain>(chain, f.scopes[i], i < 64 && ((f.withMask >> i) & 1));
        return chain;
    };
    // A multiname with its run-time parts taken from the stack.
    auto popName = [&](std::uint32_t index, Name& name) -> bool {
        const abc::Multiname& m = pool.multinames[index];
        name = unit.names[index];
        if (m.hasRuntimeName()) {
            if (sp < 1) {
                vm.throwError(ErrorType::VerifyError, 1024);
                return false;
            }
            Value n = S[--sp];
            if (n.isObject() && n.asObject()->kind() == ObjectKind::QName) {
                qnameParts(vm, n, name);
            } else {
                String* s = vm.toString(n);
                if (vm.throwing())
                    return false;
                name.local = vm.internValue(s);
                name.key = n.objectOrNull();
            }
        }
        if (m.hasRuntimeNamespace()) {
            if (sp < 1) {
                vm.throwError(ErrorType::VerifyError, 1024);
                return false;
            }
            Value ns = S[--sp];
            name.ns = namespaceOf(vm, ns);
            name.set = nullptr;
            if (!name.ns) {
                vm.throwError(ErrorType::TypeError, 1080);
                return false;
            }
        }
        return true;
    };
    auto findProperty = [&](const Name& name, bool strict) -> Value {
        for (std::uint32_t i = f.scopeDepth; i-- > 0;) {
            const Value& scope = f.scopes[i];
            const bool isWith = i < 64 && ((f.withMask >> i) & 1);
            if (scopeHas(vm, scope, name, isWith))
                return scope;
        }
        for (ScopeChain* c = env.scope; c; c = c->parent)
            if (scopeHas(vm, c->value, name, c->isWith))
                return c->value;
        if (Object* global = vm.findGlobal(name))
            return Value(global);
        if (vm.throwing())
            return Value();
        if (strict)
            return vm.throwError(ErrorType::ReferenceError, 1065,
                                 {name.local ? name.local->text() : u"*"});
        ScopeChain* outer = env.scope;
        while (outer && outer->parent)
            outer = outer->parent;
        return outer ? outer->value : (f.scopeDepth ? f.scopes[0] : Value());
    };

    while (pc < opCount) {
        const Op& op = ops[pc];
        ++release.executed;
        switch (op.code) {
        case 0x01: // bkpt
        case 0x02: // nop
        case 0x09: // label
        case 0xEF: // debug
        case 0xF0: // debugline
        case 0xF1: // debugfile
        case 0xF2: // bkptline
        case 0xF3: // timestamp
            break;
        case 0x03: // throw
            NEED(1);
            vm.throwValue(S[--sp]);
            vm.recordThrowSite();
            goto thrown;
        case 0x04: { // getsuper
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value receiver = S[--sp];
            Value v = vm.getSuper(env.declaringClass, receiver, name);
            CHECK();
            PUSH(v);
            break;
        }
        case 0x05: { // setsuper
            NEED(1);
            Value value = S[--sp];
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value receiver = S[--sp];
            vm.setSuper(env.declaringClass, receiver, name, value);
            CHECK();
            break;
        }
        case 0x06: // dxns
            setDefaultXmlNamespace(vm, Value(unit.strings[op.a]));
            break;
        case 0x07: // dxnslate
            NEED(1);
            setDefaultXmlNamespace(vm, S[--sp]);
            CHECK();
            break;
        case 0x08: // kill
            L[op.a] = Value();
            break;
        case 0x0C:   // ifnlt
        case 0x0D:   // ifnle
        case 0x0E:   // ifngt
        case 0x0F:   // ifnge
        case 0x15:   // iflt
        case 0x16:   // ifle
        case 0x17:   // ifgt
        case 0x18: { // ifge
            NEED(2);
            Value b = S[--sp], a = S[--sp];
            const bool negated = op.code <= 0x0F;
            const bool holds =
                relate(vm, a, b, static_cast<Relation>(op.code - (negated ? 0x0C : 0x15)));
            CHECK();
            BRANCH(holds != negated);
            break;
        }
        case 0x10: // jump
            BRANCH(true);
            break;
        case 0x11: // iftrue
            NEED(1);
            --sp;
            BRANCH(Vm::toBoolean(S[sp]));
            break;
        case 0x12: // iffalse
            NEED(1);
            --sp;
            BRANCH(!Vm::toBoolean(S[sp]));
            break;
        case 0x13:   // ifeq
        case 0x14: { // ifne
            NEED(2);
            Value b = S[--sp], a = S[--sp];
            const bool eq = vm.looseEquals(a, b);
            CHECK();
            BRANCH(op.code == 0x13 ? eq : !eq);
            break;
        }
        case 0x19:   // ifstricteq
        case 0x1A: { // ifstrictne
            NEED(2);
            Value b = S[--sp], a = S[--sp];
            const bool eq = vm.strictEquals(a, b);
            BRANCH(op.code == 0x19 ? eq : !eq);
            break;
        }
        case 0x1B: { // lookupswitch
            NEED(1);
            const std::int32_t index = vm.toInt32(S[--sp]);
            const std::uint32_t cases = op.b - 1;
            std::int32_t target = code.switchTargets[static_cast<std::uint32_t>(op.target)];
            if (index >= 0 && static_cast<std::uint32_t>(index) < cases)
                target = code.switchTargets[static_cast<std::uint32_t>(op.target) + 1 +
                                            static_cast<std::uint32_t>(index)];
            if (static_cast<std::uint32_t>(target) <= pc && !vm.checkBudget())
                goto thrown;
            pc = static_cast<std::uint32_t>(target);
            continue;
        }
        case 0x1C:   // pushwith
        case 0x30: { // pushscope
            NEED(1);
            Value v = S[--sp];
            if (v.isNullish()) {
                vm.throwError(ErrorType::TypeError, v.isNull() ? 1009 : 1010);
                goto thrown;
            }
            if (f.scopeDepth >= code.maxScope) {
                vm.throwError(ErrorType::VerifyError, 1017);
                goto thrown;
            }
            if (f.scopeDepth < 64) {
                const std::uint64_t bit = std::uint64_t{1} << f.scopeDepth;
                f.withMask = op.code == 0x1C ? (f.withMask | bit) : (f.withMask & ~bit);
            }
            f.scopes[f.scopeDepth++] = v;
            break;
        }
        case 0x1D: // popscope
            if (f.scopeDepth == 0) {
                vm.throwError(ErrorType::VerifyError, 1018);
                goto thrown;
            }
            --f.scopeDepth;
            break;
        case 0x1E:   // nextname
        case 0x23: { // nextvalue
            NEED(2);
            Value index = S[--sp];
            Value obj = S[--sp];
            Value v;
            if (Object* o = obj.objectOrNull()) {
                const auto position = vm.toUint32(index);
                v = op.code == 0x1E ? o->enumerableName(vm, position)
                                    : o->enumerableValue(vm, position);
            }
            CHECK();
            PUSH(v);
            break;
        }
        case 0x1F: { // hasnext
            NEED(2);
            Value index = S[--sp];
            Value obj = S[--sp];
            std::uint32_t next = 0;
            if (Object* o = obj.objectOrNull())
                next = o->kind() == ObjectKind::Proxy ? proxyNextIndex(vm, *o, vm.toUint32(index))
                                                      : o->nextEnumerable(vm.toUint32(index));
            CHECK();
            PUSH(Value::fromUint(next));
            break;
        }
        case 0x20: // pushnull
            PUSH(Value::null());
            break;
        case 0x21: // pushundefined
            PUSH(Value());
            break;
        case 0x24: // pushbyte
            PUSH(Value(static_cast<std::int32_t>(static_cast<std::int8_t>(op.a))));
            break;
        case 0x25: // pushshort
            PUSH(Value(static_cast<std::int32_t>(static_cast<std::int16_t>(op.a))));
            break;
        case 0x26: // pushtrue
            PUSH(Value(true));
            break;
        case 0x27: // pushfalse
            PUSH(Value(false));
            break;
        case 0x28: // pushnan
            PUSH(Value(std::numeric_limits<double>::quiet_NaN()));
            break;
        case 0x29: // pop
            NEED(1);
            --sp;
            break;
        case 0x2A: // dup
            NEED(1);
            PUSH(S[sp - 1]);
            break;
        case 0x2B: // swap
            NEED(2);
            std::swap(S[sp - 1], S[sp - 2]);
            break;
        case 0x2C: // pushstring
            PUSH(Value(unit.strings[op.a]));
            break;
        case 0x2D: // pushint
            PUSH(Value(pool.ints[op.a]));
            break;
        case 0x2E: // pushuint
            PUSH(Value::fromUint(pool.uints[op.a]));
            break;
        case 0x2F: // pushdouble
            PUSH(Value::number(pool.doubles[op.a]));
            break;
        case 0x31: // pushnamespace
            PUSH(namespaceValue(vm, unit.namespaces[op.a]));
            break;
        case 0x32: { // hasnext2
            Value obj = L[op.a];
            std::uint32_t position = vm.toUint32(L[op.b]);
            bool more = false;
            Object* o =
                obj.isObject() ? obj.asObject() : (obj.isNullish() ? nullptr : vm.prototypeOf(obj));
            while (o) {
                if (o->kind() == ObjectKind::Proxy) {
                    // A Proxy enumerates what its nextNameIndex says, not its prototypes.
                    position = proxyNextIndex(vm, *o, position);
                    CHECK();
                    more = position != 0;
                    if (!more)
                        o = nullptr;
                    break;
                }
                const std::uint32_t next = o->nextEnumerable(position);
                if (next) {
                    position = next;
                    more = true;
                    break;
                }
                o = o->prototype();
                position = 0;
            }
            L[op.a] = o ? Value(o) : Value::null();
            L[op.b] = Value::fromUint(position);
            PUSH(Value(more));
            break;
        }
        case 0x35:
        case 0x36:
        case 0x37:
        case 0x38:
        case 0x39:
        case 0x3A:
        case 0x3B:
        case 0x3C:
        case 0x3D:
        case 0x3E: // domain memory loads and stores
            if (!domainMemoryOp(vm, op.code, S, sp, maxStack))
                goto thrown;
            break;
        case 0x40: { // newfunction
            MethodEnv* fnEnv = newMethodEnv(vm, unit, op.a, captureScope(), env.declaringClass);
            fnEnv->isFunction = true;
            PUSH(Value(vm.newFunction(fnEnv)));
            break;
        }
        case 0x41: { // call
            NEED(op.a + 2);
            sp -= op.a;
            Value fn = S[sp - 2];
            Value receiver = S[sp - 1];
            Value r = vm.call(fn, receiver, std::span<const Value>(S + sp, op.a));
            sp -= 2;
            CHECK();
            PUSH(r);
            break;
        }
        case 0x42: { // construct
            NEED(op.a + 1);
            sp -= op.a;
            Value callee = S[sp - 1];
            Value r = vm.construct(callee, std::span<const Value>(S + sp, op.a));
            --sp;
            CHECK();
            PUSH(r);
            break;
        }
        case 0x44: { // callstatic
            NEED(op.b + 1);
            if (op.a >= unit.file.methods.size()) {
                vm.throwError(ErrorType::VerifyError, 1032);
                goto thrown;
            }
            sp -= op.b;
            Value receiver = S[sp - 1];
            MethodEnv* target = newMethodEnv(vm, unit, op.a, env.scope, env.declaringClass);
            Value r = vm.invoke(target, receiver, std::span<const Value>(S + sp, op.b));
            --sp;
            CHECK();
            PUSH(r);
            break;
        }
        case 0x45:   // callsuper
        case 0x4E: { // callsupervoid
            NEED(op.b);
            sp -= op.b;
            std::vector<Value> callArgs(S + sp, S + sp + op.b);
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value receiver = S[--sp];
            Value r = vm.callSuper(env.declaringClass, receiver, name, callArgs);
            CHECK();
            if (op.code == 0x45)
                PUSH(r);
            break;
        }
        case 0x46:   // callproperty
        case 0x4C:   // callproplex
        case 0x4F: { // callpropvoid
            NEED(op.b);
            sp -= op.b;
            std::vector<Value> callArgs(S + sp, S + sp + op.b);
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value receiver = S[--sp];
            Value r = vm.callProperty(receiver, name, callArgs, op.code != 0x4C);
            CHECK();
            if (op.code != 0x4F)
                PUSH(r);
            break;
        }
        case 0x47: // returnvoid
            return Value();
        case 0x48: { // returnvalue
            NEED(1);
            Value r = S[--sp];
            if (info.returnType) {
                ClassObject* type = typeAt(vm, unit, info.returnType);
                CHECK();
                if (type) {
                    r = vm.coerce(r, type);
                    CHECK();
                }
            }
            return r;
        }
        case 0x49: { // constructsuper
            NEED(op.a + 1);
            sp -= op.a;
            Value receiver = S[sp - 1];
            std::vector<Value> callArgs(S + sp, S + sp + op.a);
            --sp;
            ClassObject* cls = env.declaringClass;
            if (cls && cls->base && cls->base->initializer)
                vm.invoke(cls->base->initializer, receiver, callArgs);
            CHECK();
            break;
        }
        case 0x4A: { // constructprop
            NEED(op.b);
            sp -= op.b;
            std::vector<Value> callArgs(S + sp, S + sp + op.b);
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value receiver = S[--sp];
            Value r = vm.constructProperty(receiver, name, callArgs);
            CHECK();
            PUSH(r);
            break;
        }
        case 0x50: // sxi1
            NEED(1);
            TOP = Value(-(vm.toInt32(TOP) & 1));
            break;
        case 0x51: // sxi8
            NEED(1);
            TOP = Value(static_cast<std::int32_t>(static_cast<std::int8_t>(vm.toInt32(TOP))));
            break;
        case 0x52: // sxi16
            NEED(1);
            TOP = Value(static_cast<std::int32_t>(static_cast<std::int16_t>(vm.toInt32(TOP))));
            break;
        case 0x53: { // applytype
            NEED(op.a + 1);
            sp -= op.a;
            std::vector<Value> params(S + sp, S + sp + op.a);
            Value r = applyType(vm, S[sp - 1], params);
            --sp;
            CHECK();
            PUSH(r);
            break;
        }
        case 0x55: { // newobject
            NEED(2 * op.a);
            Object* o = vm.newObject();
            sp -= 2 * op.a;
            for (std::uint32_t i = 0; i < op.a; ++i) {
                String* key = vm.toString(S[sp + 2 * i]);
                CHECK();
                o->dynamic().set(vm.internValue(key), S[sp + 2 * i + 1]);
            }
            PUSH(Value(o));
            break;
        }
        case 0x56: { // newarray
            NEED(op.a);
            sp -= op.a;
            ArrayObject* a = vm.newArray(std::span<const Value>(S + sp, op.a));
            PUSH(Value(a));
            break;
        }
        case 0x57: { // newactivation
            Object* activation = vm.make<Object>(activationTraits(vm, unit, bodyIndex), nullptr,
                                                 ObjectKind::Activation);
            PUSH(Value(activation));
            break;
        }
        case 0x58: { // newclass
            NEED(1);
            if (op.a >= unit.file.classes.size()) {
                vm.throwError(ErrorType::VerifyError, 1032);
                goto thrown;
            }
            Value baseClass = S[--sp];
            ClassObject* cls = newClass(vm, unit, op.a, baseClass, captureScope());
            CHECK();
            PUSH(Value(cls));
            break;
        }
        case 0x59: { // getdescendants
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value obj = S[--sp];
            Value r = getDescendants(vm, obj, name);
            CHECK();
            PUSH(r);
            break;
        }
        case 0x5A: { // newcatch
            if (op.a >= code.handlers.size()) {
                vm.throwError(ErrorType::VerifyError, 1032);
                goto thrown;
            }
            Handler& h = code.handlers[op.a];
            if (!h.scopeTraits) {
                h.scopeTraits = std::make_unique<Traits>();
                h.scopeTraits->sealed = false;
                h.scopeTraits->name = vm.intern("catch");
                if (h.varName) {
                    const Name& n = unit.names[h.varName];
                    SlotInfo slot;
                    slot.name = n.local ? n.local : vm.names.empty;
                    h.scopeTraits->slots.push_back(slot);
                    Binding b;
                    b.index = 0;
                    h.scopeTraits->add(slot.name, n.ns ? n.ns : vm.publicNs(), b);
                }
            }
            PUSH(Value(vm.make<Object>(h.scopeTraits.get(), nullptr, ObjectKind::Catch)));
            break;
        }
        case 0x5D:   // findpropstrict
        case 0x5E: { // findproperty
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            Value r = findProperty(name, op.code == 0x5D);
            CHECK();
            PUSH(r);
            break;
        }
        case 0x5F: { // finddef
            Object* g = vm.findGlobal(unit.names[op.a]);
            CHECK();
            if (!g) {
                vm.throwError(ErrorType::ReferenceError, 1065,
                              {unit.names[op.a].local ? unit.names[op.a].local->text() : u"*"});
                goto thrown;
            }
            PUSH(Value(g));
            break;
        }
        case 0x60: { // getlex
            const Name& name = unit.names[op.a];
            Value scope = findProperty(name, true);
            CHECK();
            Value v = vm.getProperty(scope, name);
            CHECK();
            PUSH(v);
            break;
        }
        case 0x61:   // setproperty
        case 0x68: { // initproperty
            NEED(1);
            Value value = S[--sp];
            const abc::Multiname& m = pool.multinames[op.a];
            if (m.hasRuntimeName() && !m.hasRuntimeNamespace() && sp >= 2 && S[sp - 1].isInt() &&
                S[sp - 1].asInt() >= 0 && S[sp - 2].isObject()) {
                Object* o = S[sp - 2].asObject();
                if (o->setIndex(vm, static_cast<std::uint32_t>(S[sp - 1].asInt()), value)) {
                    sp -= 2;
                    CHECK();
                    break;
                }
            }
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value obj = S[--sp];
            vm.setProperty(obj, name, value, op.code == 0x68);
            CHECK();
            break;
        }
        case 0x62: // getlocal
            PUSH(L[op.a]);
            break;
        case 0x63: // setlocal
            NEED(1);
            L[op.a] = S[--sp];
            break;
        case 0x64: { // getglobalscope
            ScopeChain* outer = env.scope;
            while (outer && outer->parent)
                outer = outer->parent;
            PUSH(outer ? outer->value : (f.scopeDepth ? f.scopes[0] : Value()));
            break;
        }
        case 0x65: // getscopeobject
            if (op.a >= f.scopeDepth) {
                vm.throwError(ErrorType::VerifyError, 1019);
                goto thrown;
            }
            PUSH(f.scopes[op.a]);
            break;
        case 0x66: { // getproperty
            const abc::Multiname& m = pool.multinames[op.a];
            if (m.hasRuntimeName() && !m.hasRuntimeNamespace() && sp >= 2 && S[sp - 1].isInt() &&
                S[sp - 1].asInt() >= 0 && S[sp - 2].isObject()) {
                Value out;
                if (S[sp - 2].asObject()->getIndex(
                        vm, static_cast<std::uint32_t>(S[sp - 1].asInt()), out)) {
                    sp -= 2;
                    CHECK();
                    PUSH(out);
                    break;
                }
            }
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value obj = S[--sp];
            Value v = vm.getProperty(obj, name);
            CHECK();
            PUSH(v);
            break;
        }
        case 0x6A: { // deleteproperty
            Name name;
            if (!popName(op.a, name))
                goto thrown;
            NEED(1);
            Value obj = S[--sp];
            const bool r = vm.deleteProperty(obj, name);
            CHECK();
            PUSH(Value(r));
            break;
        }
        case 0x6C: { // getslot
            NEED(1);
            Object* o = S[sp - 1].objectOrNull();
            if (!o) {
                vm.throwError(ErrorType::TypeError, S[sp - 1].isNull() ? 1009 : 1010);
                goto thrown;
            }
            if (op.a == 0 || op.a > o->slots().size()) {
                vm.throwError(ErrorType::VerifyError, 1026);
                goto thrown;
            }
            TOP = o->slot(op.a - 1);
            break;
        }
        case 0x6D: { // setslot
            NEED(2);
            Value value = S[--sp];
            Object* o = S[--sp].objectOrNull();
            if (!o) {
                vm.throwError(ErrorType::TypeError, S[sp].isNull() ? 1009 : 1010);
                goto thrown;
            }
            if (op.a == 0 || op.a > o->slots().size()) {
                vm.throwError(ErrorType::VerifyError, 1026);
                goto thrown;
            }
            const SlotInfo& slot = o->traits()->slots[op.a - 1];
            if (!slot.type.isAny()) {
                ClassObject* type = vm.resolveType(slot.type);
                CHECK();
                value = vm.coerce(value, type);
                CHECK();
            }
            o->slot(op.a - 1) = value;
            break;
        }
        case 0x6E:   // getglobalslot
        case 0x6F: { // setglobalslot
            ScopeChain* outer = env.scope;
            while (outer && outer->parent)
                outer = outer->parent;
            Object* g = outer ? outer->value.objectOrNull() : nullptr;
            if (!g || op.a == 0 || op.a > g->slots().size()) {
                vm.throwError(ErrorType::VerifyError, 1026);
                goto thrown;
            }
            if (op.code == 0x6E) {
                PUSH(g->slot(op.a - 1));
            } else {
                NEED(1);
                g->slot(op.a - 1) = S[--sp];
            }
            break;
        }
        case 0x70: { // convert_s
            NEED(1);
            String* s = vm.toString(TOP);
            CHECK();
            TOP = Value(s);
            break;
        }
        case 0x71:   // esc_xelem
        case 0x72: { // esc_xattr
            NEED(1);
            Value r = escapeXml(vm, TOP, op.code == 0x72);
            CHECK();
            TOP = r;
            break;
        }
        case 0x73:   // convert_i
        case 0x83: { // coerce_i
            NEED(1);
            const std::int32_t i = vm.toInt32(TOP);
            CHECK();
            TOP = Value(i);
            break;
        }
        case 0x74:   // convert_u
        case 0x88: { // coerce_u
            NEED(1);
            const std::uint32_t u = vm.toUint32(TOP);
            CHECK();
            TOP = Value::fromUint(u);
            break;
        }
        case 0x75:   // convert_d
        case 0x84: { // coerce_d
            NEED(1);
            if (!TOP.isNumber()) {
                const double d = vm.toNumber(TOP);
                CHECK();
                TOP = Value::number(d);
            }
            break;
        }
        case 0x76: // convert_b
        case 0x81: // coerce_b
            NEED(1);
            TOP = Value(Vm::toBoolean(TOP));
            break;
        case 0x77: // convert_o
            NEED(1);
            if (TOP.isNullish()) {
                vm.throwError(ErrorType::TypeError, TOP.isNull() ? 1009 : 1010);
                goto thrown;
            }
            break;
        case 0x78: // checkfilter
            NEED(1);
            if (!TOP.isObject() || (TOP.asObject()->kind() != ObjectKind::Xml &&
                                    TOP.asObject()->kind() != ObjectKind::XmlList)) {
                vm.throwError(ErrorType::TypeError, 1123, {vm.describeForError(TOP)});
                goto thrown;
            }
            break;
        case 0x80: { // coerce
            NEED(1);
            ClassObject* type = typeAt(vm, unit, op.a);
            CHECK();
            if (type) {
                Value v = vm.coerce(TOP, type);
                CHECK();
                TOP = v;
            }
            break;
        }
        case 0x82: // coerce_a
            break;
        case 0x85: // coerce_s
            NEED(1);
            if (TOP.isNullish()) {
                TOP = Value::null();
            } else if (!TOP.isString()) {
                String* s = vm.toString(TOP);
                CHECK();
                TOP = Value(s);
            }
            break;
        case 0x86: { // astype
            NEED(1);
            ClassObject* type = typeAt(vm, unit, op.a);
            CHECK();
            if (!vm.isInstanceOf(TOP, type))
                TOP = Value::null();
            break;
        }
        case 0x87: { // astypelate
            NEED(2);
            Value type = S[--sp];
            if (!type.isObject() || type.asObject()->kind() != ObjectKind::Class) {
                vm.throwError(ErrorType::TypeError, 1041);
                goto thrown;
            }
            if (!vm.isInstanceOf(TOP, static_cast<ClassObject*>(type.asObject())))
                TOP = Value::null();
            break;
        }
        case 0x89: // coerce_o
            NEED(1);
            if (TOP.isUndefined())
                TOP = Value::null();
            break;
        case 0x90: { // negate
            NEED(1);
            const double d = vm.toNumber(TOP);
            CHECK();
            TOP = Value::number(-d);
            break;
        }
        case 0x91:   // increment
        case 0x93: { // decrement
            NEED(1);
            const double d = vm.toNumber(TOP);
            CHECK();
            TOP = Value::number(d + (op.code == 0x91 ? 1 : -1));
            break;
        }
        case 0x92:   // inclocal
        case 0x94: { // declocal
            const double d = vm.toNumber(L[op.a]);
            CHECK();
            L[op.a] = Value::number(d + (op.code == 0x92 ? 1 : -1));
            break;
        }
        case 0x95: // typeof
            NEED(1);
            TOP = Value(vm.typeOf(TOP));
            break;
        case 0x96: // not
            NEED(1);
            TOP = Value(!Vm::toBoolean(TOP));
            break;
        case 0x97: { // bitnot
            NEED(1);
            const std::int32_t i = vm.toInt32(TOP);
            CHECK();
            TOP = Value(~i);
            break;
        }
        case 0xA0: { // add
            NEED(2);
            Value b = S[--sp];
            Value r = addValues(vm, TOP, b);
            CHECK();
            TOP = r;
            break;
        }
        case 0xA1:   // subtract
        case 0xA2:   // multiply
        case 0xA3:   // divide
        case 0xA4: { // modulo
            NEED(2);
            Value bv = S[--sp];
            Value av = TOP;
            if (av.isInt() && bv.isInt() && op.code != 0xA3) {
                const std::int64_t x = av.asInt(), y = bv.asInt();
                if (op.code == 0xA1) {
                    TOP = Value::number(static_cast<double>(x - y));
                    break;
                }
                if (op.code == 0xA2) {
                    TOP = Value::number(static_cast<double>(x * y));
                    break;
                }
                if (y != 0 && x >= 0 && y > 0) {
                    TOP = Value(static_cast<std::int32_t>(x % y));
                    break;
                }
            }
            const double x = vm.toNumber(av);
            CHECK();
            const double y = vm.toNumber(bv);
            CHECK();
            double r = 0;
            switch (op.code) {
            case 0xA1:
                r = x - y;
                break;
            case 0xA2:
                r = x * y;
                break;
            case 0xA3:
                r = x / y;
                break;
            default:
                r = std::fmod(x, y);
                break;
            }
            TOP = Value::number(r);
            break;
        }
        case 0xA5:   // lshift
        case 0xA6:   // rshift
        case 0xA7:   // urshift
        case 0xA8:   // bitand
        case 0xA9:   // bitor
        case 0xAA: { // bitxor
            NEED(2);
            Value bv = S[--sp];
            const std::int32_t x = vm.toInt32(TOP);
            CHECK();
            const std::uint32_t y = vm.toUint32(bv);
            CHECK();
            switch (op.code) {
            case 0xA5:
                TOP = Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(x) << (y & 31)));
                break;
            case 0xA6:
                TOP = Value(x >> (y & 31));
                break;
            case 0xA7:
                TOP = Value::fromUint(static_cast<std::uint32_t>(x) >> (y & 31));
                break;
            case 0xA8:
                TOP = Value(x & static_cast<std::int32_t>(y));
                break;
            case 0xA9:
                TOP = Value(x | static_cast<std::int32_t>(y));
                break;
            default:
                TOP = Value(x ^ static_cast<std::int32_t>(y));
                break;
            }
            break;
        }
        case 0xAB: { // equals
            NEED(2);
            Value b = S[--sp];
            const bool r = vm.looseEquals(TOP, b);
            CHECK();
            TOP = Value(r);
            break;
        }
        case 0xAC: { // strictequals
            NEED(2);
            Value b = S[--sp];
            TOP = Value(vm.strictEquals(TOP, b));
            break;
        }
        case 0xAD:   // lessthan
        case 0xAE:   // lessequals
        case 0xAF:   // greaterthan
        case 0xB0: { // greaterequals
            NEED(2);
            Value b = S[--sp];
            const bool holds = relate(vm, TOP, b, static_cast<Relation>(op.code - 0xAD));
            CHECK();
            TOP = Value(holds);
            break;
        }
        case 0xB1: { // instanceof
            NEED(2);
            Value type = S[--sp];
            const bool r = instanceOf(vm, TOP, type);
            CHECK();
            TOP = Value(r);
            break;
        }
        case 0xB2: { // istype
            NEED(1);
            ClassObject* type = typeAt(vm, unit, op.a);
            CHECK();
            TOP = Value(vm.isInstanceOf(TOP, type));
            break;
        }
        case 0xB3: { // istypelate
            NEED(2);
            Value type = S[--sp];
            if (!type.isObject() || type.asObject()->kind() != ObjectKind::Class) {
                vm.throwError(ErrorType::TypeError, 1041);
                goto thrown;
            }
            TOP = Value(vm.isInstanceOf(TOP, static_cast<ClassObject*>(type.asObject())));
            break;
        }
        case 0xB4: { // in
            NEED(2);
            Value obj = S[--sp];
            Value key = TOP;
            if (obj.isNullish()) {
                vm.throwError(ErrorType::TypeError, obj.isNull() ? 1009 : 1010);
                goto thrown;
            }
            Name name;
            if (key.isObject() && key.asObject()->kind() == ObjectKind::QName) {
                qnameParts(vm, key, name);
            } else {
                name = vm.publicName(vm.internValue(vm.toString(key)));
                CHECK();
                name.key = key.objectOrNull();
            }
            TOP = Value(vm.hasProperty(obj, name));
            CHECK();
            break;
        }
        case 0xC0:   // increment_i
        case 0xC1: { // decrement_i
            NEED(1);
            const std::int32_t i = vm.toInt32(TOP);
            CHECK();
            TOP = Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(i) +
                                                  (op.code == 0xC0 ? 1u : 0xffffffffu)));
            break;
        }
        case 0xC2:   // inclocal_i
        case 0xC3: { // declocal_i
            const std::int32_t i = vm.toInt32(L[op.a]);
            CHECK();
            L[op.a] = Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(i) +
                                                      (op.code == 0xC2 ? 1u : 0xffffffffu)));
            break;
        }
        case 0xC4: { // negate_i
            NEED(1);
            const std::int32_t i = vm.toInt32(TOP);
            CHECK();
            TOP = Value(static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(i)));
            break;
        }
        case 0xC5:   // add_i
        case 0xC6:   // subtract_i
        case 0xC7: { // multiply_i
            NEED(2);
            Value bv = S[--sp];
            const auto x = static_cast<std::uint32_t>(vm.toInt32(TOP));
            CHECK();
            const auto y = static_cast<std::uint32_t>(vm.toInt32(bv));
            CHECK();
            const std::uint32_t r = op.code == 0xC5 ? x + y : op.code == 0xC6 ? x - y : x * y;
            TOP = Value(static_cast<std::int32_t>(r));
            break;
        }
        case 0xD0:
        case 0xD1:
        case 0xD2:
        case 0xD3: // getlocal_n
            PUSH(L[op.code - 0xD0]);
            break;
        case 0xD4:
        case 0xD5:
        case 0xD6:
        case 0xD7: // setlocal_n
            NEED(1);
            L[op.code - 0xD4] = S[--sp];
            break;
        default:
            vm.throwError(ErrorType::VerifyError, 1011,
                          {methodDescription(env), utf16(std::to_string(op.code)),
                           utf16(std::to_string(pc))});
            goto thrown;
        }
        ++pc;
        continue;

    thrown:
        // The innermost handler whose range holds the instruction and whose type
        // matches takes the error; the stack and scopes start empty there.
        {
            Value error = vm.exception();
            bool handled = false;
            for (const Handler& h : code.handlers) {
                if (pc < h.from || pc >= h.to)
                    continue;
                bool matches = h.type == 0;
                if (!matches) {
                    const bool wasThrowing = vm.throwing();
                    Value saved = vm.takeException();
                    ClassObject* type = typeAt(vm, unit, h.type);
                    if (vm.throwing())
                        vm.takeException();
                    matches = type ? vm.isInstanceOf(saved, type) : true;
                    if (wasThrowing)
                        vm.throwValue(saved);
                }
                if (matches) {
                    if (isUncatchable(vm, error))
                        break;
                    vm.takeException();
                    sp = 0;
                    f.scopeDepth = 0;
                    f.withMask = 0;
                    S[sp++] = error;
                    pc = h.target;
                    handled = true;
                    break;
                }
            }
            if (!handled) {
                if (vm.logs())
                    vm.host().log("error leaves " + utf8(methodDescription(env)) +
                                  " at instruction " + std::to_string(pc) + " (" +
                                  std::string(abc::opcodeInfo(ops[pc].code).name) +
                                  "): " + utf8(vm.uncaughtText(error)));
                return Value();
            }
        }
    }
    return Value();

#undef PUSH
#undef NEED
#undef TOP
#undef CHECK
#undef BRANCH
}

} // namespace avm2
