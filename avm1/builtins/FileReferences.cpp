#include "FileReferences.h"

#include "DeferredEvents.h"
#include "Packages.h"
#include "avm1/Limits.h"
#include "avm1/ScriptHost.h"
#include "avm1/Vm.h"

#include <algorithm>

namespace avm1 {

namespace {

void broadcast(Vm& vm, Object* target, const char* event, std::span<const Value> more = {})
{
    std::vector<Value> args{Value(target)};
    args.insert(args.end(), more.begin(), more.end());
    broadcastNow(vm, target, vm.str(event), args);
}

// FileReferenceList's fileList: one FileReference for each file chosen.
void listChosenFiles(Vm& vm, Object* list, const std::vector<runtime::ChosenFile>& files)
{
    const Value fileClass = vm.getMember(packageObject(vm, "flash.net"), vm.str("FileReference"));
    std::vector<Value> entries;
    const std::size_t count = std::min(files.size(), limits::kMaxChosenFiles);
    for (std::size_t i = 0; i < count; ++i) {
        Object* entry = vm.construct(fileClass, {}).objectOrNull();
        if (vm.throwing())
            vm.takeException();
        if (!entry)
            continue;
        ensureFileReferenceState(vm, entry, false).file = files[i];
        entries.push_back(Value(entry));
    }
    vm.setMember(list, vm.str("fileList"), Value(vm.makeArray(entries)));
    if (vm.throwing())
        vm.takeException();
}

void answerDialog(Vm& vm, Object* object, FileReferenceState& state,
                  const runtime::FileDialogAnswer& answer)
{
    state.dialogOpen = false;
    if (answer.files.empty()) {
        broadcast(vm, object, "onCancel");
        return;
    }
    if (state.isList)
        listChosenFiles(vm, object, answer.files);
    else
        state.file = answer.files.front();
    // A download starts once its place is chosen.
    if (state.dialogKind == runtime::FileDialogRequest::Kind::Save)
        state.transfer = FileReferenceState::Transfer::Download;
    broadcast(vm, object, "onSelect");
}

// The player sends nothing over a network: an upload opens and then fails, as the
// reference's does when it cannot reach the server.
void upload(Vm& vm, Object* object)
{
    broadcast(vm, object, "onOpen");
    broadcast(vm, object, "onIOError");
}

// A download copies a file the host serves (one beside the movie) to the chosen place;
// any other address fails, reported in the trace output first as the reference does.
void download(Vm& vm, Object* object, FileReferenceState& state)
{
    ScriptHost* host = vm.host();
    const std::string url = state.url ? state.url->text() : std::string();
    auto bytes = host ? host->fetchFile(url, limits::kMaxLoadedFileBytes)
                      : swf::Result<std::vector<std::uint8_t>>(
                            swf::makeError(swf::ErrorCode::CannotOpen, "no host"));
    if (!bytes || !state.file || !host->writeChosenFile(state.file->path, *bytes)) {
        vm.trace("Error opening URL '" + url + "'");
        broadcast(vm, object, "onIOError");
        return;
    }
    state.file->size = bytes->size();
    broadcast(vm, object, "onOpen");
    const double count = static_cast<double>(bytes->size());
    const Value progress[] = {Value(count), Value(count)};
    broadcast(vm, object, "onProgress", progress);
    broadcast(vm, object, "onComplete");
}

} // namespace

void FileReferenceState::traceChildren(Tracer& tracer)
{
    tracer.mark(url);
}

FileReferenceState* fileReferenceStateOf(Object* object)
{
    return object ? dynamic_cast<FileReferenceState*>(object->nativeState()) : nullptr;
}

FileReferenceState& ensureFileReferenceState(Vm& vm, Object* object, bool isList)
{
    if (FileReferenceState* state = fileReferenceStateOf(object))
        return *state;
    auto* state = vm.heap().make<FileReferenceState>();
    state->isList = isList;
    object->setNativeState(state);
    return *state;
}

bool FileReferences::add(Object* object)
{
    if (std::find(m_waiting.begin(), m_waiting.end(), object) != m_waiting.end())
        return true;
    if (m_waiting.size() >= limits::kMaxWaitingFileReferences)
        return false;
    m_waiting.push_back(object);
    return true;
}

bool FileReferences::step(Vm& vm, Object* object, FileReferenceState& state)
{
    if (state.dialogOpen) {
        ScriptHost* host = vm.host();
        std::optional<runtime::FileDialogAnswer> answer;
        if (state.ticket == 0 || !host)
            answer = runtime::FileDialogAnswer{};
        else
            answer = host->fileDialogAnswer(state.ticket);
        if (!answer)
            return true;
        answerDialog(vm, object, state, *answer);
        return state.dialogOpen || state.transfer != FileReferenceState::Transfer::None;
    }
    const FileReferenceState::Transfer transfer = state.transfer;
    state.transfer = FileReferenceState::Transfer::None;
    if (transfer == FileReferenceState::Transfer::Upload)
        upload(vm, object);
    else if (transfer == FileReferenceState::Transfer::Download)
        download(vm, object, state);
    return state.dialogOpen || state.transfer != FileReferenceState::Transfer::None;
}

void FileReferences::deliver(Vm& vm)
{
    for (int round = 0; round < limits::kMaxFileEventRounds && !m_waiting.empty(); ++round) {
        const std::vector<Object*> batch = m_waiting;
        m_waiting.clear();
        bool progressed = false;
        for (Object* object : batch) {
            FileReferenceState* state = fileReferenceStateOf(object);
            if (!state)
                continue;
            const bool stillOpen = state->dialogOpen;
            if (step(vm, object, *state))
                add(object);
            progressed |= !stillOpen || !state->dialogOpen;
        }
        // Dialogs still open answer at a later step.
        if (!progressed)
            break;
    }
}

bool FileReferences::dialogOpen() const
{
    return std::any_of(m_waiting.begin(), m_waiting.end(), [](Object* object) {
        const FileReferenceState* state = fileReferenceStateOf(object);
        return state && state->dialogOpen;
    });
}

void FileReferences::traceChildren(Tracer& tracer)
{
    for (Object* object : m_waiting)
        tracer.mark(object);
}

FileReferences& fileReferences(Vm& vm)
{
    Cell*& slot = vm.builtins().fileReferences;
    if (!slot) {
        auto* waiting = vm.heap().make<FileReferences>();
        slot = waiting;
        vm.addRoots([waiting](Tracer& tracer) { tracer.mark(waiting); });
    }
    return *static_cast<FileReferences*>(slot);
}

} // namespace avm1
