// Vector.<T> (package __AS3__.vec): the generic class, its application to one element
// type (one class per type, cached on the generic class), and the methods of the
// language reference. int, uint and Number keep native storage; every other type
// keeps values of its class, and Vector.<*> any value.
#include "Native.h"
#include "VectorObject.h"
#include "avm2/Limits.h"
#include "avm2/vm/Loader.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace avm2 {

using namespace native;

namespace {

std::u16string number(std::uint64_t n)
{
    return utf16(std::to_string(n));
}

// int, uint and Number: the element types with their own storage, whose methods take
// and return the element type rather than any value.
bool isNumericType(Vm& vm, const ClassObject* t)
{
    const Builtins& b = vm.builtins();
    return t && (t == b.intClass || t == b.uintClass || t == b.number);
}

VectorObject* vectorOf(Vm& vm, const Value& self, const char* method)
{
    return receiver<VectorObject>(vm, self, ObjectKind::Vector, method);
}

// ArgumentError #1063 when a call passes fewer than `min` or more than `max` arguments,
// as for any declared method.
bool checkArity(Vm& vm, VectorObject* v, const char* method, Args args, std::size_t min,
                std::size_t max)
{
    if (args.size() >= min && args.size() <= max)
        return true;
    ClassObject* cls = v->classObject();
    std::u16string name = cls && cls->qualifiedName ? cls->qualifiedName->text() : u"Vector";
    vm.throwError(ErrorType::ArgumentError, 1063,
                  {name + u"/" + utf16(method) + u"()", number(min), number(args.size())});
    return false;
}

bool refuseFixed(Vm& vm, VectorObject* v)
{
    if (!v->fixed)
        return false;
    vm.throwError(ErrorType::RangeError, 1126);
    return true;
}

// A new, empty vector of the same class as `v`.
VectorObject* sameKind(Vm& vm, VectorObject* v)
{
    ClassObject* cls = v->classObject();
    return newVectorStorage(vm, cls->instanceTraits.get(), cls->instancePrototype, v->elementType);
}

bool checkLength(Vm& vm, double length)
{
    if (length <= limits::kMaxVectorLength)
        return true;
    vm.throwError(ErrorType::Error, 1000);
    return false;
}

// Appends `value` coerced to the element type; false when the coercion threw.
bool append(Vm& vm, VectorObject* v, const Value& value)
{
    const Value element = v->coerceElement(vm, value);
    if (vm.throwing())
        return false;
    if (!checkLength(vm, v->length() + 1.0))
        return false;
    v->resize(v->length() + 1);
    v->put(v->length() - 1, element);
    return true;
}

// A relative index (negative counts from the end), clamped into [0, length].
std::uint32_t relativeIndex(double d, std::uint32_t length)
{
    if (std::isnan(d))
        return 0;
    d = std::trunc(d);
    if (d < 0)
        d = std::max(0.0, length + d);
    return static_cast<std::uint32_t>(std::min(d, static_cast<double>(length)));
}

// Class and construction -----------------------------------------------------------------

Object* allocateVector(Vm& vm, ClassObject& cls)
{
    return newVectorStorage(vm, cls.instanceTraits.get(), cls.instancePrototype, cls.typeParameter);
}

Value constructVector(Vm& vm, const Value& self, Args args)
{
    auto* v = static_cast<VectorObject*>(self.objectOrNull());
    if (!v || v->kind() != ObjectKind::Vector)
        return Value();
    const std::uint32_t length = has(args, 0) ? vm.toUint32(args[0]) : 0;
    if (vm.throwing() || !checkLength(vm, length))
        return Value();
    v->resize(length);
    v->fixed = has(args, 1) && Vm::toBoolean(args[1]);
    return Value();
}

// Vector.<T>(source): the source when it is already of the class, else a new vector of
// the source's elements, each coerced.
Value convertToVector(Vm& vm, const Value& callee, Args args)
{
    if (args.size() != 1)
        return vm.throwError(ErrorType::ArgumentError, 1112, {number(args.size())});
    auto* cls = static_cast<ClassObject*>(callee.asObject());
    const Value& source = args[0];
    if (source.isNullish())
        return Value::null();
    Object* o = source.objectOrNull();
    if (o && o->classObject() == cls)
        return source;
    if (!o || (o->kind() != ObjectKind::Array && o->kind() != ObjectKind::Vector))
        return vm.throwError(ErrorType::TypeError, 1034,
                             {vm.describeForError(source), cls->qualifiedName->text()});
    VectorObject* out =
        newVectorStorage(vm, cls->instanceTraits.get(), cls->instancePrototype, cls->typeParameter);
    if (o->kind() == ObjectKind::Array) {
        auto* a = static_cast<ArrayObject*>(o);
        if (!checkLength(vm, a->length()))
            return Value();
        for (std::uint32_t i = 0; i < a->length(); ++i)
            if (!append(vm, out, a->get(i)))
                return Value();
    } else {
        auto* from = static_cast<VectorObject*>(o);
        for (std::uint32_t i = 0; i < from->length(); ++i)
            if (!append(vm, out, from->at(i)))
                return Value();
    }
    return Value(out);
}

// Properties -----------------------------------------------------------------------------

Value getLength(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/length");
    return v ? Value::fromUint(v->length()) : Value();
}

Value setLength(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/length");
    if (!v || refuseFixed(vm, v))
        return Value();
    const std::uint32_t length = vm.toUint32(arg(args, 0));
    if (!vm.throwing() && checkLength(vm, length))
        v->resize(length);
    return Value();
}

Value getFixed(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/fixed");
    return v ? Value(v->fixed) : Value();
}

Value setFixed(Vm& vm, const Value& self, Args args)
{
    if (VectorObject* v = vectorOf(vm, self, "Vector/fixed"))
        v->fixed = Vm::toBoolean(arg(args, 0));
    return Value();
}

// Methods --------------------------------------------------------------------------------

std::u16string joinElements(Vm& vm, VectorObject* v, std::u16string_view separator)
{
    std::u16string out;
    for (std::uint32_t i = 0; i < v->length(); ++i) {
        if (i)
            out += separator;
        out += vm.toText(v->at(i));
        if (vm.throwing())
            return {};
    }
    return out;
}

Value join(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/join");
    if (!v || !checkArity(vm, v, "join", args, 0, 1))
        return Value();
    const std::u16string separator =
        has(args, 0) && !args[0].isUndefined() ? vm.toText(args[0]) : u",";
    std::u16string out = joinElements(vm, v, separator);
    return vm.throwing() ? Value() : Value(vm.newString(std::move(out)));
}

Value toString(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/toString");
    if (!v)
        return Value();
    std::u16string out = joinElements(vm, v, u",");
    return vm.throwing() ? Value() : Value(vm.newString(std::move(out)));
}

Value toLocaleString(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/toLocaleString");
    if (!v)
        return Value();
    std::u16string out;
    for (std::uint32_t i = 0; i < v->length(); ++i) {
        if (i)
            out += u",";
        const Value e = v->at(i);
        if (e.isNullish())
            continue;
        Value text = vm.callProperty(e, vm.publicName("toLocaleString"), {});
        if (vm.throwing())
            return Value();
        out += vm.toText(text);
    }
    return Value(vm.newString(std::move(out)));
}

Value push(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/push");
    if (!v || refuseFixed(vm, v))
        return Value();
    for (const Value& value : args)
        if (!append(vm, v, value))
            return Value();
    return Value::fromUint(v->length());
}

// What a removal from an empty vector gives: undefined, as the numeric vectors' methods
// return their element type (0, NaN) and the others any value.
Value emptyRemoval(Vm& vm, VectorObject* v)
{
    return isNumericType(vm, v->elementType) ? v->coerceElement(vm, Value()) : Value();
}

Value pop(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/pop");
    if (!v || refuseFixed(vm, v))
        return Value();
    if (v->length() == 0)
        return emptyRemoval(vm, v);
    const Value last = v->at(v->length() - 1);
    v->resize(v->length() - 1);
    return last;
}

Value shift(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/shift");
    if (!v || refuseFixed(vm, v))
        return Value();
    if (v->length() == 0)
        return emptyRemoval(vm, v);
    const Value first = v->at(0);
    v->erase(0, 1);
    return first;
}

Value unshift(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/unshift");
    if (!v || refuseFixed(vm, v))
        return Value();
    std::vector<Value> elements;
    for (const Value& value : args) {
        elements.push_back(v->coerceElement(vm, value));
        if (vm.throwing())
            return Value();
    }
    if (!checkLength(vm, static_cast<double>(v->length()) + static_cast<double>(elements.size())))
        return Value();
    const auto count = static_cast<std::uint32_t>(elements.size());
    v->insertDefaults(0, count);
    for (std::uint32_t i = 0; i < count; ++i)
        v->put(i, elements[i]);
    return Value::fromUint(v->length());
}

Value insertAt(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/insertAt");
    if (!v || !checkArity(vm, v, "insertAt", args, 2, 2) || refuseFixed(vm, v))
        return Value();
    const std::uint32_t index = relativeIndex(vm.toInt32(args[0]), v->length());
    const Value element = v->coerceElement(vm, args[1]);
    if (vm.throwing() || !checkLength(vm, v->length() + 1.0))
        return Value();
    v->insertDefaults(index, 1);
    v->put(index, element);
    return Value();
}

Value removeAt(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/removeAt");
    if (!v || !checkArity(vm, v, "removeAt", args, 1, 1) || refuseFixed(vm, v))
        return Value();
    // A negative index counts from the end and stops at the first element.
    double index = vm.toInt32(args[0]);
    if (index < 0)
        index = std::max(0.0, index + v->length());
    if (index >= v->length())
        return vm.throwError(ErrorType::RangeError, 1125,
                             {vm.toText(args[0]), number(v->length())});
    const auto i = static_cast<std::uint32_t>(index);
    const Value removed = v->at(i);
    v->erase(i, 1);
    return removed;
}

Value reverse(Vm& vm, const Value& self, Args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/reverse");
    if (!v)
        return Value();
    v->reverse();
    return self;
}

// Whether `from`'s elements are all of `into`'s type by their declared type: the same
// numeric type, or a subclass of the element class (any class for Vector.<*>).
bool holdsSubtype(Vm& vm, const VectorObject* from, const VectorObject* into)
{
    if (isNumericType(vm, into->elementType) || isNumericType(vm, from->elementType))
        return into->elementType == from->elementType;
    if (!into->elementType)
        return true;
    return from->elementType && from->elementType->isSubclassOf(into->elementType);
}

Value concat(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/concat");
    if (!v)
        return Value();
    VectorObject* out = sameKind(vm, v);
    for (std::uint32_t i = 0; i < v->length(); ++i)
        if (!append(vm, out, v->at(i)))
            return Value();
    // Movies before version 11 saw the arguments appended last to first.
    const bool reversed = vm.swfVersion() < 11;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const Value& source = args[reversed ? args.size() - 1 - k : k];
        Object* o = source.objectOrNull();
        if (!o || o->kind() != ObjectKind::Vector ||
            !holdsSubtype(vm, static_cast<VectorObject*>(o), v)) {
            ClassObject* cls = v->classObject();
            return vm.throwError(ErrorType::TypeError, 1034,
                                 {vm.describeForError(source), cls->qualifiedName->text()});
        }
        auto* from = static_cast<VectorObject*>(o);
        for (std::uint32_t i = 0; i < from->length(); ++i)
            if (!append(vm, out, from->at(i)))
                return Value();
    }
    return Value(out);
}

