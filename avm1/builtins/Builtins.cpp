#include "Builtins.h"

#include "avm1/Vm.h"

namespace avm1 {

void installAll(Vm& vm)
{
    installObject(vm);
    installFunction(vm);
    installGlobals(vm);
    installArray(vm);
    installString(vm);
    installNumber(vm);
    installBoolean(vm);
    installMath(vm);
    installDate(vm);
    installError(vm);
    installAsBroadcaster(vm);
    installAsNative(vm);
    installMovieClip(vm);
    installMovieClipLoader(vm);
    installTextFormat(vm);
    installTextField(vm);
    installInputObjects(vm);
    installSelection(vm);
    installSystem(vm);
    installColor(vm);
    installGeom(vm);
    installMediaDevices(vm);
    installContextMenu(vm);
    installTextSnapshot(vm);
    installXmlNode(vm);
    installXml(vm);
    installLoadVars(vm);
}

} // namespace avm1
