// Array: the constructor and Array.prototype's methods but sorting (ArraySort.cpp).
// Each method works on any object it is applied to, reading, deleting and assigning
// elements in the order the reference does (see ArrayElements.h).
#include "ArrayElements.h"
#include "ArraySort.h"
#include "Builtins.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <vector>

namespace avm1 {

namespace {

// The start or end argument of slice and splice: negative counts from the end, and
// the result is clamped to [0, length].
std::int64_t relativePosition(Vm& vm, Value argument, std::int64_t length)
{
    const std::int64_t position = vm.toInt32(argument);
    if (position < 0)
        return std::max<std::int64_t>(length + position, 0);
    return std::min(position, length);
}

// Array(), Array(length) and Array(element, ...): one numeric argument is a length.
void fillFromArguments(Vm& vm, ArrayObject* array, const CallArgs& call)
{
    if (call.count() == 1 && call.arg(0).isNumber()) {
        array->setLength(vm, vm.toInt32(call.arg(0)));
        return;
    }
    for (const Value& v : call.args)
        array->push(vm, v);
}

Value constructArray(Vm& vm, const CallArgs& call)
{
    ArrayObject* array = makeArrayObject(vm, {});
    fillFromArguments(vm, array, call);
    return Value(array);
}

// Called as a function, Array makes a new array and leaves "this" alone.
Value callArray(Vm& vm, const CallArgs& call)
{
    return constructArray(vm, call);
}

Value push(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid())
        return Value();
    const std::int64_t start = target.length();
    for (std::size_t i = 0; i < call.count() && !target.failed(); ++i)
        target.write(start + static_cast<std::int64_t>(i), call.args[i]);
    const std::int64_t length = start + static_cast<std::int64_t>(call.count());
    target.writeLength(length);
    return Value(static_cast<double>(target.length()));
}

// pop, shift, unshift and reverse leave the "length" of objects that are not arrays as
// it was: only an Array's own length follows them.
Value pop(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || target.count() == 0)
        return Value();
    const std::int64_t last = target.count() - 1;
    const Value popped = target.read(last);
    target.remove(last);
    if (target.array())
        target.writeLength(last);
    return popped;
}

Value shift(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || target.count() == 0 || !target.withinCap(target.count(), "shift"))
        return Value();
    const std::int64_t count = target.count();
    const Value first = target.read(0);
    for (std::int64_t i = 1; i < count && !target.failed(); ++i)
        target.replace(i - 1, target.read(i));
    if (target.array())
        target.writeLength(count - 1);
    return first;
}

Value unshift(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid())
        return Value();
    const std::int64_t count = target.count();
    const auto added = static_cast<std::int64_t>(call.count());
    if (!target.withinCap(count + added, "unshift"))
        return Value();
    for (std::int64_t i = count - 1; added > 0 && i >= 0 && !target.failed(); --i)
        target.replace(i + added, target.read(i));
    for (std::int64_t i = 0; i < added && !target.failed(); ++i)
        target.replace(i, call.args[static_cast<std::size_t>(i)]);
    if (target.array())
        target.writeLength(count + added);
    return Value(static_cast<double>(count + added));
}

Value reverse(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || !target.withinCap(target.count(), "reverse"))
        return Value();
    for (std::int64_t low = 0, high = target.count() - 1; low < high && !target.failed();
         ++low, --high) {
        const Value lowValue = target.read(low);
        const Value highValue = target.read(high);
        target.replace(low, highValue);
        target.replace(high, lowValue);
    }
    return Value(target.object());
}

// join reads own elements only: values a prototype gives an index do not show, and
// __resolve is never asked. Applied to an object that is not an array it gives "",
// reading nothing.
Value joinElements(Vm& vm, const CallArgs& call, String* separator)
{
    ElementTarget target(vm, call);
    if (!target.valid())
        return Value();
    if (!target.array())
        return Value(vm.names().empty);
    const std::int64_t count = target.count();
    if (!target.withinCap(count, "join"))
        return Value();
    std::string out;
    for (std::int64_t i = 0; i < count && !target.failed(); ++i) {
        if (i > 0)
            out += separator->view();
        out += vm.toString(target.readOwn(i))->view();
        if (out.size() >= limits::kMaxStringBytes)
            break;
    }
    if (target.failed())
        return Value();
    return Value(vm.str(std::move(out)));
}

Value join(Vm& vm, const CallArgs& call)
{
    String* separator = call.arg(0).isUndefined() ? vm.str(",") : vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    return joinElements(vm, call, separator);
}