Value slice(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/slice");
    if (!v || !checkArity(vm, v, "slice", args, 0, 2))
        return Value();
    const std::uint32_t n = v->length();
    const std::uint32_t start = relativeIndex(has(args, 0) ? vm.toInt32(args[0]) : 0, n);
    const std::uint32_t end = relativeIndex(has(args, 1) ? vm.toInt32(args[1]) : 16777215, n);
    VectorObject* out = sameKind(vm, v);
    if (start < end) {
        out->resize(end - start);
        for (std::uint32_t i = start; i < end; ++i)
            out->put(i - start, v->at(i));
    }
    return Value(out);
}

Value splice(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/splice");
    if (!v || !checkArity(vm, v, "splice", args, 1, static_cast<std::size_t>(-1)))
        return Value();
    const std::uint32_t n = v->length();
    const std::uint32_t start = relativeIndex(vm.toInt32(args[0]), n);
    // A negative count is no huge unsigned count: it names where the removal ends,
    // counted from the end, as slice's end does.
    double wanted = has(args, 1) ? vm.toNumber(args[1]) : 4294967295.0;
    if (std::isnan(wanted))
        wanted = 0;
    if (wanted < 0)
        wanted = std::max(0.0, std::trunc(wanted) + n - start);
    const auto count =
        static_cast<std::uint32_t>(std::min(std::trunc(wanted), static_cast<double>(n - start)));
    std::vector<Value> elements;
    for (std::size_t i = 2; i < args.size(); ++i) {
        elements.push_back(v->coerceElement(vm, args[i]));
        if (vm.throwing())
            return Value();
    }
    // A fixed vector refuses to grow here, but the reference lets splice shrink one.
    if (v->fixed && elements.size() > count)
        return vm.throwError(ErrorType::RangeError, 1126);
    if (!checkLength(vm, static_cast<double>(n) - count + static_cast<double>(elements.size())))
        return Value();
    VectorObject* removed = sameKind(vm, v);
    removed->resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        removed->put(i, v->at(start + i));
    v->erase(start, count);
    const auto added = static_cast<std::uint32_t>(elements.size());
    v->insertDefaults(start, added);
    for (std::uint32_t i = 0; i < added; ++i)
        v->put(start + i, elements[i]);
    return Value(removed);
}

