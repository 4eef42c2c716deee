// String: methods over UTF-16 code units (the floor's string helpers), with the
// language reference's defaults for missing arguments.
#include "Native.h"
#include "StringRegExp.h"
#include "script/CaseMapping.h"
#include "script/StringMethods.h"
#include "script/regexp/Replacement.h"

namespace avm2 {

using namespace native;

namespace {

constexpr double kToEnd = script::kToEnd;

// The receiver as text: String's methods are generic and convert their receiver.
bool text(Vm& vm, const Value& self, std::u16string& out)
{
    if (self.isString()) {
        out = self.asString()->text();
        return true;
    }
    out = vm.toText(self);
    return !vm.throwing();
}

double number(Vm& vm, Args args, std::size_t i, double fallback)
{
    if (!has(args, i))
        return fallback;
    return vm.toNumber(args[i]);
}

std::u16string stringArg(Vm& vm, Args args, std::size_t i, std::u16string_view fallback)
{
    if (!has(args, i))
        return std::u16string(fallback);
    return vm.toText(args[i]);
}

Value stringCall(Vm& vm, const Value&, Args args)
{
    if (!has(args, 0))
        return Value(vm.names.empty);
    return Value(vm.toString(args[0]));
}

Value length(Vm& vm, const Value& self, Args)
{
    std::u16string t;
    if (!text(vm, self, t))
        return Value();
    return Value(static_cast<std::int32_t>(t.size()));
}

Value toStringMethod(Vm& vm, const Value& self, Args)
{
    if (isPrototypeOf(self, vm.builtins().string))
        return Value(vm.names.empty);
    if (!self.isString())
        return vm.throwError(ErrorType::TypeError, 1004, {u"String.prototype.toString"});
    return self;
}

Value valueOfMethod(Vm& vm, const Value& self, Args)
{
    if (isPrototypeOf(self, vm.builtins().string))
        return Value(vm.names.empty);
    if (!self.isString())
        return vm.throwError(ErrorType::TypeError, 1004, {u"String.prototype.valueOf"});
    return self;
}

#define STRING_METHOD_PROLOGUE                                                                     \
    std::u16string s;                                                                              \
    if (!text(vm, self, s))                                                                        \
        return Value();

Value charAt(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    const double i = number(vm, args, 0, 0);
    return Value(vm.newString(std::u16string(script::charAt(s, i))));
}

Value charCodeAt(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    return Value::number(script::charCodeAt(s, number(vm, args, 0, 0)));
}

Value concat(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    for (const Value& a : args) {
        s += vm.toText(a);
        if (vm.throwing())
            return Value();
    }
    return Value(vm.newString(std::move(s)));
}

Value indexOf(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    const std::u16string search = stringArg(vm, args, 0, u"undefined");
    return Value(script::indexOf(s, search, number(vm, args, 1, 0)));
}

Value lastIndexOf(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    const std::u16string search = stringArg(vm, args, 0, u"undefined");
    return Value(script::lastIndexOf(s, search, number(vm, args, 1, 0x7fffffff)));
}

Value localeCompare(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    // Movies of version 9 and before compare with a null or undefined argument as with
    // nothing: 0 for any text but the empty one, which gives 1 (measured).
    if (vm.swfVersion() <= 9 && arg(args, 0).isNullish())
        return Value(s.empty() ? 1 : 0);
    return Value(script::localeCompare(s, stringArg(vm, args, 0, u"undefined")));
}

Value slice(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    return Value(vm.newString(
        std::u16string(script::slice(s, number(vm, args, 0, 0), number(vm, args, 1, kToEnd)))));
}

Value substring(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    return Value(vm.newString(
        std::u16string(script::substring(s, number(vm, args, 0, 0), number(vm, args, 1, kToEnd)))));
}

Value substr(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    return Value(vm.newString(
        std::u16string(script::substr(s, number(vm, args, 0, 0), number(vm, args, 1, kToEnd)))));
}

Value toLowerCase(Vm& vm, const Value& self, Args)
{
    STRING_METHOD_PROLOGUE
    return Value(vm.newString(script::toLowerCase(s)));
}

Value toUpperCase(Vm& vm, const Value& self, Args)
{
    STRING_METHOD_PROLOGUE
    return Value(vm.newString(script::toUpperCase(s)));
}

Value split(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    ArrayObject* out = vm.newArray();
    const std::uint32_t limit =
        has(args, 1) && !args[1].isUndefined() ? vm.toUint32(args[1]) : 0xffffffffu;
    if (limit == 0)
        return Value(out);
    Value sep = arg(args, 0);
    if (sep.isObject() && sep.asObject()->kind() == ObjectKind::RegExp)
        return splitByRegExp(vm, s, sep, limit);
    if (sep.isUndefined()) {
        out->push(Value(vm.newString(s)));
        return Value(out);
    }
    const std::u16string separator = vm.toText(sep);
    if (s.empty()) {
        out->push(Value(vm.names.empty));
        return Value(out);
    }
    if (separator.empty()) {
        // Every code unit apart; the empty string stays one empty piece.
        if (s.empty())
            out->push(Value(vm.names.empty));
        for (std::size_t i = 0; i < s.size() && out->length() < limit; ++i)
            out->push(Value(vm.newString(s.substr(i, 1))));
        return Value(out);
    }
    std::size_t start = 0;
    while (out->length() < limit) {
        const std::size_t at = s.find(separator, start);
        if (at == std::u16string::npos) {
            out->push(Value(vm.newString(s.substr(start))));
            break;
        }
        out->push(Value(vm.newString(s.substr(start, at - start))));
        start = at + separator.size();
    }
    return Value(out);
}

Value replace(Vm& vm, const Value& self, Args args)
{
    STRING_METHOD_PROLOGUE
    Value pattern = arg(args, 0);
    Value replacement = arg(args, 1);
    if (pattern.isObject() && pattern.asObject()->kind() == ObjectKind::RegExp)
        return replaceByRegExp(vm, s, pattern, replacement);
    const std::u16string needle = vm.toText(pattern);
    if (vm.throwing())
        return Value();
    const std::size_t at = s.find(needle);
    if (at == std::u16string::npos)
        return Value(vm.newString(s));
    std::u16string out = s.substr(0, at);
    if (vm.isCallable(replacement)) {
        Value callArgs[3] = {Value(vm.newString(needle)), Value(static_cast<std::int32_t>(at)),
                             Value(vm.newString(s))};
        Value r = vm.call(replacement, Value::null(), callArgs);
        if (vm.throwing())
            return Value();
        out += vm.toText(r);
    } else {
        script::regexp::Match match;
        match.groups.push_back(script::regexp::Span{at, at + needle.size()});
        script::regexp::appendExpansion(out, vm.toText(replacement), s, match);
    }
    out += s.substr(at + needle.size());
    return Value(vm.newString(std::move(out)));
}

Value fromCharCode(Vm& vm, const Value&, Args args)
{
    std::u16string out;
    for (const Value& a : args) {
        out.push_back(script::fromCharCode(vm.toNumber(a)));
        if (vm.throwing())
            return Value();
    }
    return Value(vm.newString(std::move(out)));
}

// A method's name as a template argument.
template <std::size_t N> struct MethodName {
    char text[N];
    constexpr MethodName(const char (&s)[N])
    {
        for (std::size_t i = 0; i < N; ++i)
            text[i] = s[i];
    }
};

// String's methods take a fixed list of parameters (all optional): more arguments
// than that are an ArgumentError, as for any method without a rest parameter
// (measured: String.prototype.localeCompare(a, b)).
template <NativeMethod fn, std::size_t max, MethodName name>
Value fixed(Vm& vm, const Value& self, Args args)
{
    if (args.size() > max)
        return vm.throwError(ErrorType::ArgumentError, 1063,
                             {u"String/" + utf16(name.text) + u"()", utf16(std::to_string(max)),
                              utf16(std::to_string(args.size()))});
    return fn(vm, self, args);
}

#define STRING_FIXED(fn, max, name) fixed<fn, max, MethodName(name)>

} // namespace

void defineStringClass(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks hooks;
    hooks.call = stringCall;
    hooks.constructPrimitive = stringCall;
    b.string = vm.defineClass("", "String", b.object, false, hooks, true);
    ClassObject* c = b.string;
    vm.defineGetter(c, "length", length);
    vm.defineMethod(c, "toString", STRING_FIXED(toStringMethod, 0, "toString"), 0);
    vm.defineMethod(c, "valueOf", STRING_FIXED(valueOfMethod, 0, "valueOf"), 0);
    vm.defineMethod(c, "charAt", STRING_FIXED(charAt, 1, "charAt"), 1);
    vm.defineMethod(c, "charCodeAt", STRING_FIXED(charCodeAt, 1, "charCodeAt"), 1);
    vm.defineMethod(c, "concat", concat, 0);
    vm.defineMethod(c, "indexOf", STRING_FIXED(indexOf, 2, "indexOf"), 2);
    vm.defineMethod(c, "lastIndexOf", STRING_FIXED(lastIndexOf, 2, "lastIndexOf"), 2);
    vm.defineMethod(c, "localeCompare", STRING_FIXED(localeCompare, 1, "localeCompare"), 1);
    vm.defineMethod(c, "slice", STRING_FIXED(slice, 2, "slice"), 2);
    vm.defineMethod(c, "substring", STRING_FIXED(substring, 2, "substring"), 2);
    vm.defineMethod(c, "substr", STRING_FIXED(substr, 2, "substr"), 2);
    vm.defineMethod(c, "toLowerCase", STRING_FIXED(toLowerCase, 0, "toLowerCase"), 0);
    vm.defineMethod(c, "toUpperCase", STRING_FIXED(toUpperCase, 0, "toUpperCase"), 0);
    vm.defineMethod(c, "toLocaleLowerCase", STRING_FIXED(toLowerCase, 0, "toLocaleLowerCase"), 0);
    vm.defineMethod(c, "toLocaleUpperCase", STRING_FIXED(toUpperCase, 0, "toLocaleUpperCase"), 0);
    vm.defineMethod(c, "split", STRING_FIXED(split, 2, "split"), 2);
    vm.defineMethod(c, "replace", STRING_FIXED(replace, 2, "replace"), 2);
    vm.defineMethod(c, "match", STRING_FIXED(matchByRegExp, 1, "match"), 1);
    vm.defineMethod(c, "search", STRING_FIXED(searchByRegExp, 1, "search"), 1);
    vm.defineStaticMethod(c, "fromCharCode", fromCharCode, 0);
    vm.defineConstant(c, "length", Value(1));
}

#undef STRING_FIXED

} // namespace avm2