Value toString(Vm& vm, const CallArgs& call)
{
    return joinElements(vm, call, vm.str(","));
}

Value slice(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid())
        return Value();
    const std::int64_t count = target.count();
    const std::int64_t start = relativePosition(vm, call.arg(0), count);
    const std::int64_t end =
        call.arg(1).isUndefined() ? count : relativePosition(vm, call.arg(1), count);
    if (!target.withinCap(end - start, "slice"))
        return Value();
    ArrayObject* result = makeArrayObject(vm, {});
    for (std::int64_t i = start; i < end && !target.failed(); ++i)
        result->push(vm, target.read(i));
    return Value(result);
}

void appendElements(ElementTarget& source, ArrayObject* result)
{
    for (std::int64_t i = 0; i < source.count() && !source.failed(); ++i)
        result->push(source.vm(), source.read(i));
}

Value concat(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid())
        return Value();
    ArrayObject* result = makeArrayObject(vm, {});
    std::int64_t total = target.count();
    for (const Value& v : call.args)
        total += asArrayObject(v) ? std::max(asArrayObject(v)->length(), 0) : 1;
    if (!target.withinCap(total, "concat"))
        return Value();
    appendElements(target, result);
    for (const Value& v : call.args) {
        if (ArrayObject* array = asArrayObject(v)) {
            ElementTarget source(vm, Value(array));
            appendElements(source, result);
        } else {
            result->push(vm, v);
        }
    }
    return Value(result);
}

// splice rebuilds the whole sequence and assigns every element from 0 on, then the
// length: holes before the cut come back as undefined elements, and an object that is
// not an array keeps the elements past its new length.
Value splice(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || call.count() == 0)
        return Value();
    const std::int64_t count = target.count();
    const std::int64_t start = relativePosition(vm, call.arg(0), count);
    std::int64_t removedCount = count - start;
    if (call.count() >= 2) {
        const std::int64_t asked = vm.toInt32(call.arg(1));
        if (asked < 0)
            return Value();
        removedCount = std::min(asked, removedCount);
    }
    const std::int64_t inserted =
        std::max<std::int64_t>(static_cast<std::int64_t>(call.count()) - 2, 0);
    if (!target.withinCap(count + inserted, "splice"))
        return Value();
    const std::span<const Value> items =
        call.count() > 2 ? call.args.subspan(2) : std::span<const Value>();
    std::vector<Value> elements;
    elements.reserve(static_cast<std::size_t>(count + inserted));
    for (std::int64_t i = 0; i < start && !target.failed(); ++i)
        elements.push_back(target.read(i));
    ArrayObject* removed = makeArrayObject(vm, {});
    for (std::int64_t i = start; i < start + removedCount && !target.failed(); ++i)
        removed->push(vm, target.read(i));
    elements.insert(elements.end(), items.begin(), items.end());
    for (std::int64_t i = start + removedCount; i < count && !target.failed(); ++i)
        elements.push_back(target.read(i));
    for (std::size_t i = 0; i < elements.size() && !target.failed(); ++i)
        target.write(static_cast<std::int64_t>(i), elements[i]);
    if (target.failed())
        return Value();
    target.writeLength(static_cast<std::int64_t>(elements.size()));
    return Value(removed);
}

} // namespace

void installArray(Vm& vm)
{
    using namespace PropertyFlag;
    Object* proto = vm.makeObject();
    // The order the reference declares them in, which for..in shows once ASSetPropFlags
    // reveals them.
    vm.defineMethods(proto,
                     {{"push", push},
                      {"pop", pop},
                      {"concat", concat},
                      {"shift", shift},
                      {"unshift", unshift},
                      {"slice", slice},
                      {"join", join},
                      {"splice", splice},
                      {"toString", toString},
                      {"sort", arraySort},
                      {"reverse", reverse},
                      {"sortOn", arraySortOn}},
                     DontEnum | DontDelete);

    NativeFunction* ctor = vm.defineClass("Array", proto, callArray, constructArray);
    ctor->defineValue(vm, "CASEINSENSITIVE", Value(SortFlag::CaseInsensitive));
    ctor->defineValue(vm, "DESCENDING", Value(SortFlag::Descending));
    ctor->defineValue(vm, "UNIQUESORT", Value(SortFlag::UniqueSort));
    ctor->defineValue(vm, "RETURNINDEXEDARRAY", Value(SortFlag::ReturnIndexedArray));
    ctor->defineValue(vm, "NUMERIC", Value(SortFlag::Numeric));

    vm.builtins().arrayProto = proto;
    vm.builtins().arrayCtor = ctor;
}

} // namespace avm1
