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
    installButton(vm);
    installVideo(vm);
    installTabIndex(vm);
    installTextFormat(vm);
    installTextField(vm);
    installStyleSheet(vm);
    installInputObjects(vm);
    installStage(vm);
    installSelection(vm);
    installSystem(vm);
    installColor(vm);
    installSound(vm);
    installNetStream(vm);
    installGeom(vm);
    installDisplayPackage(vm);
    installMediaDevices(vm);
    installContextMenu(vm);
    installTextSnapshot(vm);
    installXmlNode(vm);
    installXml(vm);
    installLoadVars(vm);
    installExternalInterface(vm);
    installLocalConnection(vm);
    installSharedObject(vm);
    installPrintJob(vm);
    installXmlSocket(vm);
    installFileReference(vm);
    installTextRenderer(vm);
    completeAsNative(vm);
}

} // namespace avm1
