#pragma once

// The desktop's side of a movie's file dialogs: what the engine learns of a file the
// user chose, the filters a dialog shows, and the writing of a downloaded file.
#include "runtime/FileDialog.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>

namespace player {

// The file at `path` as a dialog's answer gives it; nothing when an open dialog could
// not have chosen it (it is no readable file).
std::optional<runtime::ChosenFile> chosenFile(const QString& path, bool mustExist);

// "Images (*.jpg *.png)", one line each, as QFileDialog takes its name filters.
QStringList nameFilters(const std::vector<runtime::FileTypeFilter>& filters);

bool writeChosenFile(const QString& path, std::span<const std::uint8_t> bytes);

} // namespace player
