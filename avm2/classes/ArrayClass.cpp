// Array: dense and sparse elements (ArrayObject), the methods of ECMAScript 15.4 and
// ActionScript 3's additions (indexOf, forEach, sortOn...).
#include "Native.h"

#include <algorithm>
#include <cmath>

namespace avm2 {

using namespace native;

namespace {

Object* allocateArray(Vm& vm, ClassObject& cls)
{
    return vm.make<ArrayObject>(cls.instanceTraits.get(), cls.instancePrototype);
}

Value constructArray(Vm& vm, const Value& self, Args args)
{
    auto* a = static_cast<ArrayObject*>(self.objectOrNull());
    if (!a || a->kind() != ObjectKind::Array)
        return Value();
    if (args.size() == 1 && args[0].isNumber()) {
        const double n = args[0].asNumber();
        if (n < 0 || n != std::trunc(n) || n > 4294967295.0)
            return vm.throwError(ErrorType::RangeError, 1005, {vm.toText(args[0])});
        a->setLength(static_cast<std::uint32_t>(n));
        return Value();
    }
    for (const Value& v : args)
        a->push(v);
    return Value();
}

Value arrayCall(Vm& vm, const Value& self, Args args)
{
    return vm.construct(self, args);
}

ArrayObject* array(Vm& vm, const Value& self, const char* method)
{
    return receiver<ArrayObject>(vm, self, ObjectKind::Array, method);
}

Value getLength(Vm& vm, const Value& self, Args)
{
    ArrayObject* a = array(vm, self, "Array/length");
    return a ? Value::fromUint(a->length()) : Value();
}

Value setLength(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/length");
    if (!a)
        return Value();
    const double n = vm.toNumber(arg(args, 0));
    if (n < 0 || n != std::trunc(n) || n > 4294967295.0)
        return vm.throwError(ErrorType::RangeError, 1005, {vm.toText(arg(args, 0))});
    a->setLength(static_cast<std::uint32_t>(n));
    return Value();
}

std::u16string joinElements(Vm& vm, ArrayObject* a, std::u16string_view separator)
{
    std::u16string out;
    for (std::uint32_t i = 0; i < a->length(); ++i) {
        if (i)
            out += separator;
        Value v = a->get(i);
        if (!v.isNullish())
            out += vm.toText(v);
        if (vm.throwing())
            return {};
    }
    return out;
}

Value join(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/join");
    if (!a)
        return Value();
    std::u16string sep = has(args, 0) && !args[0].isUndefined() ? vm.toText(args[0]) : u",";
    std::u16string out = joinElements(vm, a, sep);
    return vm.throwing() ? Value() : Value(vm.newString(std::move(out)));
}

Value toString(Vm& vm, const Value& self, Args)
{
    ArrayObject* a = array(vm, self, "Array.prototype.toString");
    if (!a)
        return Value();
    std::u16string out = joinElements(vm, a, u",");
    return vm.throwing() ? Value() : Value(vm.newString(std::move(out)));
}

Value push(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/push");
    if (!a)
        return Value();
    for (const Value& v : args)
        a->push(v);
    return Value::fromUint(a->length());
}

Value pop(Vm& vm, const Value& self, Args)
{
    ArrayObject* a = array(vm, self, "Array/pop");
    if (!a || a->length() == 0)
        return Value();
    Value v = a->get(a->length() - 1);
    a->setLength(a->length() - 1);
    return v;
}

Value shift(Vm& vm, const Value& self, Args)
{
    ArrayObject* a = array(vm, self, "Array/shift");
    if (!a || a->length() == 0)
        return Value();
    Value first = a->get(0);
    const std::uint32_t n = a->length();
    for (std::uint32_t i = 1; i < n; ++i) {
        if (a->has(i))
            a->set(i - 1, a->get(i));
        else
            a->remove(i - 1);
    }
    a->setLength(n - 1);
    return first;
}

Value unshift(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/unshift");
    if (!a)
        return Value();
    const std::uint32_t n = a->length();
    const auto k = static_cast<std::uint32_t>(args.size());
    for (std::uint32_t i = n; i-- > 0;) {
        if (a->has(i))
            a->set(i + k, a->get(i));
        else
            a->remove(i + k);
    }
    for (std::uint32_t i = 0; i < k; ++i)
        a->set(i, args[i]);
    a->setLength(n + k);
    return Value::fromUint(a->length());
}

Value reverse(Vm& vm, const Value& self, Args)
{
    ArrayObject* a = array(vm, self, "Array/reverse");
    if (!a)
        return Value();
    const std::uint32_t n = a->length();
    for (std::uint32_t i = 0; i < n / 2; ++i) {
        const std::uint32_t j = n - 1 - i;
        const bool hi = a->has(i), hj = a->has(j);
        Value vi = a->get(i), vj = a->get(j);
        if (hj)
            a->set(i, vj);
        else
            a->remove(i);
        if (hi)
            a->set(j, vi);
        else
            a->remove(j);
    }
    return self;
}

Value concat(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/concat");
    if (!a)
        return Value();
    ArrayObject* out = vm.newArray();
    for (std::uint32_t i = 0; i < a->length(); ++i)
        out->set(i, a->get(i));
    out->setLength(a->length());
    for (const Value& v : args) {
        if (v.isObject() && v.asObject()->kind() == ObjectKind::Array) {
            auto* other = static_cast<ArrayObject*>(v.asObject());
            const std::uint32_t base = out->length();
            for (std::uint32_t i = 0; i < other->length(); ++i)
                out->set(base + i, other->get(i));
            out->setLength(base + other->length());
        } else {
            out->push(v);
        }
    }
    return Value(out);
}

// A relative index (negative counts from the end), clamped into [0, length].
std::uint32_t relativeIndex(Vm& vm, const Value& v, std::uint32_t length, double fallback)
{
    double d = v.isUndefined() ? fallback : vm.toNumber(v);
    if (std::isnan(d))
        d = 0;
    d = std::trunc(d);
    if (d < 0)
        d = std::max(0.0, length + d);
    return static_cast<std::uint32_t>(std::min(d, static_cast<double>(length)));
}

Value slice(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/slice");
    if (!a)
        return Value();
    const std::uint32_t n = a->length();
    const std::uint32_t start = relativeIndex(vm, arg(args, 0), n, 0);
    const std::uint32_t end = relativeIndex(vm, arg(args, 1), n, 4294967295.0);
    ArrayObject* out = vm.newArray();
    for (std::uint32_t i = start; i < end; ++i)
        out->push(a->get(i));
    return Value(out);
}

Value splice(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/splice");
    if (!a)
        return Value();
    if (args.empty())
        return Value::undefined();
    const std::uint32_t n = a->length();
    const std::uint32_t start = relativeIndex(vm, arg(args, 0), n, 0);
    double countD = has(args, 1) ? vm.toNumber(args[1]) : static_cast<double>(n - start);
    if (std::isnan(countD) || countD < 0)
        countD = 0;
    const auto count =
        static_cast<std::uint32_t>(std::min(std::trunc(countD), static_cast<double>(n - start)));
    ArrayObject* removed = vm.newArray();
    std::vector<Value> tail;
    for (std::uint32_t i = start; i < start + count; ++i)
        removed->push(a->get(i));
    for (std::uint32_t i = start + count; i < n; ++i)
        tail.push_back(a->get(i));
    a->setLength(start);
    for (std::size_t i = 2; i < args.size(); ++i)
        a->push(args[i]);
    for (const Value& v : tail)
        a->push(v);
    return Value(removed);
}

Value indexOf(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/indexOf");
    if (!a)
        return Value();
    const std::uint32_t n = a->length();
    const std::uint32_t start = relativeIndex(vm, arg(args, 1), n, 0);
    for (std::uint32_t i = start; i < n; ++i)
        if (vm.strictEquals(a->get(i), arg(args, 0)))
            return Value(static_cast<std::int32_t>(i));
    return Value(-1);
}

Value lastIndexOf(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/lastIndexOf");
    if (!a)
        return Value();
    const std::uint32_t n = a->length();
    if (n == 0)
        return Value(-1);
    double from = has(args, 1) ? vm.toNumber(args[1]) : 0x7fffffff;
    if (std::isnan(from))
        from = 0;
    if (from < 0)
        from += n;
    if (from < 0)
        return Value(-1);
    std::int64_t i =
        static_cast<std::int64_t>(std::min(std::trunc(from), static_cast<double>(n - 1)));
    for (; i >= 0; --i)
        if (vm.strictEquals(a->get(static_cast<std::uint32_t>(i)), arg(args, 0)))
            return Value(static_cast<std::int32_t>(i));
    return Value(-1);
}

enum class Iteration { ForEach, Map, Filter, Some, Every };

Value iterate(Vm& vm, const Value& self, Args args, Iteration kind, const char* name)
{
    ArrayObject* a = array(vm, self, name);
    if (!a)
        return Value();
    Value fn = arg(args, 0);
    Value thisArg = arg(args, 1);
    ArrayObject* out =
        kind == Iteration::Map || kind == Iteration::Filter ? vm.newArray() : nullptr;
    if (fn.isNullish())
        return kind == Iteration::Some    ? Value(false)
               : kind == Iteration::Every ? Value(true)
               : out                      ? Value(out)
                                          : Value();
    if (!vm.isCallable(fn))
        return vm.throwError(ErrorType::TypeError, 1034, {vm.describeForError(fn), u"Function"});
    const std::uint32_t n = a->length();
    for (std::uint32_t i = 0; i < n && i < a->length(); ++i) {
        Value element = a->get(i);
        Value callArgs[3] = {element, Value(static_cast<std::int32_t>(i)), self};
        Value r = vm.call(fn, thisArg, callArgs);
        if (vm.throwing())
            return Value();
        switch (kind) {
        case Iteration::ForEach:
            break;
        case Iteration::Map:
            out->set(i, r);
            break;
        case Iteration::Filter:
            if (Vm::toBoolean(r))
                out->push(element);
            break;
        case Iteration::Some:
            if (Vm::toBoolean(r))
                return Value(true);
            break;
        case Iteration::Every:
            if (!Vm::toBoolean(r))
                return Value(false);
            break;
        }
    }
    if (kind == Iteration::Some)
        return Value(false);
    if (kind == Iteration::Every)
        return Value(true);
    return out ? Value(out) : Value();
}

Value forEach(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::ForEach, "Array/forEach");
}
Value map(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Map, "Array/map");
}
Value filter(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Filter, "Array/filter");
}
Value some(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Some, "Array/some");
}
Value every(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Every, "Array/every");
}

