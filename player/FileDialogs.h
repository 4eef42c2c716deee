#pragma once

// The desktop's file dialogs a movie opens (FileReference.browse and download). Each
// opens without blocking the movie, which keeps playing; its answer is collected when
// the engine next asks.
#include "runtime/FileDialog.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>

class QFileDialog;

namespace player {

class FileDialogs {
public:
    // The dialogs sit over `parent`, which may be null.
    explicit FileDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    ~FileDialogs();
    FileDialogs(const FileDialogs&) = delete;
    FileDialogs& operator=(const FileDialogs&) = delete;

    std::uint32_t open(const runtime::FileDialogRequest& request);
    // The answer once given, handed over once; nothing while the dialog is open.
    std::optional<runtime::FileDialogAnswer> answer(std::uint32_t ticket);

private:
    void finished(std::uint32_t ticket, QFileDialog* dialog, bool accepted, bool saving);

    QPointer<QWidget> m_parent;
    std::uint32_t m_lastTicket = 0;
    std::map<std::uint32_t, QPointer<QFileDialog>> m_open;
    std::map<std::uint32_t, runtime::FileDialogAnswer> m_answers;
};

} // namespace player
