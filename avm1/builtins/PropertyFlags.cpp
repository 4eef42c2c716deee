#include "PropertyFlags.h"

#include "ArrayObject.h"
#include "avm1/Vm.h"

#include <algorithm>
#include <string_view>

namespace avm1 {

void makeReadOnly(Object* object, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names) {
        if (name == "__proto__")
            object->setPrototypeFlags(object->prototypeFlags() | PropertyFlag::ReadOnly);
        else if (Property* p = object->properties().find(name, CaseRule::Sensitive))
            p->flags |= PropertyFlag::ReadOnly;
    }
}

bool versionHides(std::uint16_t flags, int swfVersion)
{
    if (!(flags & PropertyFlag::VersionMask))
        return false;
    // Bits 0x0200, 0x0800 and 0x8000 hide nothing in any version, and from SWF 10 on no
    // bit hides anything; movies older than SWF 5 see what SWF 5 movies see.
    using namespace VersionFlag;
    std::uint16_t hiding = 0;
    if (swfVersion <= 5)
        hiding = SinceSwf6 | SinceSwf7 | SinceSwf8 | SinceSwf9 | SinceSwf10;
    else if (swfVersion == 6)
        hiding = NotInSwf6 | SinceSwf7 | SinceSwf8 | SinceSwf9 | SinceSwf10;
    else if (swfVersion == 7)
        hiding = SinceSwf8 | SinceSwf9 | SinceSwf10;
    else if (swfVersion == 8)
        hiding = SinceSwf9 | SinceSwf10;
    else if (swfVersion == 9)
        hiding = SinceSwf10;
    return (flags & hiding) != 0;
}

namespace {

std::uint16_t flagArgument(Vm& vm, Value value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(vm.toInt32(value)) & 0xFFFFu);
}

struct FlagChange {
    std::uint16_t set;
    std::uint16_t clear;
    std::uint16_t apply(std::uint16_t flags) const
    {
        return static_cast<std::uint16_t>((flags & ~clear) | set);
    }
};

// One named property; hidden ones are found too, so that a script can show them again.
void changeNamed(Vm& vm, Object* target, std::string_view name, const FlagChange& change)
{
    if (name.empty())
        return;
    const CaseRule rule = vm.caseRule();
    if (target->hasPrototypeProperty() && sameKey(name, vm.names().proto->view(), rule)) {
        target->setPrototypeFlags(change.apply(target->prototypeFlags()));
        return;
    }
    if (Property* p = target->properties().find(name, rule))
        p->flags = change.apply(p->flags);
}

void changeAll(Object* target, const FlagChange& change)
{
    target->properties().forEachMutable([&](Property& p) { p.flags = change.apply(p.flags); });
    if (target->hasPrototypeProperty())
        target->setPrototypeFlags(change.apply(target->prototypeFlags()));
}

void changeList(Vm& vm, Object* target, std::string_view list, const FlagChange& change)
{
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? list.size() : comma;
        changeNamed(vm, target, list.substr(start, end - start), change);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
}

} // namespace

Value asSetPropFlags(Vm& vm, const CallArgs& call)
{
    Object* target = call.arg(0).objectOrNull();
    if (!target)
        return Value();
    // The reference converts the flag arguments before it looks at the names.
    FlagChange change{flagArgument(vm, call.arg(2)), 0};
    if (vm.throwing())
        return Value();
    if (call.count() > 3) {
        change.clear = flagArgument(vm, call.arg(3));
        if (vm.throwing())
            return Value();
    }
    const Value names = call.arg(1);
    if (names.isNull()) {
        changeAll(target, change);
        return Value();
    }
    if (ArrayObject* list = asArrayObject(names)) {
        // A sparse array can claim two billion elements; no real name list is near the
        // cap on enumeration.
        const std::int64_t count = std::min<std::int64_t>(
            list->length(), static_cast<std::int64_t>(limits::kMaxEnumerated));
        for (std::int64_t i = 0; i < count && !vm.throwing(); ++i) {
            const Value name = list->get(vm, static_cast<std::uint32_t>(i));
            if (vm.throwing())
                break;
            String* text = vm.toString(name);
            if (vm.throwing())
                break;
            changeNamed(vm, target, text->view(), change);
        }
        return Value();
    }
    String* text = vm.toString(names);
    if (!vm.throwing())
        changeList(vm, target, text->view(), change);
    return Value();
}

} // namespace avm1
