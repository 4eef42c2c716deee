#include "ChosenFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>

namespace player {

std::optional<runtime::ChosenFile> chosenFile(const QString& path, bool mustExist)
{
    const QFileInfo info(path);
    const bool isFile = info.exists() && info.isFile();
    if (mustExist && (!isFile || !info.isReadable()))
        return std::nullopt;
    runtime::ChosenFile file;
    file.path = path.toStdString();
    file.name = info.fileName().toStdString();
    if (!isFile)
        return file;
    file.size = static_cast<std::uint64_t>(info.size());
    // Some file systems keep no birth time; the last change stands in for it.
    const QDateTime born = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    file.creationMs = static_cast<double>(born.toMSecsSinceEpoch());
    file.modificationMs = static_cast<double>(info.lastModified().toMSecsSinceEpoch());
    return file;
}

QStringList nameFilters(const std::vector<runtime::FileTypeFilter>& filters)
{
    QStringList lines;
    for (const runtime::FileTypeFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns)
            patterns << QString::fromStdString(pattern);
        lines << QString::fromStdString(filter.description) + " (" + patterns.join(' ') + ')';
    }
    return lines;
}

bool writeChosenFile(const QString& path, std::span<const std::uint8_t> bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size)
        return false;
    return file.commit();
}

} // namespace player
