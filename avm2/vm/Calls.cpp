// Calls, construction, types and the definitions scripts declare.
#include "Interpreter.h"
#include "Loader.h"
#include "Vm.h"
#include "avm2/Limits.h"

#include <cmath>

namespace avm2 {

namespace {
String* traceNameOf(Vm& vm, MethodEnv& env)
{
    if (env.traceName)
        return env.traceName;
    std::u16string text;
    const std::u16string owner = env.declaringClass && env.declaringClass->qualifiedName
                                     ? env.declaringClass->qualifiedName->text()
                                     : std::u16string();
    const std::u16string name = env.name ? env.name->text() : std::u16string();
    if (env.isFunction && !env.declaringClass && env.unit) {
        // A closure made outside any class is named by its method's index.
        text = u"MethodInfo-" + utf16(std::to_string(env.method));
    } else if (env.isFunction) {
        text = u"Function/<anonymous>";
    } else if (env.isInitializer) {
        text = owner;
    } else if (!env.declaringClass || name.ends_with(u"$cinit")) {
        text = name;
    } else {
        text = owner + (env.isStatic ? u"$/" : u"/");
        if (env.isGetter)
            text += u"get ";
        else if (env.isSetter)
            text += u"set ";
        if (env.ns && env.ns->kind == NsKind::Public && !env.ns->uri->empty() &&
            env.ns != vm.as3Ns())
            text += env.ns->uri->text() + u"::";
        text += name;
    }
    env.traceName = vm.intern(text);
    return env.traceName;
}
} // namespace

std::u16string Vm::stackTrace()
{
    // The innermost calls only: a runaway recursion's trace stays short.
    std::u16string out;
    std::size_t lines = 0;
    for (auto it = m_callStack.rbegin();
         it != m_callStack.rend() && lines < limits::kMaxStackTraceLines; ++it, ++lines)
        out += u"\n\tat " + traceNameOf(*this, **it)->text() + u"()";
    return out;
}

bool Vm::isCallable(const Value& v) const
{
    return v.isObject() && v.asObject()->kind() == ObjectKind::Function;
}

Value Vm::invoke(MethodEnv* env, const Value& thisValue, std::span<const Value> args, ClassObject*)
{
    if (!env->native && !acceptsArguments(*this, *env, args.size()))
        return Value();
    if (!enterCall())
        return Value();
    m_callStack.push_back(env);
    Value result;
    if (env->native) {
        ++m_nativeFrames;
        result = env->native(*this, thisValue, args);
        --m_nativeFrames;
    } else {
        result = interpret(*this, *env, thisValue, args);
    }
    m_callStack.pop_back();
    leaveCall();
    return result;
}

Value Vm::call(const Value& callee, const Value& thisValue, std::span<const Value> args)
{
    Object* o = callee.objectOrNull();
    if (o && o->kind() == ObjectKind::Function) {
        auto* f = static_cast<FunctionObject*>(o);
        return invoke(f->env, f->isMethodClosure ? f->boundThis : thisValue, args);
    }
    if (o && o->kind() == ObjectKind::Class) {
        auto* cls = static_cast<ClassObject*>(o);
        // A native class's own conversion; classes scripts declare only cast.
        if (cls->hooks.call && !cls->initializer->unit) {
            if (!enterCall())
                return Value();
            Value r = cls->hooks.call(*this, callee, args);
            leaveCall();
            return r;
        }
        // Calling a class converts its one argument: a cast.
        if (args.size() != 1)
            return throwError(ErrorType::ArgumentError, 1112, {utf16(std::to_string(args.size()))});
        return coerce(args[0], cls);
    }
    return throwError(ErrorType::TypeError, 1006, {u"value"});
}

bool Vm::initializeInstance(ClassObject& cls, Object* instance, std::span<const Value> args)
{
    if (!cls.initializer)
        return true;
    invoke(cls.initializer, Value(instance), args);
    return !m_throwing;
}

Value Vm::construct(const Value& callee, std::span<const Value> args)
{
    Object* o = callee.objectOrNull();
    if (o && o->kind() == ObjectKind::Class) {
        auto* cls = static_cast<ClassObject*>(o);
        if (cls->instanceTraits->isInterface)
            return throwError(ErrorType::TypeError, 1007);
        if (cls->hooks.constructPrimitive) {
            if (!enterCall())
                return Value();
            Value r = cls->hooks.constructPrimitive(*this, callee, args);
            leaveCall();
            return r;
        }
        Object* instance = allocateInstance(*cls);
        if (!instance || m_throwing)
            return Value();
        if (!initializeInstance(*cls, instance, args))
            return Value();
        return Value(instance);
    }
    if (o && o->kind() == ObjectKind::Function) {
        auto* f = static_cast<FunctionObject*>(o);
        if (f->isMethodClosure)
            return throwError(ErrorType::TypeError, 1064,
                              {f->env->name ? f->env->name->text() : u"<anonymous>"});
        if (f->env->native)
            return throwError(ErrorType::TypeError, 1007);
        Value proto = getProperty(callee, publicName(names.prototype));
        if (m_throwing)
            return Value();
        Object* instance = newObject();
        if (proto.isObject())
            instance->setPrototype(proto.asObject());
        Value r = invoke(f->env, Value(instance), args);
        if (m_throwing)
            return Value();
        return r.isObject() ? r : Value(instance);
    }
    // An object that is neither class nor function names itself; anything else is no
    // object at all.
    if (o)
        return throwError(ErrorType::TypeError, 1115, {describeForError(callee)});
    return throwError(ErrorType::TypeError, 1007);
}

// Types --------------------------------------------------------------------------------

bool Vm::isInstanceOf(const Value& v, const ClassObject* cls)
{
    if (!cls)
        return true;
    const Builtins& b = m_builtins;
    if (cls == b.object)
        return !v.isNullish();
    if (cls == b.number)
        return v.isNumber();
    if (cls == b.intClass) {
        if (v.isInt())
            return true;
        if (!v.isDouble())
            return false;
        const double d = v.asDouble();
        return d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0;
    }
    if (cls == b.uintClass) {
        if (v.isInt())
            return v.asInt() >= 0;
        if (!v.isDouble())
            return false;
        const double d = v.asDouble();
        return d == std::trunc(d) && d >= 0 && d <= 4294967295.0;
    }
    if (cls == b.string)
        return v.isString();
    if (cls == b.boolean)
        return v.isBoolean();
    if (!v.isObject())
        return false;
    const Traits* traits = v.asObject()->traits();
    if (!traits)
        return false;
    if (cls->instanceTraits->isInterface)
        return traits->implements(cls);
    ClassObject* own = v.asObject()->classObject();
    return own && own->isSubclassOf(cls);
}

Value Vm::defaultValueOf(ClassObject* type) const
{
    const Builtins& b = m_builtins;
    if (!type)
        return Value();
    if (type == b.intClass || type == b.uintClass)
        return Value(0);
    if (type == b.number)
        return Value(std::numeric_limits<double>::quiet_NaN());
    if (type == b.boolean)
        return Value(false);
    return Value::null();
}

Value Vm::coerce(const Value& v, ClassObject* type)
{
    const Builtins& b = m_builtins;
    if (!type)
        return v;
    if (type == b.intClass)
        return Value(toInt32(v));
    if (type == b.uintClass)
        return Value::fromUint(toUint32(v));
    if (type == b.number)
        return v.isNumber() ? v : Value::number(toNumber(v));
    if (type == b.boolean)
        return Value(toBoolean(v));
    if (type == b.string)
        return v.isNullish() ? Value::null() : Value(toString(v));
    if (v.isNullish())
        return Value::null();
    if (type == b.object)
        return v;
    if (isInstanceOf(v, type))
        return v;
    // The target is named with a dot between package and class ("flash.net.URLRequest",
    // "__AS3__.vec.Vector.<int>"), the value as it prints elsewhere.
    std::u16string target = type->qualifiedName ? type->qualifiedName->text() : u"*";
    if (const auto colons = target.find(u"::"); colons != std::u16string::npos)
        target.replace(colons, 2, u".");
    return throwError(ErrorType::TypeError, 1034, {describeForError(v), target});
}

ClassObject* Vm::resolveType(const TypeRef& type)
{
    if (type.resolved || !type.unit || type.multiname == 0)
        return type.resolved;
    if (type.resolving)
        return nullptr;
    type.resolving = true;
    Value cls = resolveTypeName(*this, *type.unit, type.multiname);
    type.resolving = false;
    if (m_throwing)
        return nullptr;
    if (cls.isObject() && cls.asObject()->kind() == ObjectKind::Class)
        type.resolved = static_cast<ClassObject*>(cls.asObject());
    return type.resolved;
}

// Definitions --------------------------------------------------------------------------

void Vm::addDefinition(String* local, const Namespace* ns, ScriptEnv* script)
{
    auto& list = m_definitions[local];
    for (const Definition& d : list)
        if (d.ns == ns)
            return; // the first definition of a name wins
    list.push_back(Definition{ns, script});
}

ScriptEnv* Vm::findDefinition(const Name& name)
{
    if (!name.local)
        return nullptr;
    auto it = m_definitions.find(name.local);
    if (it == m_definitions.end())
        return nullptr;
    if (name.set) {
        for (const Namespace* ns : name.set->namespaces)
            for (const Definition& d : it->second)
                if (d.ns == ns)
                    return d.script;
        return nullptr;
    }
    for (const Definition& d : it->second)
        if (name.matches(d.ns))
            return d.script;
    return nullptr;
}

Object* Vm::findGlobal(const Name& name)
{
    ScriptEnv* script = findDefinition(name);
    if (!script)
        return nullptr;
    if (!ensureScriptRun(*script))
        return nullptr;
    return script->global;
}

namespace {
// "__AS3__.vec::Vector.<flash.display::Sprite>": the generic class applied to the
// definition inside the angle brackets, nested at most as deep as type names may be.
Value appliedDefinition(Vm& vm, std::u16string_view qualified, std::uint32_t depth)
{
    const auto open = qualified.find(u".<");
    if (open == std::u16string_view::npos || qualified.back() != u'>')
        return vm.getDefinitionByName(qualified);
    if (depth >= limits::kMaxTypeNesting)
        return Value::undefined();
    const Value base = vm.getDefinitionByName(qualified.substr(0, open));
    const std::u16string_view inner = qualified.substr(open + 2, qualified.size() - open - 3);
    const Value param = inner == u"*" ? Value::null() : appliedDefinition(vm, inner, depth + 1);
    if (vm.throwing() || base.isUndefined() || param.isUndefined())
        return Value::undefined();
    const Value params[1] = {param};
    return applyType(vm, base, params);
}
} // namespace

Value Vm::getDefinitionByName(std::u16string_view qualified)
{
    if (qualified.size() > 2 && qualified.back() == u'>' &&
        qualified.find(u".<") != std::u16string_view::npos)
        return appliedDefinition(*this, qualified, 0);
    std::u16string_view package;
    std::u16string_view local = qualified;
    const auto colons = qualified.rfind(u"::");
    if (colons != std::u16string_view::npos) {
        package = qualified.substr(0, colons);
        local = qualified.substr(colons + 2);
    } else if (const auto dot = qualified.rfind(u'.'); dot != std::u16string_view::npos) {
        package = qualified.substr(0, dot);
        local = qualified.substr(dot + 1);
    }
    Name name;
    name.local = findInterned(local);
    if (!name.local)
        return Value::undefined();
    name.ns = internNamespace(NsKind::Public, intern(package));
    Object* global = findGlobal(name);
    if (!global)
        return Value::undefined();
    return getProperty(Value(global), name);
}

bool Vm::ensureScriptRun(ScriptEnv& script)
{
    if (script.state != ScriptEnv::State::NotRun)
        return true;
    script.state = ScriptEnv::State::Running;
    runScriptInit(*this, script);
    script.state = ScriptEnv::State::Done;
    return !m_throwing;
}

} // namespace avm2
