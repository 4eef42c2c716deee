// flash.net.FileReference and FileReferenceList: files the user picks in a dialog, to
// upload or to download into. The host shows the dialog (runtime/FileDialog.h) and its
// answer reaches the scripts after a step's scripts (FileReferences.h). The player sends
// nothing over a network: uploads fail once open, and downloads copy only the files the
// host serves.
#include "Builtins.h"
#include "FileReferences.h"
#include "Packages.h"
#include "PropertyFlags.h"
#include "avm1/ScriptHost.h"
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

void construct(Vm& vm, const CallArgs& call, bool isList)
{
    Object* self = call.thisObject();
    if (!self || !call.isConstruct)
        return;
    makeBroadcaster(vm, self);
    ensureFileReferenceState(vm, self, isList);
}

Value constructFile(Vm& vm, const CallArgs& call)
{
    construct(vm, call, false);
    return Value();
}

Value constructList(Vm& vm, const CallArgs& call)
{
    construct(vm, call, true);
    return Value();
}

// One field of a file type filter: an own property (getters included) whose text is
// not empty. A getter that throws makes the filter bad; converting the value to text
// may throw to the caller.
enum class Field { Good, Bad, Threw };

Field filterField(Vm& vm, Object* filter, const char* name, bool required, std::string& text)
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
    String* converted = vm.toString(value);
    if (vm.throwing())
        return Field::Threw;
    text = converted->text();
    return required && text.empty() ? Field::Bad : Field::Good;
}

// "*.jpg; *.png" as its patterns.
std::vector<std::string> patterns(const std::string& extensions)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= extensions.size()) {
        std::size_t end = extensions.find(';', start);
        if (end == std::string::npos)
            end = extensions.size();
        std::string one = extensions.substr(start, end - start);
        one.erase(0, one.find_first_not_of(' '));
        one.erase(one.find_last_not_of(' ') + 1);
        if (!one.empty())
            out.push_back(std::move(one));
        start = end + 1;
    }
    return out;
}

// browse's type list: none at all, or an array of one or more filters, each an object
// with a description and an extension (and a macType when it has one). Nothing when it
// is not one.
std::optional<std::vector<runtime::FileTypeFilter>> typeList(Vm& vm, const CallArgs& call)
{
    std::vector<runtime::FileTypeFilter> filters;
    if (call.count() == 0)
        return filters;
    Object* list = call.arg(0).objectOrNull();
    if (!list || list->objectClass() != ObjectClass::Array)
        return std::nullopt;
    const double length = vm.toNumber(vm.getMember(list, vm.names().length));
    if (vm.throwing() || !(length >= 1))
        return std::nullopt;
    for (std::uint32_t i = 0; static_cast<double>(i) < length; ++i) {
        if (i >= limits::kMaxArrayMethodElements)
            return std::nullopt;
        Object* filter = vm.getMember(list, vm.str(std::to_string(i))).objectOrNull();
        if (vm.throwing() || !filter)
            return std::nullopt;
        std::string description, extension, macType;
        for (const auto& [name, required, text] : {std::tuple{"description", true, &description},
                                                   {"extension", true, &extension},
                                                   {"macType", false, &macType}}) {
            if (filterField(vm, filter, name, required, *text) != Field::Good)
                return std::nullopt;
        }
        filters.push_back({std::move(description), patterns(extension)});
    }
    return filters;
}

// One dialog at a time, as the reference allows.
bool openDialog(Vm& vm, Object* self, FileReferenceState& state,
                const runtime::FileDialogRequest& request)
{
    FileReferences& waiting = fileReferences(vm);
    if (waiting.dialogOpen() || !waiting.add(self))
        return false;
    state.dialogOpen = true;
    state.dialogKind = request.kind;
    state.ticket = vm.host() ? vm.host()->openFileDialog(request) : 0;
    return true;
}

Value browse(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    FileReferenceState* state = fileReferenceStateOf(self);
    auto filters = typeList(vm, call);
    if (vm.throwing())
        return Value();
    if (!filters || !state)
        return Value(false);
    runtime::FileDialogRequest request;
    request.kind = state->isList ? runtime::FileDialogRequest::Kind::OpenMany
                                 : runtime::FileDialogRequest::Kind::OpenOne;
    request.filters = std::move(*filters);
    return Value(openDialog(vm, self, *state, request));
}

// The address's last part, without its query: the name a save dialog suggests.
std::string nameInUrl(std::string_view url)
{
    url = url.substr(0, url.find_first_of("?#"));
    const std::size_t slash = url.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? url : url.substr(slash + 1));
}

