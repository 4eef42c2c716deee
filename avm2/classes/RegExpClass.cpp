// RegExp: the compiled expression (script/regexp/) behind the language's class, with
// lastIndex kept here as the ECMAScript exec algorithm keeps it.
#include "Native.h"
#include "RegExpObject.h"
#include "RegExpSupport.h"
#include "script/regexp/RegExpFlags.h"

namespace avm2 {

using namespace native;
namespace rx = script::regexp;

bool compileInto(Vm& vm, RegExpObject& re, std::u16string source, const rx::RegExpFlags& flags)
{
    re.source = std::move(source);
    re.flags = flags;
    re.lastIndex = 0;
    auto compiled = rx::CompiledRegExp::compile(re.source, flags);
    if (compiled) {
        re.compiled = std::move(compiled.value());
        return true;
    }
    re.compiled.reset();
    // Groups nested past the cap: the reference's matcher runs out of stack there.
    if (compiled.error().code == swf::ErrorCode::TooDeep) {
        vm.throwError(ErrorType::Error, 1023);
        return false;
    }
    // Any other source that is no pattern makes an expression that matches nothing.
    return true;
}

bool execRegExp(Vm& vm, const RegExpObject& re, std::u16string_view subject, std::size_t start,
                rx::ExecResult& out)
{
    out = {};
    if (!re.compiled || start > subject.size())
        return true;
    out = re.compiled->exec(subject, start);
    if (out.status == rx::MatchStatus::LimitExceeded) {
        // Catastrophic backtracking: the reference's recursive matcher overflows.
        vm.throwError(ErrorType::Error, 1023);
        return false;
    }
    return true;
}

Value groupValue(Vm& vm, std::u16string_view subject, const std::optional<rx::Span>& span)
{
    if (!span)
        return Value();
    return Value(vm.newString(std::u16string(subject.substr(span->begin, span->length()))));
}

Value matchArray(Vm& vm, const RegExpObject& re, const String* input, const rx::Match& match)
{
    const std::u16string_view subject = input->view();
    ArrayObject* out = vm.newArray();
    for (const auto& group : match.groups)
        out->push(groupValue(vm, subject, group));
    out->dynamic().set(vm.intern("index"), Value::number(static_cast<double>(match.whole().begin)));
    out->dynamic().set(vm.intern("input"), Value(const_cast<String*>(input)));
    if (re.compiled) {
        for (const rx::GroupName& name : re.compiled->groupNames()) {
            Value v = name.group < match.groups.size()
                          ? groupValue(vm, subject, match.groups[name.group])
                          : Value();
            out->dynamic().set(vm.intern(name.name), v);
        }
    }
    return Value(out);
}

Value execWithLastIndex(Vm& vm, RegExpObject& re, String* input)
{
    const std::u16string_view subject = input->view();
    const std::int64_t i = re.flags.global ? re.lastIndex : 0;
    if (i < 0 || static_cast<std::size_t>(i) > subject.size()) {
        re.lastIndex = 0;
        return Value::null();
    }
    rx::ExecResult r;
    if (!execRegExp(vm, re, subject, static_cast<std::size_t>(i), r))
        return Value();
    if (!r.matched()) {
        re.lastIndex = 0;
        return Value::null();
    }
    if (re.flags.global)
        re.lastIndex = static_cast<std::int32_t>(r.match.whole().end);
    return matchArray(vm, re, input, r.match);
}

Value toRegExp(Vm& vm, const Value& pattern)
{
    if (asRegExp(pattern))
        return pattern;
    // Any other pattern is its text: undefined looks for "undefined".
    String* text = vm.toString(pattern);
    if (vm.throwing())
        return Value();
    Value args[1] = {Value(text)};
    return vm.construct(Value(vm.builtins().regexp), args);
}

namespace {

Object* allocateRegExp(Vm& vm, ClassObject& cls)
{
    // The constructor compiles the source (new RegExp() compiles the empty one).
    return vm.make<RegExpObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

Value constructRegExp(Vm& vm, const Value& self, Args args)
{
    auto* re = asRegExp(self);
    if (!re)
        return Value();
    const Value pattern = arg(args, 0);
    const Value flagsArg = arg(args, 1);
    if (auto* other = asRegExp(pattern)) {
        if (!flagsArg.isUndefined())
            return vm.throwError(ErrorType::TypeError, 1100);
        re->source = other->source;
        re->flags = other->flags;
        re->compiled = other->compiled;
        re->lastIndex = 0;
        return Value();
    }
    std::u16string source;
    if (!pattern.isUndefined()) {
        source = vm.toText(pattern);
        if (vm.throwing())
            return Value();
    }
    std::u16string flagsText;
    if (!flagsArg.isUndefined()) {
        flagsText = vm.toText(flagsArg);
        if (vm.throwing())
            return Value();
    }
    compileInto(vm, *re, std::move(source), rx::parseRegExpFlags(flagsText));
    return Value();
}

// RegExp(x) hands back a RegExp argument itself when no flags come with it.
Value callRegExp(Vm& vm, const Value&, Args args)
{
    if (asRegExp(arg(args, 0)) && arg(args, 1).isUndefined())
        return args[0];
    return vm.construct(Value(vm.builtins().regexp), args);
}

RegExpObject* self(Vm& vm, const Value& thisValue, const char* method)
{
    return receiver<RegExpObject>(vm, thisValue, ObjectKind::RegExp, method);
}

Value source(Vm& vm, const Value& thisValue, Args)
{
    auto* re = self(vm, thisValue, "RegExp/source");
    return re ? Value(vm.newString(re->source)) : Value();
}

#define REGEXP_FLAG_GETTER(fn, field)                                                              \
    Value fn(Vm& vm, const Value& thisValue, Args)                                                 \
    {                                                                                              \
        auto* re = self(vm, thisValue, "RegExp/" #fn);                                             \
        return re ? Value(re->flags.field) : Value();                                              \
    }
REGEXP_FLAG_GETTER(global, global)
REGEXP_FLAG_GETTER(ignoreCase, ignoreCase)
REGEXP_FLAG_GETTER(multiline, multiline)
REGEXP_FLAG_GETTER(dotall, dotAll)
REGEXP_FLAG_GETTER(extended, extended)
#undef REGEXP_FLAG_GETTER

Value getLastIndex(Vm& vm, const Value& thisValue, Args)
{
    auto* re = self(vm, thisValue, "RegExp/lastIndex");
    return re ? Value(re->lastIndex) : Value();
}

Value setLastIndex(Vm& vm, const Value& thisValue, Args args)
{
    auto* re = self(vm, thisValue, "RegExp/lastIndex");
    if (!re)
        return Value();
    const std::int32_t v = vm.toInt32(arg(args, 0));
    if (!vm.throwing())
        re->lastIndex = v;
    return Value();
}

// The subject of exec and test, converted as ToString converts (undefined gives
// "undefined", null "null").
String* subjectArg(Vm& vm, Args args)
{
    return vm.toString(arg(args, 0));
}

Value exec(Vm& vm, const Value& thisValue, Args args)
{
    auto* re = self(vm, thisValue, "RegExp/exec");
    if (!re)
        return Value();
    String* input = subjectArg(vm, args);
    if (vm.throwing())
        return Value();
    return execWithLastIndex(vm, *re, input);
}

Value test(Vm& vm, const Value& thisValue, Args args)
{
    auto* re = self(vm, thisValue, "RegExp/test");
    if (!re)
        return Value();
    String* input = subjectArg(vm, args);
    if (vm.throwing())
        return Value();
    Value r = execWithLastIndex(vm, *re, input);
    if (vm.throwing())
        return Value();
    return Value(!r.isNull());
}

Value toStringMethod(Vm& vm, const Value& thisValue, Args)
{
    auto* re = self(vm, thisValue, "RegExp.prototype.toString");
    if (!re)
        return Value();
    std::u16string out = u"/";
    out += re->source;
    out += u"/";
    out += rx::regExpFlagsText(re->flags);
    return Value(vm.newString(std::move(out)));
}

} // namespace

void defineRegExpClass(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks hooks;
    hooks.allocate = allocateRegExp;
    hooks.construct = constructRegExp;
    hooks.call = callRegExp;
    b.regexp = vm.defineClass("", "RegExp", b.object, true, hooks);
    ClassObject* c = b.regexp;
    vm.defineGetter(c, "source", source);
    vm.defineGetter(c, "global", global);
    vm.defineGetter(c, "ignoreCase", ignoreCase);
    vm.defineGetter(c, "multiline", multiline);
    vm.defineGetter(c, "dotall", dotall);
    vm.defineGetter(c, "extended", extended);
    vm.defineGetter(c, "lastIndex", getLastIndex, setLastIndex);
    vm.defineMethod(c, "exec", exec, 1);
    vm.defineMethod(c, "test", test, 1);
    vm.defineMethod(c, "toString", toStringMethod, 0, Vm::Member::PrototypeOnly);
    vm.defineConstant(c, "length", Value(1));
}

} // namespace avm2
