#pragma once

// Movies the player tests write to a folder of their own, zlib-compressed, for the
// control to load as a user's file.
#include "MovieWriter.h"

#include <QTemporaryDir>
#include <QtGlobal>

inline QString writeTestMovie(const QTemporaryDir& folder, const char* name,
                              const swfwriter::MovieWriter& movie)
{
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!movie.writeFile(path.toStdString(), swfwriter::Compression::Zlib))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
