// Array.prototype.sort and sortOn.
//
// The order comes from an insertion sort for up to 32 elements, comparing the new
// element with the first one before walking back from its left neighbour: the number
// of calls a compare function sees, and the order of elements that compare equal, are
// then the reference's. Longer arrays merge sorted runs of that length, which keeps
// equal elements in their order too. Both stay within bounds when a compare function
// contradicts itself.
#include "ArraySort.h"

#include "ArrayElements.h"
#include "avm1/StringUnits.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace avm1 {

namespace {

constexpr std::size_t kInsertionRun = 32;

// One element's sort key for one field: its value, and its text for the comparisons
// that use text (case-folded when the field asks for it).
struct SortKey {
    Value value;
    std::string text;
};

int sign(double d)
{
    return d > 0 ? 1 : d < 0 ? -1 : 0; // NaN compares equal
}

int compareKeys(const SortKey& a, const SortKey& b, int flags)
{
    int c;
    // NUMERIC compares numbers by value; anything else still compares as text, which
    // puts null and strings after every number, as the reference does.
    if ((flags & SortFlag::Numeric) && a.value.isNumber() && b.value.isNumber())
        c = sign(a.value.asNumber() - b.value.asNumber());
    else
        c = a.text.compare(b.text) < 0 ? -1 : a.text == b.text ? 0 : 1;
    return (flags & SortFlag::Descending) ? -c : c;
}

SortKey makeKey(Vm& vm, Value value, int flags)
{
    SortKey key{value, {}};
    String* text = vm.toString(value);
    key.text = (flags & SortFlag::CaseInsensitive)
                   ? toLowerText(text->view(), charUnitsFor(vm.swfVersion()))
                   : text->text();
    return key;
}

// Sorts positions 0..n-1 by `compare` (negative: first before second).
class Sorter {
public:
    template <typename Compare>
    static void sort(std::vector<std::uint32_t>& order, Compare& compare)
    {
        const std::size_t n = order.size();
        for (std::size_t run = 0; run < n; run += kInsertionRun)
            insertionSort(order, run, std::min(n, run + kInsertionRun), compare);
        std::vector<std::uint32_t> merged(n);
        for (std::size_t width = kInsertionRun; width < n; width *= 2) {
            for (std::size_t low = 0; low < n; low += 2 * width)
                merge(order, merged, low, std::min(n, low + width), std::min(n, low + 2 * width),
                      compare);
            order.swap(merged);
        }
    }

private:
    template <typename Compare>
    static void insertionSort(std::vector<std::uint32_t>& a, std::size_t first, std::size_t end,
                              Compare& compare)
    {
        for (std::size_t i = first + 1; i < end; ++i) {
            const std::uint32_t value = a[i];
            std::size_t j = i;
            if (compare(value, a[first]) < 0) {
                for (; j > first; --j)
                    a[j] = a[j - 1];
            } else {
                for (;;) {
                    // The reference walks back unguarded, comparing with the first
                    // element once more; its answer is known, and ignoring it keeps a
                    // self-contradicting compare function within bounds.
                    if (j == first + 1) {
                        compare(value, a[first]);
                        break;
                    }
                    if (compare(value, a[j - 1]) >= 0)
                        break;
                    a[j] = a[j - 1];
                    --j;
                }
            }
            a[j] = value;
        }
    }

