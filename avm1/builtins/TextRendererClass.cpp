// flash.text.TextRenderer: the settings of the renderer of anti-aliased text. This
// player draws text its own way: the settings are kept for scripts to read back, and
// antialiasing tables are taken and not used.
#include "Builtins.h"
#include "Packages.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

// How many quality levels the advanced renderer has.
constexpr double kMaxLevel = 4;

Value constructTextRenderer(Vm&, const CallArgs&)
{
    return Value();
}

Value takeTable(Vm&, const CallArgs&)
{
    return Value();
}

} // namespace

void installTextRenderer(Vm& vm)
{
    Object* package = packageObject(vm, "flash.text");
    NativeFunction* ctor =
        definePackageClass(vm, package, "TextRenderer", vm.makeObject(), constructTextRenderer);
    vm.defineMethod(ctor, "setAdvancedAntialiasingTable", takeTable, 0);
    ctor->defineValue(vm, "maxLevel", Value(kMaxLevel), PropertyFlag::ReadOnly);
    ctor->defineValue(vm, "displayMode", vm.strValue("default"));
}

} // namespace avm1
