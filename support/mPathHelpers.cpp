#include "mPathHelpers.h"

#include <exception>

namespace mPathHelpers {

QString AddBackslash(QString& Path, QChar separator)
{
    if (Path.endsWith(separator))
        Path.chop(1);
    if (!Path.endsWith(separator))
        return Path + separator;
    return Path;
}

namespace {

// Leading and trailing spaces only: tabs and other white space count as text.
bool isBlank(const QString& text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

QString FileTitle(QString FileName, QChar separator)
{
    QString result;
    try {
        if (isBlank(FileName))
            return result;
        const qsizetype slash = FileName.lastIndexOf(separator);
        result = FileName.mid(slash + 1);
        const qsizetype dot = result.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0)
            result.truncate(dot);
    } catch (const std::exception&) {
        // Absorbed: the caller gets the title as far as it was worked out.
    }
    return result;
}

} // namespace mPathHelpers
