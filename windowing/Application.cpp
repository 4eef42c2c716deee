#include "Application.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace windowing {

QByteArray instanceKey(unsigned userId, const QString& executablePath)
{
    const QByteArray pathHash =
        QCryptographicHash::hash(executablePath.toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return "reelvane-" + QByteArray::number(userId) + "-" + pathHash;
}

namespace {

// An abstract-namespace local socket: no file is written, and the kernel releases the
// name when the process ends, however it ends.
bool claimInstance(const QByteArray& key)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true; // cannot tell: let this instance run
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const auto length =
        std::min<std::size_t>(static_cast<std::size_t>(key.size()), sizeof(address.sun_path) - 1);
    std::memcpy(address.sun_path + 1, key.constData(), length); // leading NUL: abstract
    const auto addressLength = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), addressLength) == 0)
        return true; // the descriptor stays open, holding the name, for the process's life
    const bool taken = errno == EADDRINUSE;
    ::close(fd);
    return !taken;
}

} // namespace

bool Application::PrevInstance() const
{
    static const bool earlierInstance = [] {
        const QString executable =
            QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        return !claimInstance(instanceKey(::getuid(), executable));
    }();
    return earlierInstance;
}

namespace {

QString& pathOverride()
{
    static QString folder;
    return folder;
}

} // namespace

void setApplicationPathForTesting(const QString& folder)
{
    pathOverride() = folder;
}

QString Application::Path() const
{
    if (!pathOverride().isEmpty())
        return pathOverride();
    return QCoreApplication::applicationDirPath();
}

ModuleHandle Application::hInstance() const
{
    return ModuleHandle{QStringLiteral(":/")};
}

} // namespace windowing
