#include "EventHandler.h"

#include <cstdio>

namespace windowing {

void reportUnhandledError(const char* event, ErrorNumber number, const QString& description)
{
    const QByteArray line = QStringLiteral("reelvane: run-time error %1 (%2) in %3\n")
                                .arg(static_cast<int>(number))
                                .arg(description, QString::fromLatin1(event))
                                .toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace windowing