// What indexOf and lastIndexOf look for: the numeric vectors take their element type,
// the others any value as it is (no coercion error for another class).
Value searched(Vm& vm, VectorObject* v, const Value& value)
{
    return isNumericType(vm, v->elementType) ? v->coerceElement(vm, value) : value;
}

Value indexOf(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/indexOf");
    if (!v || !checkArity(vm, v, "indexOf", args, 1, 2))
        return Value();
    const Value wanted = searched(vm, v, args[0]);
    if (vm.throwing())
        return Value();
    const std::uint32_t n = v->length();
    const std::uint32_t start = relativeIndex(has(args, 1) ? vm.toInt32(args[1]) : 0, n);
    for (std::uint32_t i = start; i < n; ++i)
        if (vm.strictEquals(v->at(i), wanted))
            return Value(static_cast<std::int32_t>(i));
    return Value(-1);
}

Value lastIndexOf(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/lastIndexOf");
    if (!v || !checkArity(vm, v, "lastIndexOf", args, 1, 2))
        return Value();
    const Value wanted = searched(vm, v, args[0]);
    if (vm.throwing())
        return Value();
    const std::uint32_t n = v->length();
    if (n == 0)
        return Value(-1);
    double from = has(args, 1) ? vm.toInt32(args[1]) : 0x7fffffff;
    if (from < 0)
        from += n;
    if (from < 0)
        return Value(-1);
    for (auto i = static_cast<std::int64_t>(std::min(from, n - 1.0)); i >= 0; --i)
        if (vm.strictEquals(v->at(static_cast<std::uint32_t>(i)), wanted))
            return Value(static_cast<std::int32_t>(i));
    return Value(-1);
}