    template <typename Compare>
    static void merge(const std::vector<std::uint32_t>& in, std::vector<std::uint32_t>& out,
                      std::size_t low, std::size_t middle, std::size_t end, Compare& compare)
    {
        std::size_t i = low;
        std::size_t j = middle;
        std::size_t k = low;
        while (i < middle && j < end)
            out[k++] = compare(in[j], in[i]) < 0 ? in[j++] : in[i++];
        while (i < middle)
            out[k++] = in[i++];
        while (j < end)
            out[k++] = in[j++];
    }
};

// What sort and sortOn share once the order is known: UNIQUESORT's check (by
// `same`), RETURNINDEXEDARRAY's result, or the elements stored back in their order.
template <typename Same>
Value finish(Vm& vm, ElementTarget& target, const std::vector<Value>& values,
             const std::vector<std::uint32_t>& order, int flags, Same& same)
{
    if (target.failed())
        return Value();
    if (flags & SortFlag::UniqueSort) {
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (same(order[i - 1], order[i]))
                return target.failed() ? Value() : Value(0);
        }
    }
    if (flags & SortFlag::ReturnIndexedArray) {
        ArrayObject* indexes = makeArrayObject(vm, {});
        for (std::uint32_t position : order)
            indexes->push(vm, Value(static_cast<double>(position)));
        return Value(indexes);
    }
    // An Array takes its elements back by assignment, so those that exist keep their
    // place in the enumeration order and an undefined one stays only where an element
    // was. Other objects have each element deleted and assigned afresh, undefined ones
    // left deleted.
    for (std::size_t i = 0; i < order.size() && !target.failed(); ++i) {
        const auto index = static_cast<std::int64_t>(i);
        const Value v = values[order[i]];
        if (target.array()) {
            if (!v.isUndefined() || target.hasOwn(index))
                target.write(index, v);
            continue;
        }
        target.remove(index);
        if (!v.isUndefined())
            target.write(index, v);
    }
    return Value(target.object());
}

template <typename Compare> std::vector<std::uint32_t> sortedOrder(std::size_t n, Compare& compare)
{
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = static_cast<std::uint32_t>(i);
    Sorter::sort(order, compare);
    return order;
}

std::vector<SortKey> makeKeys(Vm& vm, ElementTarget& target, const std::vector<Value>& values,
                              int flags)
{
    std::vector<SortKey> keys;
    keys.reserve(values.size());
    for (const Value& v : values) {
        if (target.failed())
            break;
        keys.push_back(makeKey(vm, v, flags));
    }
    return keys;
}

std::vector<Value> readAll(ElementTarget& target)
{
    std::vector<Value> values;
    values.reserve(static_cast<std::size_t>(target.count()));
    for (std::int64_t i = 0; i < target.count() && !target.failed(); ++i)
        values.push_back(target.read(i));
    return values;
}

// From SWF 7 undefined elements (holes among them) sort after all others, in their
// order, and are never handed to a compare function; before it they sort as "" and
// meet the compare function like any other element. Gives the positions to sort and,
// apart, those that go last.
std::pair<std::vector<std::uint32_t>, std::vector<std::uint32_t>>
splitUndefined(Vm& vm, const std::vector<Value>& values)
{
    std::vector<std::uint32_t> sorted;
    std::vector<std::uint32_t> last;
    sorted.reserve(values.size());
    const bool apart = vm.swfVersion() >= 7;
    for (std::size_t i = 0; i < values.size(); ++i)
        (apart && values[i].isUndefined() ? last : sorted).push_back(static_cast<std::uint32_t>(i));
    return {std::move(sorted), std::move(last)};
}

// With a compare function the reference sorts ascending and reverses the result for
// DESCENDING (equal elements come out reversed too); UNIQUESORT has no effect then.
// The function's answer counts by its sign as a number: booleans give 1 and 0,
// strings their numeric value, NaN and undefined count as equal.
Value sortWithFunction(Vm& vm, ElementTarget& target, Value function, int flags)
{
    const std::vector<Value> values = readAll(target);
    if (target.failed())
        return Value();
    auto compare = [&](std::uint32_t a, std::uint32_t b) {
        if (target.failed())
            return 0;
        const Value args[] = {values[a], values[b]};
        return sign(vm.toNumber(vm.call(function, Value(), args)));
    };
    auto [order, last] = splitUndefined(vm, values);
    Sorter::sort(order, compare);
    if (flags & SortFlag::Descending)
        std::reverse(order.begin(), order.end());
    order.insert(order.end(), last.begin(), last.end());
    auto never = [](std::uint32_t, std::uint32_t) { return false; };
    return finish(vm, target, values, order, flags & ~SortFlag::UniqueSort, never);
}