namespace sort_flags {
constexpr std::int32_t kCaseInsensitive = 1;
constexpr std::int32_t kDescending = 2;
constexpr std::int32_t kUniqueSort = 4;
constexpr std::int32_t kReturnIndexedArray = 8;
constexpr std::int32_t kNumeric = 16;
} // namespace sort_flags

// -1, 0, 1 by the flags, or by the comparator when there is one. Undefined sorts last.
int compareElements(Vm& vm, const Value& x, const Value& y, std::int32_t flags,
                    const Value& comparator)
{
    if (x.isUndefined() || y.isUndefined())
        return x.isUndefined() == y.isUndefined() ? 0 : (x.isUndefined() ? 1 : -1);
    if (!comparator.isUndefined()) {
        Value callArgs[2] = {x, y};
        Value r = vm.call(comparator, Value::null(), callArgs);
        const double d = vm.toNumber(r);
        return d < 0 ? -1 : d > 0 ? 1 : 0;
    }
    if (flags & sort_flags::kNumeric) {
        const double a = vm.toNumber(x), b = vm.toNumber(y);
        if (std::isnan(a) || std::isnan(b))
            return std::isnan(a) == std::isnan(b) ? 0 : (std::isnan(a) ? 1 : -1);
        return a < b ? -1 : a > b ? 1 : 0;
    }
    std::u16string a = vm.toText(x), b = vm.toText(y);
    if (flags & sort_flags::kCaseInsensitive) {
        for (auto& c : a)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 32);
        for (auto& c : b)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c + 32);
    }
    return a < b ? -1 : a > b ? 1 : 0;
}