enum class Iteration { ForEach, Map, Filter, Some, Every };

Value iterate(Vm& vm, const Value& self, Args args, Iteration kind, const char* name,
              const char* method)
{
    VectorObject* v = vectorOf(vm, self, name);
    if (!v || !checkArity(vm, v, method, args, 1, 2))
        return Value();
    const Value fn = args[0];
    const Value thisArg = arg(args, 1);
    if (!fn.isNullish() && !vm.isCallable(fn))
        return vm.throwError(ErrorType::TypeError, 1034, {vm.describeForError(fn), u"Function"});
    VectorObject* out =
        kind == Iteration::Map || kind == Iteration::Filter ? sameKind(vm, v) : nullptr;
    // Without a callback nothing is called: every element passes every() and fails
    // some() and filter(), and map() gives the element type's defaults.
    if (fn.isNullish()) {
        if (kind == Iteration::Map)
            out->resize(v->length());
        return kind == Iteration::Some    ? Value(false)
               : kind == Iteration::Every ? Value(true)
               : out                      ? Value(out)
                                          : Value();
    }
    for (std::uint32_t i = 0; i < v->length(); ++i) {
        const Value element = v->at(i);
        Value callArgs[3] = {element, Value(static_cast<std::int32_t>(i)), self};
        const Value r = vm.call(fn, thisArg.isNullish() ? Value::null() : thisArg, callArgs);
        if (vm.throwing())
            return Value();
        switch (kind) {
        case Iteration::ForEach:
            break;
        case Iteration::Map:
            if (!append(vm, out, r))
                return Value();
            break;
        case Iteration::Filter:
            if (Vm::toBoolean(r) && !append(vm, out, element))
                return Value();
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
    return iterate(vm, self, args, Iteration::ForEach, "Vector/forEach", "forEach");
}
Value map(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Map, "Vector/map", "map");
}
Value filter(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Filter, "Vector/filter", "filter");
}
Value some(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Some, "Vector/some", "some");
}
Value every(Vm& vm, const Value& self, Args args)
{
    return iterate(vm, self, args, Iteration::Every, "Vector/every", "every");
}

