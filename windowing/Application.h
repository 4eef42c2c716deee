#pragma once

#include <QString>

namespace windowing {

// The program's identity where resources are looked up: the root of its embedded
// resources. A null handle names no module.
struct ModuleHandle {
    QString resourceRoot;

    bool isNull() const { return resourceRoot.isEmpty(); }
    friend bool operator==(const ModuleHandle&, const ModuleHandle&) = default;
};

// The application object.
class Application {
public:
    // Whether an earlier instance of this program (the same executable, for the same
    // user) is running. The first call takes this process's claim, which it holds until
    // it ends; the system drops the claim of a process that dies, so a crash never
    // blocks the next start.
    bool PrevInstance() const;
    // The folder of the executable, without a trailing separator.
    QString Path() const;
    ModuleHandle hInstance() const;
};

inline constexpr Application App{};

// Makes Path() report `folder` instead of the executable's; for tests, which run the
// window on folders of their own making. An empty folder restores the real one.
void setApplicationPathForTesting(const QString& folder);

// The key that PrevInstance() claims: per user and per canonical executable path.
QByteArray instanceKey(unsigned userId, const QString& executablePath);

} // namespace windowing
