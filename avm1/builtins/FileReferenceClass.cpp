// flash.net.FileReference and FileReferenceList: files the user picks in a dialog, to
// upload or to download into. This player shows no dialogs and opens no network
// connections: a browse or download whose arguments are good starts, and its dialog is
// then cancelled (onCancel, after the step's scripts); nothing is ever selected, so
// there is nothing to upload and the file's properties stay undefined.
#include "Builtins.h"
#include "DeferredEvents.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/Vm.h"

namespace avm1 {

namespace {

constexpr std::uint16_t kMember = PropertyFlag::DontEnum;

// Gives the object its broadcaster methods and an empty listener list.
void makeBroadcaster(Vm& vm, Object* object)
{
    const Value broadcaster = vm.getMember(vm.global(), vm.str("AsBroadcaster"));
    const Value arg(object);
    vm.callMethod(broadcaster, vm.str("initialize"), std::span<const Value>(&arg, 1));
}

Value constructWithListeners(Vm& vm, const CallArgs& call)
{
    if (Object* self = call.thisObject(); self && call.isConstruct)
        makeBroadcaster(vm, self);
    return Value();
}

// One field of a file type filter: an own property (getters included) whose text is
// not empty. A getter that throws makes the filter bad; converting the value to text
// may throw to the caller.
enum class Field { Good, Bad, Threw };

Field filterField(Vm& vm, Object* filter, const char* name, bool required)
{
    String* key = vm.str(name);
    if (!vm.hasOwnProperty(filter, key))
        return required ? Field::Bad : Field::Good;
    const Value value = vm.getMember(filter, key);
    if (vm.throwing()) {
        vm.takeException();
        return Field::Bad;
    }
    if (value.isUndefined())
        return required ? Field::Bad : Field::Good;
    String* text = vm.toString(value);
    if (vm.throwing())
        return Field::Threw;
    return required && text->empty() ? Field::Bad : Field::Good;
}

// browse's type list: none at all, or an array of one or more filters, each an object
// with a description and an extension (and a macType when it has one).
bool validTypeList(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0)
        return true;
    Object* list = call.arg(0).objectOrNull();
    if (!list || list->objectClass() != ObjectClass::Array)
        return false;
    const double length = vm.toNumber(vm.getMember(list, vm.names().length));
    if (vm.throwing() || !(length >= 1))
        return false;
    for (std::uint32_t i = 0; static_cast<double>(i) < length; ++i) {
        if (i >= limits::kMaxArrayMethodElements)
            return false;
        Object* filter = vm.getMember(list, vm.str(std::to_string(i))).objectOrNull();
        if (vm.throwing() || !filter)
            return false;
        for (const auto& [name, required] :
             {std::pair{"description", true}, {"extension", true}, {"macType", false}}) {
            const Field field = filterField(vm, filter, name, required);
            if (field != Field::Good)
                return false;
        }
    }
    return true;
}

// The dialog opens and, there being none to show, is cancelled.
Value openDialog(Vm& vm, Object* self)
{
    if (!self)
        return Value(false);
    return Value(deferBroadcast(vm, self, "onCancel", {Value(self)}));
}

Value browse(Vm& vm, const CallArgs& call)
{
    const bool valid = validTypeList(vm, call);
    if (vm.throwing() || !valid)
        return vm.throwing() ? Value() : Value(false);
    return openDialog(vm, call.thisObject());
}

// download(url[, defaultName]): the save dialog for a file at a url.
Value download(Vm& vm, const CallArgs& call)
{
    if (call.count() == 0 || call.arg(0).isNullish())
        return Value(false);
    String* url = vm.toString(call.arg(0));
    if (vm.throwing() || url->empty())
        return vm.throwing() ? Value() : Value(false);
    return openDialog(vm, call.thisObject());
}

// No file was ever selected to send.
Value upload(Vm&, const CallArgs&)
{
    return Value(false);
}

Value returnsUndefined(Vm&, const CallArgs&)
{
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

} // namespace

void installFileReference(Vm& vm)
{
    Object* package = packageObject(vm, "flash.net");

    Object* fileProto = vm.makeObject();
    definePackageClass(vm, package, "FileReference", fileProto, constructWithListeners);
    makeBroadcaster(vm, fileProto);
    vm.defineMethods(fileProto,
                     {
                         {"browse", browse},
                         {"upload", upload},
                         {"download", download},
                         {"cancel", returnsUndefined},
                         {"convertToPPT", returnsFalse},
                         {"deleteConvertedPPT", returnsFalse},
                     },
                     kMember);

    Object* listProto = vm.makeObject();
    definePackageClass(vm, package, "FileReferenceList", listProto, constructWithListeners);
    makeBroadcaster(vm, listProto);
    vm.defineMethods(listProto, {{"browse", browse}}, kMember);
}

} // namespace avm1