// Array's sort options, which sort() takes as a number.
namespace sort_options {
constexpr std::int32_t kCaseInsensitive = 1;
constexpr std::int32_t kDescending = 2;
constexpr std::int32_t kUniqueSort = 4;
constexpr std::int32_t kReturnIndexedArray = 8;
constexpr std::int32_t kNumeric = 16;
} // namespace sort_options

int compareByOptions(Vm& vm, const Value& x, const Value& y, std::int32_t options)
{
    if (options & sort_options::kNumeric) {
        const double a = vm.toNumber(x), b = vm.toNumber(y);
        if (std::isnan(a) || std::isnan(b))
            return std::isnan(a) == std::isnan(b) ? 0 : (std::isnan(a) ? 1 : -1);
        return a < b ? -1 : a > b ? 1 : 0;
    }
    std::u16string a = vm.toText(x), b = vm.toText(y);
    if (options & sort_options::kCaseInsensitive) {
        for (std::u16string* s : {&a, &b})
            for (auto& c : *s)
                if (c >= u'A' && c <= u'Z')
                    c = static_cast<char16_t>(c + 32);
    }
    return a < b ? -1 : a > b ? 1 : 0;
}

Value sort(Vm& vm, const Value& self, Args args)
{
    VectorObject* v = vectorOf(vm, self, "Vector/sort");
    if (!v || !checkArity(vm, v, "sort", args, 0, 1))
        return Value();
    const Value behaviour = arg(args, 0);
    const bool byFunction = vm.isCallable(behaviour);
    const std::int32_t options = byFunction || behaviour.isNullish() ? 0 : vm.toInt32(behaviour);
    std::vector<Value> values;
    values.reserve(v->length());
    for (std::uint32_t i = 0; i < v->length(); ++i)
        values.push_back(v->at(i));
    bool failed = false;
    std::stable_sort(values.begin(), values.end(), [&](const Value& x, const Value& y) {
        if (failed)
            return false;
        int c = 0;
        if (byFunction) {
            Value callArgs[2] = {x, y};
            const double d = vm.toNumber(vm.call(behaviour, Value::null(), callArgs));
            c = d < 0 ? -1 : d > 0 ? 1 : 0;
        } else {
            c = compareByOptions(vm, x, y, options);
        }
        if (vm.throwing())
            failed = true;
        return (options & sort_options::kDescending) ? c > 0 : c < 0;
    });
    if (failed)
        return Value();
    // The reference leaves the vector as it was when asked for indexes, and when a
    // unique sort finds two equal elements.
    if (options & sort_options::kReturnIndexedArray)
        return self;
    if ((options & sort_options::kUniqueSort) && !byFunction) {
        for (std::size_t i = 1; i < values.size(); ++i) {
            const int c = compareByOptions(vm, values[i - 1], values[i], options);
            if (vm.throwing())
                return Value();
            if (c == 0)
                return self;
        }
    }
    for (std::uint32_t i = 0; i < values.size() && i < v->length(); ++i)
        v->put(i, values[i]);
    return self;
}