Value sortWithFlags(Vm& vm, ElementTarget& target, int flags)
{
    const std::vector<Value> values = readAll(target);
    const std::vector<SortKey> keys = makeKeys(vm, target, values, flags);
    if (target.failed())
        return Value();
    auto compare = [&](std::uint32_t a, std::uint32_t b) {
        return compareKeys(keys[a], keys[b], flags);
    };
    auto same = [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) == 0; };
    auto [order, last] = splitUndefined(vm, values);
    Sorter::sort(order, compare);
    // Two undefined elements are equal elements too.
    if ((flags & SortFlag::UniqueSort) && last.size() > 1)
        return Value(0);
    order.insert(order.end(), last.begin(), last.end());
    return finish(vm, target, values, order, flags, same);
}

// The field names of sortOn: one name, or an array of them.
std::vector<String*> fieldNames(Vm& vm, Value fields)
{
    std::vector<String*> names;
    if (ArrayObject* list = asArrayObject(fields)) {
        ElementTarget source(vm, Value(list));
        for (std::int64_t i = 0; i < source.count() && !source.failed(); ++i)
            names.push_back(vm.toString(source.read(i)));
    } else {
        names.push_back(vm.toString(fields));
    }
    return names;
}

// sortOn's options: one number for every field, or with an array of fields an array
// with one per field (an array of another length, or with a single field name, counts
// as no options).
std::vector<int> fieldFlags(Vm& vm, Value fields, Value options, std::size_t fieldCount)
{
    if (ArrayObject* list = asArrayObject(options)) {
        std::vector<int> flags(fieldCount, 0);
        if (asArrayObject(fields) && list->length() == static_cast<std::int32_t>(fieldCount)) {
            ElementTarget source(vm, Value(list));
            for (std::size_t i = 0; i < fieldCount && !source.failed(); ++i)
                flags[i] = vm.toInt32(source.read(static_cast<std::int64_t>(i)));
        }
        return flags;
    }
    return std::vector<int>(fieldCount, options.isUndefined() ? 0 : vm.toInt32(options));
}

} // namespace

Value arraySort(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || !target.withinCap(target.count(), "sort"))
        return Value();
    const Value first = call.arg(0);
    if (Object* fn = first.objectOrNull(); fn && fn->isFunction())
        return sortWithFunction(vm, target, first, vm.toInt32(call.arg(1)));
    // An explicit undefined where the compare function goes sorts nothing.
    if (call.count() > 0 && first.isUndefined())
        return Value();
    return sortWithFlags(vm, target, vm.toInt32(first));
}

Value arraySortOn(Vm& vm, const CallArgs& call)
{
    ElementTarget target(vm, call);
    if (!target.valid() || call.count() == 0 || !target.withinCap(target.count(), "sortOn"))
        return Value();
    const std::vector<String*> names = fieldNames(vm, call.arg(0));
    const std::vector<int> flags = fieldFlags(vm, call.arg(0), call.arg(1), names.size());
    int overall = 0;
    for (int f : flags)
        overall |= f;
    const std::vector<Value> values = readAll(target);
    // keys[element * fields + field]
    std::vector<SortKey> keys;
    keys.reserve(values.size() * names.size());
    for (const Value& v : values) {
        for (std::size_t f = 0; f < names.size(); ++f) {
            if (target.failed())
                return Value();
            const Value field = v.isNullish() ? Value() : vm.getMember(v, names[f]);
            keys.push_back(makeKey(vm, field, flags[f]));
        }
    }
    const std::size_t fields = names.size();
    auto compare = [&](std::uint32_t a, std::uint32_t b) {
        for (std::size_t f = 0; f < fields; ++f) {
            if (const int c = compareKeys(keys[a * fields + f], keys[b * fields + f], flags[f]))
                return c;
        }
        return 0;
    };
    auto same = [&](std::uint32_t a, std::uint32_t b) { return compare(a, b) == 0; };
    const std::vector<std::uint32_t> order = sortedOrder(values.size(), compare);
    return finish(vm, target, values, order, overall, same);
}

} // namespace avm1
