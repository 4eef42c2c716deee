// The `filters` of MovieClip, Button and TextField (SWF 8): reading gives new filter
// objects made from the display object's filters, writing takes a copy of the filters
// of an array's filter objects, so that changing an object afterwards changes nothing
// shown until it is assigned again.
#include "FilterObjects.h"
#include "MovieClipParts.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/ClipObject.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"

namespace avm1 {

namespace {

FilterPrototypes* classesOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    Object* holder = self ? self->data().objectOrNull() : nullptr;
    return holder ? dynamic_cast<FilterPrototypes*>(holder->nativeState()) : nullptr;
}

Value getFilters(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    FilterPrototypes* classes = classesOf(call);
    if (!object || !classes)
        return Value();
    std::vector<Value> items;
    if (const runtime::FilterList& filters = object->filters()) {
        for (const swf::Filter& filter : *filters) {
            FilterKind kind = FilterKind::Blur;
            FilterState::Data data = filterStateFor(filter, kind);
            items.emplace_back(makeFilterObject(vm, *classes, kind, std::move(data)));
        }
    }
    return Value(vm.makeArray(items));
}

Value setFilters(Vm& vm, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    auto filters = std::make_shared<std::vector<swf::Filter>>();
    if (Object* array = call.arg(0).objectOrNull()) {
        for (const Value& item : elementsOf(vm, array, limits::kMaxClipFilters)) {
            if (std::optional<swf::Filter> filter = filterOf(vm, item))
                filters->push_back(std::move(*filter));
        }
    }
    if (vm.throwing())
        return Value();
    object->setFilters(filters->empty() ? nullptr : std::move(filters));
    return Value();
}

} // namespace

void installClipFilters(Vm& vm, FilterPrototypes* classes)
{
    Object* holder = vm.makeObject();
    holder->setNativeState(classes);
    constexpr std::uint16_t flags =
        PropertyFlag::DontEnum | PropertyFlag::DontDelete | VersionFlag::SinceSwf8;
    for (Object* proto : {vm.builtins().movieClipProto, vm.builtins().buttonProto}) {
        if (proto)
            defineAccessor(vm, proto, "filters", getFilters, setFilters, flags)
                ->setData(Value(holder));
    }
    // TextField's installer placed its own accessor, where and as scripts see it from SWF 8
    // (a plain slot before): only its functions change.
    Object* fieldProto = vm.builtins().textFieldProto;
    Property* p =
        fieldProto ? fieldProto->properties().find(vm.str("filters"), vm.caseRule()) : nullptr;
    if (p && p->isAccessor()) {
        NativeFunction* getter = vm.makeNative(getFilters);
        NativeFunction* setter = vm.makeNative(setFilters);
        getter->setData(Value(holder));
        setter->setData(Value(holder));
        p->getter = getter;
        p->setter = setter;
    }
}

} // namespace avm1
