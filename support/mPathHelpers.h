#pragma once

#include <QChar>
#include <QDir>
#include <QString>

// Path and file-name text. The separator is the platform's directory separator ("/"
// here) unless another is given; nothing here touches the file system.
namespace mPathHelpers {

inline QChar platformSeparator()
{
    return QDir::separator();
}

// Makes `Path` end in exactly one separator for appending a file name. A trailing
// separator is first taken off `Path` itself (the caller's variable sees that), then
// one is added back to the result unless `Path` still ends in one.
QString AddBackslash(QString& Path, QChar separator = platformSeparator());

// The name without its folder and without its last extension: "C:\Movies\a.b.swf"
// gives "a.b". A name of spaces only gives nothing. Never fails: whatever goes wrong
// inside returns what was worked out so far.
QString FileTitle(QString FileName, QChar separator = platformSeparator());

} // namespace mPathHelpers
