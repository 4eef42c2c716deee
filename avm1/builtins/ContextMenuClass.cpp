// ContextMenu and ContextMenuItem: the menu a clip, button or text field shows on a
// right click. A menu has its onSelect handler, builtInItems (one flag per item the
// player adds: all shown until hidden) and customItems (an array of items); an item has
// a caption, a handler and three flags. Both copy themselves; a menu's copy shares its
// builtInItems object and copies each custom item through that item's own copy().
#include "Builtins.h"
#include "ContextMenus.h"
#include "NativeHelpers.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"
#include "runtime/ContextMenu.h"

namespace avm1 {

namespace {

// The player's own items, in the order the reference adds them (for..in lists them
// the other way round).
constexpr const char* kBuiltInItems[] = {"print", "forward_back", "rewind", "loop",
                                         "play",  "quality",      "zoom",   "save"};

Object* itemFlags(Vm& vm, bool shown)
{
    Object* flags = vm.makeObject();
    for (const char* name : kBuiltInItems)
        flags->defineValue(vm, name, Value(shown));
    return flags;
}

void setMember(Vm& vm, Object* object, std::string_view name, Value value)
{
    if (!vm.throwing())
        vm.setMember(object, vm.str(name), value);
}

Value constructMenu(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    setMember(vm, self, "onSelect", call.arg(0));
    setMember(vm, self, "builtInItems", Value(itemFlags(vm, true)));
    setMember(vm, self, "customItems", Value(vm.makeArray()));
    return Value();
}

// A new menu with this one's handler and built-in flags, and copies of its items.
Value copyMenu(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    const Value menuClass = vm.getMember(vm.global(), vm.str("ContextMenu"));
    const Value handler = vm.getMember(self, vm.str("onSelect"));
    const Value copy = vm.construct(menuClass, std::span<const Value>(&handler, 1));
    Object* out = copy.objectOrNull();
    if (!out || vm.throwing())
        return Value();
    setMember(vm, out, "builtInItems", vm.getMember(self, vm.str("builtInItems")));
    Object* items = vm.makeArray();
    Object* source = vm.getMember(self, vm.str("customItems")).objectOrNull();
    for (const Value& item : elementsOf(vm, source, limits::kMaxDenseArrayLength)) {
        const Value itemCopy = vm.callMethod(item, vm.str("copy"), {});
        if (vm.throwing())
            return Value();
        vm.callMethod(Value(items), vm.str("push"), std::span<const Value>(&itemCopy, 1));
    }
    setMember(vm, out, "customItems", Value(items));
    return copy;
}

Value hideBuiltInItems(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    Object* flags = vm.getMember(self, vm.str("builtInItems")).objectOrNull();
    if (!flags) {
        setMember(vm, self, "builtInItems", Value(itemFlags(vm, false)));
        return Value();
    }
    for (const char* name : kBuiltInItems)
        setMember(vm, flags, name, Value(false));
    return Value();
}

// new ContextMenuItem(caption, onSelect, separatorBefore, enabled, visible): the flags
// default to no separator, enabled and visible.
Value constructItem(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    auto flagArgument = [&](std::size_t i, bool fallback) {
        return call.count() > i ? call.arg(i) : Value(fallback);
    };
    setMember(vm, self, "caption", call.arg(0));
    setMember(vm, self, "onSelect", call.arg(1));
    setMember(vm, self, "separatorBefore", flagArgument(2, false));
    setMember(vm, self, "enabled", flagArgument(3, true));
    setMember(vm, self, "visible", flagArgument(4, true));
    return Value();
}

Value copyItem(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    Value args[5];
    const char* names[] = {"caption", "onSelect", "separatorBefore", "enabled", "visible"};
    for (int i = 0; i < 5; ++i)
        args[i] = vm.getMember(self, vm.str(names[i]));
    if (vm.throwing())
        return Value();
    return vm.construct(vm.getMember(vm.global(), vm.str("ContextMenuItem")), args);
}

// Whether the flag of built-in item `name` leaves it shown: a flag a script removed
// leaves it so.
bool shown(Vm& vm, Object* flags, const char* name)
{
    if (!flags)
        return true;
    const Value flag = vm.getMember(flags, vm.str(name));
    return flag.isUndefined() || vm.toBoolean(flag);
}

} // namespace

void OpenContextMenu::traceChildren(Tracer& tracer)
{
    tracer.mark(owner);
    for (Object* item : items)
        tracer.mark(item);
}

void openContextMenu(Vm& vm, const std::vector<Object*>& ownersInward,
                     runtime::ContextMenuModel& model, OpenContextMenu& open)
{
    open.owner = nullptr;
    open.items.clear();
    // The innermost object that has a menu of its own decides.
    Object* menu = nullptr;
    for (Object* owner : ownersInward) {
        Object* candidate = vm.getMember(owner, vm.str("menu")).objectOrNull();
        if (candidate && !vm.throwing()) {
            menu = candidate;
            open.owner = owner;
            break;
        }
    }
    if (!menu)
        return;
    const Value handlerArgs[] = {Value(open.owner), Value(menu)};
    callHandler(vm, vm.getMember(menu, vm.str("onSelect")), Value(menu), handlerArgs,
                OnException::Ignore);
    Object* flags = vm.getMember(menu, vm.str("builtInItems")).objectOrNull();
    model.zoom = shown(vm, flags, "zoom");
    model.quality = shown(vm, flags, "quality");
    model.play = shown(vm, flags, "play");
    model.loop = shown(vm, flags, "loop");
    model.rewind = shown(vm, flags, "rewind");
    model.forwardBack = shown(vm, flags, "forward_back");
    Object* custom = vm.getMember(menu, vm.str("customItems")).objectOrNull();
    for (const Value& value : elementsOf(vm, custom, limits::kMaxDenseArrayLength)) {
        Object* item = value.objectOrNull();
        if (!item || !vm.toBoolean(vm.getMember(item, vm.str("visible"))))
            continue;
        if (open.items.size() >= limits::kMaxContextMenuItems)
            break;
        runtime::ContextMenuItem shownItem;
        shownItem.caption = vm.toStdString(vm.getMember(item, vm.str("caption")));
        shownItem.enabled = vm.toBoolean(vm.getMember(item, vm.str("enabled")));
        shownItem.separatorBefore = vm.toBoolean(vm.getMember(item, vm.str("separatorBefore")));
        if (vm.throwing())
            vm.takeException();
        model.items.push_back(std::move(shownItem));
        open.items.push_back(item);
    }
}

void chooseContextMenuItem(Vm& vm, OpenContextMenu& open, std::size_t index)
{
    if (index >= open.items.size())
        return;
    Object* item = open.items[index];
    const Value args[] = {Value(open.owner), Value(item)};
    callHandler(vm, vm.getMember(item, vm.str("onSelect")), Value(item), args, OnException::Ignore);
}

void installContextMenu(Vm& vm)
{
    Object* menuProto = vm.makeObject();
    vm.defineClass("ContextMenu", menuProto, constructMenu);
    vm.defineMethods(menuProto, {{"copy", copyMenu}, {"hideBuiltInItems", hideBuiltInItems}});

    Object* itemProto = vm.makeObject();
    vm.defineClass("ContextMenuItem", itemProto, constructItem);
    vm.defineMethod(itemProto, "copy", copyItem);
}

} // namespace avm1