Value sortWith(Vm& vm, ArrayObject* a, const Value& self, const Value& comparator,
               std::int32_t flags)
{
    std::vector<std::uint32_t> order;
    std::vector<Value> values;
    const std::uint32_t n = a->length();
    std::uint32_t holes = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!a->has(i)) {
            ++holes;
            continue;
        }
        order.push_back(static_cast<std::uint32_t>(values.size()));
        values.push_back(a->get(i));
    }
    bool failed = false;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t i, std::uint32_t j) {
        if (failed)
            return false;
        int c = compareElements(vm, values[i], values[j], flags, comparator);
        if (vm.throwing())
            failed = true;
        return (flags & sort_flags::kDescending) ? c > 0 : c < 0;
    });
    if (failed)
        return Value();
    if (flags & sort_flags::kUniqueSort) {
        for (std::size_t i = 1; i < order.size(); ++i)
            if (compareElements(vm, values[order[i - 1]], values[order[i]], flags, comparator) == 0)
                return Value(0);
    }
    if (flags & sort_flags::kReturnIndexedArray) {
        // The original indexes, in sorted order.
        std::vector<std::uint32_t> originalIndex;
        for (std::uint32_t i = 0; i < n; ++i)
            if (a->has(i))
                originalIndex.push_back(i);
        ArrayObject* out = vm.newArray();
        for (std::uint32_t k : order)
            out->push(Value(static_cast<std::int32_t>(originalIndex[k])));
        return Value(out);
    }
    std::uint32_t i = 0;
    for (std::uint32_t k : order)
        a->set(i++, values[k]);
    for (std::uint32_t h = 0; h < holes; ++h)
        a->remove(i++);
    return self;
}

