// The global functions (trace, parseInt, the URI coders...) and flash.utils' functions
// on names and time.
#include "Native.h"
#include "script/ParseNumber.h"
#include "script/UriCoding.h"
#include "script/XmlName.h"

#include <cmath>

namespace avm2 {

using namespace native;

namespace {

// A String-typed parameter: missing gives its default; undefined and null give "null".
std::u16string stringParam(Vm& vm, Args args, std::size_t i, std::u16string_view fallback)
{
    if (!has(args, i))
        return std::u16string(fallback);
    if (args[i].isNullish())
        return u"null";
    return vm.toText(args[i]);
}

Value trace(Vm& vm, const Value&, Args args)
{
    std::u16string line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i)
            line += u' ';
        line += vm.toText(args[i]);
        if (vm.throwing())
            return Value();
    }
    vm.trace(line);
    return Value();
}

Value parseIntFn(Vm& vm, const Value&, Args args)
{
    const std::u16string s = stringParam(vm, args, 0, u"NaN");
    const std::int32_t radix = has(args, 1) ? vm.toInt32(args[1]) : 0;
    return Value::number(script::parseInt(s, radix));
}

Value parseFloatFn(Vm& vm, const Value&, Args args)
{
    return Value::number(script::parseFloat(stringParam(vm, args, 0, u"NaN")));
}

Value isNaNFn(Vm& vm, const Value&, Args args)
{
    return Value(
        std::isnan(has(args, 0) ? vm.toNumber(args[0]) : std::numeric_limits<double>::quiet_NaN()));
}

Value isFiniteFn(Vm& vm, const Value&, Args args)
{
    return Value(std::isfinite(has(args, 0) ? vm.toNumber(args[0])
                                            : std::numeric_limits<double>::quiet_NaN()));
}

Value escapeFn(Vm& vm, const Value&, Args args)
{
    return Value(vm.newString(script::escape(stringParam(vm, args, 0, u"undefined"))));
}

Value unescapeFn(Vm& vm, const Value&, Args args)
{
    return Value(vm.newString(script::unescape(stringParam(vm, args, 0, u"undefined"))));
}

template <std::optional<std::u16string> (*Coder)(std::u16string_view), const char16_t* Name>
Value uriFn(Vm& vm, const Value&, Args args)
{
    auto r = Coder(stringParam(vm, args, 0, u"undefined"));
    if (!r)
        return vm.throwError(ErrorType::UriError, 1052, {Name});
    return Value(vm.newString(std::move(*r)));
}

constexpr char16_t kEncodeURI[] = u"encodeURI";
constexpr char16_t kEncodeURIComponent[] = u"encodeURIComponent";
constexpr char16_t kDecodeURI[] = u"decodeURI";
constexpr char16_t kDecodeURIComponent[] = u"decodeURIComponent";

Value isXMLNameFn(Vm& vm, const Value&, Args args)
{
    if (!has(args, 0) || args[0].isNullish())
        return Value(false);
    return Value(script::isXmlName(vm.toText(args[0])));
}

Value getTimer(Vm& vm, const Value&, Args)
{
    return Value(static_cast<std::int32_t>(vm.host().milliseconds ? vm.host().milliseconds() : 0));
}

std::u16string qualifiedClassName(Vm& vm, const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined:
        return u"void";
    case Value::Type::Null:
        return u"null";
    default:
        break;
    }
    ClassObject* cls = nullptr;
    if (v.isObject() && v.asObject()->kind() == ObjectKind::Class)
        cls = static_cast<ClassObject*>(v.asObject());
    else
        cls = vm.classOf(v);
    return cls && cls->qualifiedName ? cls->qualifiedName->text() : u"Object";
}

Value getQualifiedClassName(Vm& vm, const Value&, Args args)
{
    return Value(vm.newString(qualifiedClassName(vm, arg(args, 0))));
}

Value getQualifiedSuperclassName(Vm& vm, const Value&, Args args)
{
    Value v = arg(args, 0);
    ClassObject* cls = nullptr;
    if (v.isObject() && v.asObject()->kind() == ObjectKind::Class)
        cls = static_cast<ClassObject*>(v.asObject());
    else
        cls = vm.classOf(v);
    if (!cls || !cls->base)
        return Value::null();
    return Value(vm.newString(cls->base->qualifiedName->text()));
}

Value getDefinitionByName(Vm& vm, const Value&, Args args)
{
    const std::u16string name = vm.toText(arg(args, 0));
    Value v = vm.getDefinitionByName(name);
    if (vm.throwing())
        return Value();
    if (v.isUndefined()) {
        // The message names the definition without its package.
        std::size_t start = name.rfind(u"::");
        start = start == std::u16string::npos ? name.rfind(u'.') : start + 1;
        return vm.throwError(ErrorType::ReferenceError, 1065,
                             {start == std::u16string::npos ? name : name.substr(start + 1)});
    }
    return v;
}

} // namespace

void defineGlobalFunctions(Vm& vm)
{
    vm.defineGlobalFunction("", "trace", trace, 1);
    vm.defineGlobalFunction("", "parseInt", parseIntFn, 2);
    vm.defineGlobalFunction("", "parseFloat", parseFloatFn, 1);
    vm.defineGlobalFunction("", "isNaN", isNaNFn, 1);
    vm.defineGlobalFunction("", "isFinite", isFiniteFn, 1);
    vm.defineGlobalFunction("", "escape", escapeFn, 1);
    vm.defineGlobalFunction("", "unescape", unescapeFn, 1);
    vm.defineGlobalFunction("", "encodeURI", uriFn<script::encodeURI, kEncodeURI>, 1);
    vm.defineGlobalFunction("", "encodeURIComponent",
                            uriFn<script::encodeURIComponent, kEncodeURIComponent>, 1);
    vm.defineGlobalFunction("", "decodeURI", uriFn<script::decodeURI, kDecodeURI>, 1);
    vm.defineGlobalFunction("", "decodeURIComponent",
                            uriFn<script::decodeURIComponent, kDecodeURIComponent>, 1);
    vm.defineGlobalFunction("", "isXMLName", isXMLNameFn, 1);
    vm.defineGlobalConstant("NaN", Value(std::numeric_limits<double>::quiet_NaN()));
    vm.defineGlobalConstant("Infinity", Value(std::numeric_limits<double>::infinity()));
    vm.defineGlobalConstant("undefined", Value());
    vm.defineGlobalFunction("flash.utils", "getTimer", getTimer, 0);
    vm.defineGlobalFunction("flash.utils", "getQualifiedClassName", getQualifiedClassName, 1);
    vm.defineGlobalFunction("flash.utils", "getQualifiedSuperclassName", getQualifiedSuperclassName,
                            1);
    vm.defineGlobalFunction("flash.utils", "getDefinitionByName", getDefinitionByName, 1);
    // The shell's package holds the same functions under its own name.
    vm.defineGlobalFunction("avmplus", "getQualifiedClassName", getQualifiedClassName, 1);
    vm.defineGlobalFunction("avmplus", "getQualifiedSuperclassName", getQualifiedSuperclassName, 1);
}

} // namespace avm2
