#include "FolderReader.h"

#include <QFile>
#include <dirent.h>
#include <sys/stat.h>

namespace windowing {

namespace {

bool sameFolded(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

bool isRegularFile(int folderFd, const dirent* entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info {};
    return ::fstatat(folderFd, entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool wildcardMatch(QStringView pattern, QStringView name)
{
    // Greedy matching with one backtrack point per star: linear for patterns like "*.swf".
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || sameFolded(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

QStringList readFolder(const QString& folder, const QString& patterns)
{
    const QStringList wildcards = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const int folderFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        bool matches = false;
        for (const QString& wildcard : wildcards)
            matches = matches || wildcardMatch(wildcard, name);
        if (matches && isRegularFile(folderFd, entry))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace windowing
