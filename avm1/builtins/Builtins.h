#pragma once

namespace avm1 {

class Object;
class Vm;

// Each installs one built-in class or group of functions on the VM's global object,
// keeping the prototypes the VM needs in Vm::builtins(). installAll calls them in
// dependency order: Object and Function first, as every other prototype descends from
// Object.prototype and every constructor from Function.prototype.
void installAll(Vm& vm);

void installObject(Vm& vm);   // Object, Object.prototype, ASSetPropFlags
void installFunction(Vm& vm); // Function.prototype: call, apply
void installGlobals(Vm& vm);  // isNaN, parseInt, escape, trace, getTimer, setInterval...
void installArray(Vm& vm);    // Array
void installString(Vm& vm);   // String
void installNumber(Vm& vm);   // Number
void installBoolean(Vm& vm);  // Boolean
void installMath(Vm& vm);     // Math
void installDate(Vm& vm);     // Date
void installError(Vm& vm);    // Error
void installAsBroadcaster(Vm& vm);
void installAsNative(Vm& vm);        // ASnative, ASconstructor
void completeAsNative(Vm& vm);       // the numbered natives, once all are in
void installMovieClip(Vm& vm);       // MovieClip's timeline side
void installMovieClipLoader(Vm& vm); // MovieClipLoader, MovieClip's loadMovie (after both)
void installInputObjects(Vm& vm);    // Key, Mouse, Accessibility
void installStage(Vm& vm);           // Stage (after AsBroadcaster)
void installTextFormat(Vm& vm);      // TextFormat
void installTextField(Vm& vm);       // TextField (after AsBroadcaster)
void installStyleSheet(Vm& vm);      // TextField.StyleSheet (after TextField)
void installTextExtent(Vm& vm, Object* textFormatPrototype); // TextFormat.getTextExtent
void installSelection(Vm& vm);                               // Selection: the keyboard focus
void installSystem(Vm& vm);            // System and its capabilities, security, Product, IME
void installColor(Vm& vm);             // Color
void installSound(Vm& vm);             // Sound, stopAllSounds
void installNetStream(Vm& vm);         // NetConnection, NetStream
void installGeom(Vm& vm);              // flash.geom and MovieClip's transform, after MovieClip
void installDisplayPackage(Vm& vm);    // flash.display, flash.filters, attachBitmap; after geom
void installMediaDevices(Vm& vm);      // Camera, Microphone
void installContextMenu(Vm& vm);       // ContextMenu, ContextMenuItem
void installTextSnapshot(Vm& vm);      // TextSnapshot
void installXmlNode(Vm& vm);           // XMLNode
void installXml(Vm& vm);               // XML, after XMLNode
void installLoadVars(Vm& vm);          // LoadVars
void installExternalInterface(Vm& vm); // flash.external.ExternalInterface
void installLocalConnection(Vm& vm);   // LocalConnection
void installButton(Vm& vm);            // Button, after MovieClip
void installTabIndex(Vm& vm);          // clips' and buttons' tabIndex, after Button
void installVideo(Vm& vm);             // Video
void installSharedObject(Vm& vm);      // SharedObject
void installPrintJob(Vm& vm);          // PrintJob
void installXmlSocket(Vm& vm);         // XMLSocket
void installFileReference(Vm& vm);     // flash.net.FileReference, FileReferenceList
void installTextRenderer(Vm& vm);      // flash.text.TextRenderer

} // namespace avm1
