#pragma once

// The file dialogs a movie's scripts ask the host for (FileReference.browse and
// download, FileReferenceList.browse) and what the user answered. The engine reads no
// files and shows no windows: the host opens the dialog, and the answer reaches the
// scripts at a later step, as the user gives it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

// One entry of a browse dialog's type list: "Images" with "*.jpg;*.png".
struct FileTypeFilter {
    std::string description;
    std::vector<std::string> patterns;
};

struct FileDialogRequest {
    enum class Kind : std::uint8_t {
        OpenOne,  // FileReference.browse
        OpenMany, // FileReferenceList.browse
        Save,     // FileReference.download: where to put the file
    };
    Kind kind = Kind::OpenOne;
    std::vector<FileTypeFilter> filters; // none: any file
    std::string suggestedName;           // Save only, UTF-8
};

// A file the user chose. `path` is the host's own name for it, which the engine only
// hands back to the host; `name` is the file's name without its folders.
struct ChosenFile {
    std::string path;
    std::string name;
    std::optional<std::uint64_t> size;
    // Milliseconds since 1970-01-01 UTC.
    std::optional<double> creationMs;
    std::optional<double> modificationMs;
};

// No files: the dialog was cancelled.
struct FileDialogAnswer {
    std::vector<ChosenFile> files;
};

} // namespace runtime