// Setup ----------------------------------------------------------------------------------

void defineMembers(Vm& vm, ClassObject* c)
{
    vm.defineGetter(c, "length", getLength, setLength);
    vm.defineGetter(c, "fixed", getFixed, setFixed);
    vm.defineMethod(c, "concat", concat, 0);
    vm.defineMethod(c, "every", every, 1);
    vm.defineMethod(c, "filter", filter, 1);
    vm.defineMethod(c, "forEach", forEach, 1);
    vm.defineMethod(c, "indexOf", indexOf, 1);
    vm.defineMethod(c, "join", join, 0);
    vm.defineMethod(c, "lastIndexOf", lastIndexOf, 1);
    vm.defineMethod(c, "map", map, 1);
    vm.defineMethod(c, "pop", pop, 0);
    vm.defineMethod(c, "push", push, 0);
    vm.defineMethod(c, "reverse", reverse, 0);
    vm.defineMethod(c, "shift", shift, 0);
    vm.defineMethod(c, "slice", slice, 0);
    vm.defineMethod(c, "some", some, 1);
    vm.defineMethod(c, "sort", sort, 1);
    vm.defineMethod(c, "splice", splice, 2);
    vm.defineMethod(c, "unshift", unshift, 0);
    vm.defineMethod(c, "insertAt", insertAt, 2);
    vm.defineMethod(c, "removeAt", removeAt, 1);
    vm.defineMethod(c, "toString", toString, 0, Vm::Member::PrototypeOnly);
    vm.defineMethod(c, "toLocaleString", toLocaleString, 0, Vm::Member::PrototypeOnly);
    vm.defineConstant(c, "length", Value(1));
}

// Gives an applied class its name: "__AS3__.vec::Vector.<flash.display::Sprite>".
void nameApplied(Vm& vm, ClassObject* cls, ClassObject* elementType)
{
    const std::u16string typeName = elementType && elementType->qualifiedName
                                        ? elementType->qualifiedName->text()
                                        : std::u16string(u"*");
    const std::u16string local = u"Vector.<" + typeName + u">";
    cls->localName = vm.intern(local);
    cls->qualifiedName = vm.intern(u"__AS3__.vec::" + local);
    cls->instanceTraits->name = cls->qualifiedName;
    cls->ownClassTraits->name = vm.intern(u"__AS3__.vec::" + local + u"$");
    cls->typeParameter = elementType;
}

