#include "Packages.h"

#include "PropertyFlags.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

// A package inside `parent`: the existing object of that name, else a new one.
Object* childPackage(Vm& vm, Object* parent, std::string_view name, std::uint16_t flags)
{
    String* key = vm.str(name);
    // Found whatever the version flags hide: the movie's version does not make two.
    if (Property* p = parent->properties().find(key, vm.caseRule()); p && !p->isAccessor()) {
        if (Object* existing = p->value.objectOrNull())
            return existing;
    }
    Object* package = vm.makeObject();
    parent->defineValue(key, Value(package), flags, vm.caseRule());
    return package;
}

} // namespace

Object* packageObject(Vm& vm, std::string_view dottedName)
{
    Object* package = vm.global();
    bool top = true;
    while (package && !dottedName.empty()) {
        const std::size_t dot = dottedName.find('.');
        const std::string_view name = dottedName.substr(0, dot);
        const std::uint16_t flags =
            top ? PropertyFlag::DontEnum | VersionFlag::SinceSwf8 : PropertyFlag::DontEnum;
        package = childPackage(vm, package, name, flags);
        top = false;
        dottedName =
            dot == std::string_view::npos ? std::string_view() : dottedName.substr(dot + 1);
    }
    return package;
}

NativeFunction* definePackageClass(Vm& vm, Object* package, std::string_view name,
                                   Object* prototype, NativeFn call, NativeFn construct)
{
    NativeFunction* ctor = vm.makeNative(call, construct);
    ctor->defineValue(vm, "prototype", Value(prototype),
                      PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    prototype->defineValue(vm, "constructor", Value(ctor), PropertyFlag::DontEnum);
    package->defineValue(vm, name, Value(ctor), PropertyFlag::DontEnum);
    return ctor;
}

NativeFunction* defineAccessor(Vm& vm, Object* target, std::string_view name, NativeFn get,
                               NativeFn set, std::uint16_t flags)
{
    String* key = vm.str(name);
    Property* p = target->properties().find(key, vm.caseRule());
    if (!p)
        p = &target->properties().append(key);
    NativeFunction* getter = vm.makeNative(get);
    p->value = Value();
    p->getter = getter;
    p->setter = set ? vm.makeNative(set) : nullptr;
    p->flags = flags;
    return getter;
}

} // namespace avm1
