// PrintJob: printing pages of clips. This player has no printer, so start reports that
// the user declined, no page is added, and the page measures stay 0 as they are before
// a job starts.
#include "Builtins.h"
#include "Packages.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

Value constructPrintJob(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

// A page measure of a job that never started.
Value noMeasure(Vm&, const CallArgs&)
{
    return Value(0);
}

} // namespace

void installPrintJob(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("PrintJob", proto, constructPrintJob);
    vm.defineMethods(
        proto, {{"start", returnsFalse}, {"addPage", returnsFalse}, {"send", returnsUndefined}});
    // Read-only and enumerable, in the order for..in lists them backwards.
    for (const char* name : {"paperHeight", "paperWidth", "pageHeight", "pageWidth", "orientation"})
        defineAccessor(vm, proto, name, noMeasure, nullptr, PropertyFlag::DontDelete);
}

} // namespace avm1
