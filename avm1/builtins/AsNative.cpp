// ASnative(category, index), ASconstructor, ASSetNative and ASSetNativeAccessor: the
// reference player's table of native functions by number. Each ASnative call makes a
// new function object running the built-in's code; ids with no built-in here answer
// undefined. The table is filled once every class is installed, from the built-ins'
// own slots.
#include "Builtins.h"
#include "MathFunctions.h"
#include "avm1/Vm.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace avm1 {

namespace {

enum class Holder : std::uint8_t {
    Global,
    ObjectProto,
    ArrayProto,
    ArrayCtor,
    StringProto,
    StringCtor,
    NumberProto,
    NumberCtor,
    BooleanProto,
    BooleanCtor,
    DateProto,
    DateCtor,
    Mouse,
    Key,
    Stage,
};

// Which function of a property: its value, or an accessor's getter or setter.
enum class Part : std::uint8_t { Value, Getter, Setter };

struct Entry {
    std::uint16_t category;
    std::uint16_t index;
    Holder holder;
    const char* name; // null: the holder itself
    Part part = Part::Value;
};

// The ids movies use, as the reference numbers them. Where the reference installs a
// class's methods from consecutive ids, they follow the order they are installed in.
constexpr Entry kEntries[] = {
    {100, 0, Holder::Global, "escape"},
    {100, 1, Holder::Global, "unescape"},
    {100, 2, Holder::Global, "parseInt"},
    {100, 3, Holder::Global, "parseFloat"},
    {101, 0, Holder::ObjectProto, "watch"},
    {101, 1, Holder::ObjectProto, "unwatch"},
    {101, 2, Holder::ObjectProto, "addProperty"},
    {101, 3, Holder::ObjectProto, "valueOf"},
    {101, 4, Holder::ObjectProto, "toString"},
    {101, 5, Holder::ObjectProto, "hasOwnProperty"},
    {101, 6, Holder::ObjectProto, "isPrototypeOf"},
    {101, 7, Holder::ObjectProto, "isPropertyEnumerable"},
    {103, 0, Holder::DateProto, "getFullYear"},
    {103, 1, Holder::DateProto, "getYear"},
    {103, 2, Holder::DateProto, "getMonth"},
    {103, 3, Holder::DateProto, "getDate"},
    {103, 4, Holder::DateProto, "getDay"},
    {103, 5, Holder::DateProto, "getHours"},
    {103, 6, Holder::DateProto, "getMinutes"},
    {103, 7, Holder::DateProto, "getSeconds"},
    {103, 8, Holder::DateProto, "getMilliseconds"},
    {103, 9, Holder::DateProto, "setFullYear"},
    {103, 10, Holder::DateProto, "setMonth"},
    {103, 11, Holder::DateProto, "setDate"},
    {103, 12, Holder::DateProto, "setHours"},
    {103, 13, Holder::DateProto, "setMinutes"},
    {103, 14, Holder::DateProto, "setSeconds"},
    {103, 15, Holder::DateProto, "setMilliseconds"},
    {103, 16, Holder::DateProto, "getTime"},
    {103, 17, Holder::DateProto, "setTime"},
    {103, 18, Holder::DateProto, "getTimezoneOffset"},
    {103, 19, Holder::DateProto, "toString"},
    {103, 20, Holder::DateProto, "setYear"},
    {103, 128, Holder::DateProto, "getUTCFullYear"},
    {103, 129, Holder::DateProto, "getUTCYear"},
    {103, 130, Holder::DateProto, "getUTCMonth"},
    {103, 131, Holder::DateProto, "getUTCDate"},
    {103, 132, Holder::DateProto, "getUTCDay"},
    {103, 133, Holder::DateProto, "getUTCHours"},
    {103, 134, Holder::DateProto, "getUTCMinutes"},
    {103, 135, Holder::DateProto, "getUTCSeconds"},
    {103, 136, Holder::DateProto, "getUTCMilliseconds"},
    {103, 137, Holder::DateProto, "setUTCFullYear"},
    {103, 138, Holder::DateProto, "setUTCMonth"},
    {103, 139, Holder::DateProto, "setUTCDate"},
    {103, 140, Holder::DateProto, "setUTCHours"},
    {103, 141, Holder::DateProto, "setUTCMinutes"},
    {103, 142, Holder::DateProto, "setUTCSeconds"},
    {103, 143, Holder::DateProto, "setUTCMilliseconds"},
    {103, 256, Holder::DateCtor, nullptr},
    {103, 257, Holder::DateCtor, "UTC"},
    {5, 0, Holder::Mouse, "show"},
    {5, 1, Holder::Mouse, "hide"},
    {106, 0, Holder::NumberProto, "valueOf"},
    {106, 1, Holder::NumberProto, "toString"},
    {106, 2, Holder::NumberCtor, nullptr},
    {107, 0, Holder::BooleanProto, "valueOf"},
    {107, 1, Holder::BooleanProto, "toString"},
    {107, 2, Holder::BooleanCtor, nullptr},
    {251, 0, Holder::StringCtor, nullptr},
    {251, 1, Holder::StringProto, "valueOf"},
    {251, 2, Holder::StringProto, "toString"},
    {251, 3, Holder::StringProto, "toUpperCase"},
    {251, 4, Holder::StringProto, "toLowerCase"},
    {251, 5, Holder::StringProto, "charAt"},
    {251, 6, Holder::StringProto, "charCodeAt"},
    {251, 7, Holder::StringProto, "concat"},
    {251, 8, Holder::StringProto, "indexOf"},
    {251, 9, Holder::StringProto, "lastIndexOf"},
    {251, 10, Holder::StringProto, "slice"},
    {251, 11, Holder::StringProto, "substring"},
    {251, 12, Holder::StringProto, "split"},
    {251, 13, Holder::StringProto, "substr"},
    {251, 14, Holder::StringCtor, "fromCharCode"},
    {252, 0, Holder::ArrayCtor, nullptr},
    {252, 1, Holder::ArrayProto, "push"},
    {252, 2, Holder::ArrayProto, "pop"},
    {252, 3, Holder::ArrayProto, "concat"},
    {252, 4, Holder::ArrayProto, "shift"},
    {252, 5, Holder::ArrayProto, "unshift"},
    {252, 6, Holder::ArrayProto, "slice"},
    {252, 7, Holder::ArrayProto, "join"},
    {252, 8, Holder::ArrayProto, "splice"},
    {252, 9, Holder::ArrayProto, "toString"},
    {252, 10, Holder::ArrayProto, "sort"},
    {252, 11, Holder::ArrayProto, "reverse"},
    {252, 12, Holder::ArrayProto, "sortOn"},
    // Stage's properties as ASSetNativeAccessor numbers them: a getter, then a setter.
    {666, 1, Holder::Stage, "scaleMode", Part::Getter},
    {666, 2, Holder::Stage, "scaleMode", Part::Setter},
    {666, 3, Holder::Stage, "align", Part::Getter},
    {666, 4, Holder::Stage, "align", Part::Setter},
    {666, 5, Holder::Stage, "width", Part::Getter},
    {666, 7, Holder::Stage, "height", Part::Getter},
    {800, 0, Holder::Key, "getAscii"},
    {800, 1, Holder::Key, "getCode"},
    {800, 2, Holder::Key, "isDown"},
    {800, 3, Holder::Key, "isToggled"},
};

constexpr std::uint16_t kMathCategory = 200;

std::uint32_t keyOf(std::uint32_t category, std::uint32_t index)
{
    return (category << 16) | index;
}

struct Native {
    NativeFn call = nullptr;
    NativeFn construct = nullptr;
};

// The resolved table, one per VM, reached through the data of the functions that read
// it.
class NativeTable final : public Object {
public:
    NativeTable() : Object(nullptr) { setHasPrototypeProperty(false); }
    ObjectClass objectClass() const override { return ObjectClass::Other; }
    std::unordered_map<std::uint32_t, Native> entries;
};

// The text of "this", with ASCII letters changed: the case functions SWF 5 movies had.
template <bool Upper> Value asciiCase(Vm& vm, const CallArgs& call)
{
    String* text = vm.toString(call.thisValue);
    if (vm.throwing())
        return Value();
    std::string out = text->text();
    for (char& c : out) {
        if (Upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
        else if (!Upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return Value(vm.str(std::move(out)));
}

// An object the global holds, read from its own slot.
Object* globalObject(Vm& vm, std::string_view name)
{
    const Property* p = vm.global()->properties().find(name, CaseRule::Sensitive);
    return p && !p->isAccessor() ? p->value.objectOrNull() : nullptr;
}

Object* holderObject(Vm& vm, Holder holder)
{
    Builtins& b = vm.builtins();
    switch (holder) {
    case Holder::Global:
        return b.global;
    case Holder::ObjectProto:
        return b.objectProto;
    case Holder::NumberProto:
        return b.numberProto;
    case Holder::NumberCtor:
        return b.numberCtor;
    case Holder::BooleanProto:
        return b.booleanProto;
    case Holder::BooleanCtor:
        return b.booleanCtor;
    case Holder::StringProto:
        return b.stringProto;
    case Holder::StringCtor:
        return b.stringCtor;
    case Holder::ArrayProto:
        return b.arrayProto;
    case Holder::ArrayCtor:
        return b.arrayCtor;
    case Holder::Mouse:
        return globalObject(vm, "Mouse");
    case Holder::Key:
        return globalObject(vm, "Key");
    case Holder::Stage:
        return globalObject(vm, "Stage");
    case Holder::DateProto:
        return b.dateProto;
    case Holder::DateCtor:
        if (b.dateProto)
            if (Property* p =
                    b.dateProto->properties().find(vm.names().constructor, CaseRule::Sensitive))
                return p->value.objectOrNull();
        return nullptr;
    }
    return nullptr;
}

// The native behind a built-in as installed, read from its own slot so that nothing
// a script did since (there is none yet) or a getter could interfere.
NativeFunction* installedNative(Vm& vm, const Entry& entry)
{
    Object* holder = holderObject(vm, entry.holder);
    if (!holder)
        return nullptr;
    Object* found = holder;
    if (entry.name) {
        const Property* p =
            holder->properties().find(std::string_view(entry.name), CaseRule::Sensitive);
        if (!p)
            return nullptr;
        switch (entry.part) {
        case Part::Value:
            found = p->isAccessor() ? nullptr : p->value.objectOrNull();
            break;
        case Part::Getter:
            found = p->getter;
            break;
        case Part::Setter:
            found = p->setter;
            break;
        }
    }
    if (!found || !found->isFunction() || !static_cast<Function*>(found)->isNative())
        return nullptr;
    return static_cast<NativeFunction*>(found);
}

NativeTable* tableOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    return self ? static_cast<NativeTable*>(self->data().objectOrNull()) : nullptr;
}

std::optional<Native> lookup(const NativeTable* table, double category, double index)
{
    if (!table || !(category >= 0 && category <= 65535) || !(index >= 0 && index <= 65535))
        return std::nullopt;
    const auto c = static_cast<std::uint32_t>(category);
    const auto i = static_cast<std::uint32_t>(index);
    if (auto it = table->entries.find(keyOf(c, i)); it != table->entries.end())
        return it->second;
    // Every Math id answers a function, NaN for the ones that are not there.
    if (c == kMathCategory)
        return Native{mathNative(static_cast<int>(i)), nullptr};
    return std::nullopt;
}

// Reads the two numbers of an id; false if a conversion threw.
bool idArguments(Vm& vm, const CallArgs& call, double& category, double& index)
{
    category = vm.toInteger(call.arg(0));
    if (vm.throwing())
        return false;
    index = vm.toInteger(call.arg(1));
    return !vm.throwing();
}

// A new function running the native; only ASconstructor's answer new with the
// built-in's own construction, and have a prototype object.
Value makeFunction(Vm& vm, const Native& native, bool asConstructor)
{
    if (!asConstructor)
        return Value(vm.makeNative(native.call));
    NativeFunction* fn = vm.makeNative(native.call, native.construct);
    Object* proto = vm.makeObject();
    fn->defineValue(vm.names().prototype, Value(proto), PropertyFlag::DontEnum, vm.caseRule());
    proto->defineValue(vm.names().constructor, Value(fn), PropertyFlag::DontEnum, vm.caseRule());
    return Value(fn);
}

Value asNative(Vm& vm, const CallArgs& call)
{
    double category = 0;
    double index = 0;
    if (!idArguments(vm, call, category, index))
        return Value();
    const std::optional<Native> native = lookup(tableOf(call), category, index);
    return native ? makeFunction(vm, *native, false) : Value();
}

Value asConstructor(Vm& vm, const CallArgs& call)
{
    double category = 0;
    double index = 0;
    if (!idArguments(vm, call, category, index))
        return Value();
    const std::optional<Native> native = lookup(tableOf(call), category, index);
    return native ? makeFunction(vm, *native, true) : Value();
}

// The comma-separated names of ASSetNative and ASSetNativeAccessor, each with its
// position in the list.
template <typename F> void forEachName(std::string_view list, F&& f)
{
    std::size_t start = 0;
    for (std::size_t position = 0;; ++position) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? list.size() : comma;
        if (end > start)
            f(list.substr(start, end - start), position);
        if (comma == std::string_view::npos)
            return;
        start = comma + 1;
    }
}

struct NameListCall {
    Object* target = nullptr;
    double category = 0;
    String* names = nullptr;
    double first = 0;
};

// (target, category, names, first index): false when the target is no object or a
// conversion threw.
bool nameListArguments(Vm& vm, const CallArgs& call, NameListCall& out)
{
    out.target = call.arg(0).objectOrNull();
    if (!out.target)
        return false;
    out.category = vm.toInteger(call.arg(1));
    if (vm.throwing())
        return false;
    out.names = vm.toString(call.arg(2));
    if (vm.throwing())
        return false;
    out.first = vm.toInteger(call.arg(3));
    return !vm.throwing();
}

// ASSetNative(target, category, "a,b,c", first): target.a is the native first, b the
// next, and so on; an empty name skips an id.
Value asSetNative(Vm& vm, const CallArgs& call)
{
    NameListCall args;
    if (!nameListArguments(vm, call, args))
        return Value();
    const NativeTable* table = tableOf(call);
    forEachName(args.names->view(), [&](std::string_view name, std::size_t position) {
        const std::optional<Native> native =
            lookup(table, args.category, args.first + static_cast<double>(position));
        const Value fn = native ? makeFunction(vm, *native, false) : Value();
        args.target->defineValue(vm.str(name), fn, PropertyFlag::DontEnum, vm.caseRule());
    });
    return Value();
}

// ASSetNativeAccessor(target, category, "a,b", first): each name is a property whose
// getter is the native of its id and whose setter the next one.
Value asSetNativeAccessor(Vm& vm, const CallArgs& call)
{
    NameListCall args;
    if (!nameListArguments(vm, call, args))
        return Value();
    const NativeTable* table = tableOf(call);
    forEachName(args.names->view(), [&](std::string_view name, std::size_t position) {
        const double id = args.first + 2 * static_cast<double>(position);
        const std::optional<Native> getter = lookup(table, args.category, id);
        const std::optional<Native> setter = lookup(table, args.category, id + 1);
        if (!getter)
            return;
        String* key = vm.str(name);
        Property* p = args.target->properties().find(key, vm.caseRule());
        if (!p)
            p = &args.target->properties().append(key);
        p->value = Value();
        p->getter = makeFunction(vm, *getter, false).asObject();
        p->setter = setter ? makeFunction(vm, *setter, false).asObject() : nullptr;
        p->flags = PropertyFlag::DontEnum;
    });
    return Value();
}

} // namespace

void installAsNative(Vm& vm)
{
    auto* table = vm.heap().make<NativeTable>();
    table->entries[keyOf(102, 0)] = {asciiCase<true>, nullptr};
    table->entries[keyOf(102, 1)] = {asciiCase<false>, nullptr};

    Object* global = vm.global();
    vm.defineMethod(global, "ASnative", asNative)->setData(Value(table));
    vm.defineMethod(global, "ASconstructor", asConstructor)->setData(Value(table));
    vm.defineMethod(global, "ASSetNative", asSetNative)->setData(Value(table));
    vm.defineMethod(global, "ASSetNativeAccessor", asSetNativeAccessor)->setData(Value(table));
}

void completeAsNative(Vm& vm)
{
    const Property* p = vm.global()->properties().find("ASnative", CaseRule::Sensitive);
    Object* asNativeFn = p ? p->value.objectOrNull() : nullptr;
    if (!asNativeFn || !asNativeFn->isFunction())
        return;
    auto* table =
        static_cast<NativeTable*>(static_cast<NativeFunction*>(asNativeFn)->data().objectOrNull());
    if (!table)
        return;
    for (const Entry& entry : kEntries) {
        if (NativeFunction* fn = installedNative(vm, entry))
            table->entries[keyOf(entry.category, entry.index)] = {fn->callFn(), fn->constructFn()};
    }
}

} // namespace avm1
