// The engine's side of the host's file dialogs: FileReference asks through ScriptHost,
// the host answers.
#include "Engine.h"

namespace avm1 {

std::uint32_t Engine::openFileDialog(const runtime::FileDialogRequest& request)
{
    return m_host.openFileDialog(request);
}

std::optional<runtime::FileDialogAnswer> Engine::fileDialogAnswer(std::uint32_t ticket)
{
    return m_host.fileDialogAnswer(ticket);
}

bool Engine::writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes)
{
    return m_host.writeChosenFile(path, bytes);
}

} // namespace avm1
