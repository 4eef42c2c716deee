#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace windowing {

// The names of the files in `folder` that match one of the wildcard patterns in
// `patterns` ("*" and "?", several separated by ";"), compared without regard to case.
// Files only (a link counts as what it points to); hidden ones, whose names start with
// ".", are left out. In the order the system gives them.
QStringList readFolder(const QString& folder, const QString& patterns);

// Whether `name` matches the wildcard `pattern`, without regard to case.
bool wildcardMatch(QStringView pattern, QStringView name);

} // namespace windowing
