#pragma once

// What a FileReference or FileReferenceList keeps beyond its properties: the file the
// user chose, the dialog still open and the transfer asked for; and the objects with a
// dialog or transfer in hand, seen to after each step's scripts. That is when the
// host's answers reach the scripts (onSelect or onCancel) and transfers report (onOpen,
// onProgress, onComplete, or onIOError).
#include "avm1/Heap.h"
#include "runtime/FileDialog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace avm1 {

class Object;
class String;
class Vm;

class FileReferenceState final : public Cell {
public:
    enum class Transfer : std::uint8_t { None, Upload, Download };

    bool isList = false;
    std::optional<runtime::ChosenFile> file; // the selection, kept through a cancel
    bool dialogOpen = false;
    std::uint32_t ticket = 0; // 0: the host shows no dialog, which reads as cancelled
    runtime::FileDialogRequest::Kind dialogKind = runtime::FileDialogRequest::Kind::OpenOne;
    Transfer transfer = Transfer::None;
    String* url = nullptr; // of the transfer

    void traceChildren(Tracer& tracer) override;
};

FileReferenceState* fileReferenceStateOf(Object* object);
// The object's state, made on first use.
FileReferenceState& ensureFileReferenceState(Vm& vm, Object* object, bool isList);

class FileReferences final : public Cell {
public:
    // Kept alive while it waits, whatever the scripts drop; false when too many wait.
    bool add(Object* object);
    void deliver(Vm& vm);
    // Whether some object's dialog is still open.
    bool dialogOpen() const;
    void traceChildren(Tracer& tracer) override;

private:
    // Whether the object still waits for something.
    bool step(Vm& vm, Object* object, FileReferenceState& state);

    std::vector<Object*> m_waiting;
};

FileReferences& fileReferences(Vm& vm);

} // namespace avm1
