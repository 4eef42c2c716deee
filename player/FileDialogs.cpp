#include "FileDialogs.h"

#include "ChosenFiles.h"

#include <QFileDialog>

namespace player {

FileDialogs::~FileDialogs()
{
    // A dialog left open answers no one once the movie is gone.
    const auto open = std::move(m_open);
    for (const auto& [ticket, dialog] : open) {
        if (!dialog)
            continue;
        QObject::disconnect(dialog.data(), nullptr, nullptr, nullptr);
        delete dialog.data();
    }
}

std::uint32_t FileDialogs::open(const runtime::FileDialogRequest& request)
{
    using Kind = runtime::FileDialogRequest::Kind;
    auto* dialog = new QFileDialog(m_parent.data());
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    const bool saving = request.kind == Kind::Save;
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(saving                           ? QFileDialog::AnyFile
                        : request.kind == Kind::OpenMany ? QFileDialog::ExistingFiles
                                                         : QFileDialog::ExistingFile);
    if (saving)
        dialog->selectFile(QString::fromStdString(request.suggestedName));
    if (!request.filters.empty())
        dialog->setNameFilters(nameFilters(request.filters));
    const std::uint32_t ticket = ++m_lastTicket;
    m_open[ticket] = dialog;
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [this, ticket, dialog, saving](int result) {
                         finished(ticket, dialog, result == QDialog::Accepted, saving);
                     });
    dialog->open();
    return ticket;
}

void FileDialogs::finished(std::uint32_t ticket, QFileDialog* dialog, bool accepted, bool saving)
{
    runtime::FileDialogAnswer answer;
    if (accepted) {
        for (const QString& path : dialog->selectedFiles()) {
            if (auto file = chosenFile(path, !saving))
                answer.files.push_back(std::move(*file));
        }
    }
    m_answers[ticket] = std::move(answer);
    m_open.erase(ticket);
    dialog->deleteLater();
}

std::optional<runtime::FileDialogAnswer> FileDialogs::answer(std::uint32_t ticket)
{
    const auto found = m_answers.find(ticket);
    if (found == m_answers.end()) {
        // A dialog that vanished without finishing was cancelled.
        if (m_open.count(ticket) && m_open[ticket])
            return std::nullopt;
        m_open.erase(ticket);
        return runtime::FileDialogAnswer{};
    }
    runtime::FileDialogAnswer given = std::move(found->second);
    m_answers.erase(found);
    return given;
}

} // namespace player