// download(url[, defaultName]): the save dialog for a file at a url.
Value download(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    FileReferenceState* state = fileReferenceStateOf(self);
    if (call.count() == 0 || call.arg(0).isNullish())
        return Value(false);
    String* url = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    std::string suggested;
    if (call.count() > 1 && !call.arg(1).isNullish()) {
        suggested = vm.toString(call.arg(1))->text();
        if (vm.throwing())
            return Value();
    }
    if (url->empty() || !state || state->isList)
        return Value(false);
    runtime::FileDialogRequest request;
    request.kind = runtime::FileDialogRequest::Kind::Save;
    request.suggestedName = suggested.empty() ? nameInUrl(url->view()) : suggested;
    if (!openDialog(vm, self, *state, request))
        return Value(false);
    state->url = url;
    return Value(true);
}

// upload(url[, uploadDataFieldName, testUpload]): sends the chosen file.
Value upload(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    FileReferenceState* state = fileReferenceStateOf(self);
    if (call.count() == 0 || call.arg(0).isNullish())
        return Value(false);
    String* url = vm.toString(call.arg(0));
    if (vm.throwing())
        return Value();
    if (url->empty() || !state || !state->file || state->dialogOpen ||
        state->transfer != FileReferenceState::Transfer::None || !fileReferences(vm).add(self))
        return Value(false);
    state->transfer = FileReferenceState::Transfer::Upload;
    state->url = url;
    return Value(true);
}

// Stops the upload or download asked for: nothing more is heard of it.
Value cancel(Vm&, const CallArgs& call)
{
    if (FileReferenceState* state = fileReferenceStateOf(call.thisObject()))
        state->transfer = FileReferenceState::Transfer::None;
    return Value();
}

Value returnsFalse(Vm&, const CallArgs&)
{
    return Value(false);
}

const runtime::ChosenFile* chosen(const CallArgs& call)
{
    FileReferenceState* state = fileReferenceStateOf(call.thisObject());
    return state && state->file ? &*state->file : nullptr;
}

Value getName(Vm& vm, const CallArgs& call)
{
    const runtime::ChosenFile* file = chosen(call);
    return file ? vm.strValue(file->name) : Value();
}

// The name's extension with its dot; none without one.
Value getType(Vm& vm, const CallArgs& call)
{
    const runtime::ChosenFile* file = chosen(call);
    const std::size_t dot = file ? file->name.rfind('.') : std::string::npos;
    return dot == std::string::npos ? Value() : vm.strValue(file->name.substr(dot));
}

Value getSize(Vm&, const CallArgs& call)
{
    const runtime::ChosenFile* file = chosen(call);
    return file && file->size ? Value(static_cast<double>(*file->size)) : Value();
}

Value date(Vm& vm, const std::optional<double>& ms)
{
    if (!ms)
        return Value();
    const Value ctor = vm.getMember(vm.global(), vm.str("Date"));
    const Value time(*ms);
    const Value made = vm.construct(ctor, std::span<const Value>(&time, 1));
    return vm.throwing() ? Value() : made;
}

Value getCreationDate(Vm& vm, const CallArgs& call)
{
    const runtime::ChosenFile* file = chosen(call);
    return file ? date(vm, file->creationMs) : Value();
}

Value getModificationDate(Vm& vm, const CallArgs& call)
{
    const runtime::ChosenFile* file = chosen(call);
    return file ? date(vm, file->modificationMs) : Value();
}

// The Macintosh creator code, which files elsewhere do not have.
Value getCreator(Vm&, const CallArgs&)
{
    return Value();
}

} // namespace

void installFileReference(Vm& vm)
{
    Object* package = packageObject(vm, "flash.net");

    Object* fileProto = vm.makeObject();
    definePackageClass(vm, package, "FileReference", fileProto, constructFile);
    makeBroadcaster(vm, fileProto);
    vm.defineMethods(fileProto,
                     {
                         {"browse", browse},
                         {"upload", upload},
                         {"download", download},
                         {"cancel", cancel},
                         {"convertToPPT", returnsFalse},
                         {"deleteConvertedPPT", returnsFalse},
                     },
                     kMember);
    for (const auto& [name, get] : {std::pair<const char*, NativeFn>{"name", getName},
                                    {"type", getType},
                                    {"size", getSize},
                                    {"creator", getCreator},
                                    {"creationDate", getCreationDate},
                                    {"modificationDate", getModificationDate}})
        defineAccessor(vm, fileProto, name, get, nullptr);

    Object* listProto = vm.makeObject();
    definePackageClass(vm, package, "FileReferenceList", listProto, constructList);
    makeBroadcaster(vm, listProto);
    vm.defineMethods(listProto, {{"browse", browse}}, kMember);
}

} // namespace avm1