ClassObject* defineStorageClass(Vm& vm, std::string_view name, ClassObject* elementType)
{
    NativeClassHooks hooks;
    hooks.allocate = allocateVector;
    hooks.construct = constructVector;
    hooks.call = convertToVector;
    ClassObject* cls =
        vm.defineClass("__AS3__.vec", name, vm.builtins().object, false, hooks, true);
    // The storage classes are internal to their package as well as public in it.
    ScriptEnv& builtins = vm.builtinScript();
    String* local = vm.intern(name);
    const Namespace* internal =
        vm.internNamespace(NsKind::PackageInternal, vm.intern("__AS3__.vec"));
    if (const Binding* b = builtins.traits->findQualified(local, cls->ns)) {
        const Binding binding = *b;
        builtins.traits->add(local, internal, binding);
        vm.addDefinition(local, internal, &builtins);
    }
    nameApplied(vm, cls, elementType);
    defineMembers(vm, cls);
    return cls;
}

// Vector.<T> for a class T other than int, uint and Number: Vector.<*>'s members, its
// own prototype and name. It counts as a Vector.<*>, never as another Vector.<U>.
ClassObject* applyToClass(Vm& vm, ClassObject* elementType)
{
    ClassObject* base = vm.builtins().vectorObject;
    auto instance = std::make_unique<Traits>(*base->instanceTraits);
    instance->base = base->instanceTraits.get();
    auto classTraits = std::make_unique<Traits>(*base->ownClassTraits);
    Object* prototype =
        vm.make<Object>(vm.builtins().object->instanceTraits.get(), base->instancePrototype);
    ClassObject* cls =
        vm.makeClassObject(std::move(classTraits), std::move(instance), base, prototype);
    cls->instanceTraits->owner = cls;
    cls->ns = base->ns;
    cls->hooks = base->hooks;
    nameApplied(vm, cls, elementType);
    cls->initializer = vm.newNativeMethod("Vector", constructVector, 0);
    cls->initializer->declaringClass = cls;
    prototype->dynamic().set(vm.names.constructor, Value(cls));
    prototype->dynamic().setEnumerable(vm.names.constructor, false);
    return cls;
}

} // namespace

Value applyType(Vm& vm, const Value& base, std::span<const Value> params)
{
    if (!base.isObject() || base.asObject()->kind() != ObjectKind::Class)
        return vm.throwError(ErrorType::TypeError, 1127);
    auto* generic = static_cast<ClassObject*>(base.asObject());
    if (!generic->isGenericVector)
        return vm.throwError(ErrorType::TypeError, 1127);
    if (params.size() != 1)
        return vm.throwError(ErrorType::TypeError, 1128,
                             {u"__AS3__.vec::Vector", u"1", number(params.size())});
    const Value& param = params[0];
    const Builtins& b = vm.builtins();
    if (param.isNullish())
        return Value(b.vectorObject);
    if (!param.isObject() || param.asObject()->kind() != ObjectKind::Class)
        return vm.throwError(ErrorType::TypeError, 1127);
    auto* type = static_cast<ClassObject*>(param.asObject());
    if (type == b.intClass)
        return Value(b.vectorInt);
    if (type == b.uintClass)
        return Value(b.vectorUint);
    if (type == b.number)
        return Value(b.vectorDouble);
    auto found = generic->applied.find(type);
    if (found != generic->applied.end())
        return Value(found->second);
    ClassObject* cls = applyToClass(vm, type);
    generic->applied.emplace(type, cls);
    return Value(cls);
}

void defineVectorClasses(Vm& vm)
{
    Builtins& b = vm.builtinsForSetup();
    b.vector = vm.defineClass("__AS3__.vec", "Vector", b.object, false);
    b.vector->isGenericVector = true;
    b.vectorInt = defineStorageClass(vm, "Vector$int", b.intClass);
    b.vectorUint = defineStorageClass(vm, "Vector$uint", b.uintClass);
    b.vectorDouble = defineStorageClass(vm, "Vector$double", b.number);
    b.vectorObject = defineStorageClass(vm, "Vector$object", nullptr);
}

} // namespace avm2