Value sort(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/sort");
    if (!a)
        return Value();
    Value comparator;
    std::int32_t flags = 0;
    std::size_t next = 0;
    if (has(args, 0) && vm.isCallable(args[0])) {
        comparator = args[0];
        next = 1;
    }
    if (has(args, next))
        flags = vm.toInt32(args[next]);
    return sortWith(vm, a, self, comparator, flags);
}

Value sortOn(Vm& vm, const Value& self, Args args)
{
    ArrayObject* a = array(vm, self, "Array/sortOn");
    if (!a)
        return Value();
    Value field = arg(args, 0);
    const std::int32_t flags = has(args, 1) ? vm.toInt32(args[1]) : 0;
    if (field.isObject() && field.asObject()->kind() == ObjectKind::Array) {
        auto* fields = static_cast<ArrayObject*>(field.asObject());
        field = fields->length() ? fields->get(0) : Value();
    }
    Name name = vm.publicName(vm.internValue(vm.toString(field)));
    // Sort a copy of the keys, then place the elements.
    std::vector<std::pair<Value, Value>> items;
    for (std::uint32_t i = 0; i < a->length(); ++i) {
        Value e = a->get(i);
        Value key = e.isObject() ? vm.getProperty(e, name) : Value();
        if (vm.throwing())
            vm.takeException();
        items.emplace_back(key, e);
    }
    std::stable_sort(items.begin(), items.end(), [&](const auto& x, const auto& y) {
        int c = compareElements(vm, x.first, y.first, flags, Value());
        return (flags & sort_flags::kDescending) ? c > 0 : c < 0;
    });
    if (flags & sort_flags::kReturnIndexedArray) {
        ArrayObject* out = vm.newArray();
        for (const auto& item : items)
            for (std::uint32_t i = 0; i < a->length(); ++i)
                if (a->get(i).identical(item.second)) {
                    out->push(Value(static_cast<std::int32_t>(i)));
                    break;
                }
        return Value(out);
    }
    for (std::uint32_t i = 0; i < items.size(); ++i)
        a->set(i, items[i].second);
    return self;
}

} // namespace

void defineArrayClass(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    NativeClassHooks hooks;
    hooks.allocate = allocateArray;
    hooks.construct = constructArray;
    hooks.call = arrayCall;
    b.array = vm.defineClass("", "Array", b.object, true, hooks);
    ClassObject* c = b.array;
    vm.defineGetter(c, "length", getLength, setLength);
    vm.defineMethod(c, "join", join, 1);
    vm.defineMethod(c, "toString", toString, 0, Vm::Member::PrototypeOnly);
    vm.defineMethod(c, "toLocaleString", toString, 0, Vm::Member::PrototypeOnly);
    vm.defineMethod(c, "push", push, 1);
    vm.defineMethod(c, "pop", pop, 0);
    vm.defineMethod(c, "shift", shift, 0);
    vm.defineMethod(c, "unshift", unshift, 1);
    vm.defineMethod(c, "reverse", reverse, 0);
    vm.defineMethod(c, "concat", concat, 1);
    vm.defineMethod(c, "slice", slice, 2);
    vm.defineMethod(c, "splice", splice, 2);
    vm.defineMethod(c, "indexOf", indexOf, 1);
    vm.defineMethod(c, "lastIndexOf", lastIndexOf, 1);
    vm.defineMethod(c, "forEach", forEach, 1);
    vm.defineMethod(c, "map", map, 1);
    vm.defineMethod(c, "filter", filter, 1);
    vm.defineMethod(c, "some", some, 1);
    vm.defineMethod(c, "every", every, 1);
    vm.defineMethod(c, "sort", sort, 0);
    vm.defineMethod(c, "sortOn", sortOn, 2);
    vm.defineConstant(c, "CASEINSENSITIVE", Value(sort_flags::kCaseInsensitive));
    vm.defineConstant(c, "DESCENDING", Value(sort_flags::kDescending));
    vm.defineConstant(c, "UNIQUESORT", Value(sort_flags::kUniqueSort));
    vm.defineConstant(c, "RETURNINDEXEDARRAY", Value(sort_flags::kReturnIndexedArray));
    vm.defineConstant(c, "NUMERIC", Value(sort_flags::kNumeric));
    vm.defineConstant(c, "length", Value(1));
}

} // namespace avm2
