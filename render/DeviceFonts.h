#pragma once

#include "runtime/FontMetrics.h"

#include <QRawFont>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

namespace render {

// The system fonts text fields show when they do not embed theirs, found through the
// platform's font matching by family name ("_sans", "_serif" and "_typewriter" are the
// generic families). The hosts measure text with them and the renderer draws with the
// same faces, so that what scripts measure is what shows.
class DeviceFonts {
public:
    // One library for the process: fonts are the system's, not a movie's.
    static DeviceFonts& shared();

    // The face at its design size (one pixel a font unit), or an invalid font when the
    // system has none at all.
    QRawFont face(const std::string& family, bool bold, bool italic);
    std::shared_ptr<const runtime::FontMetrics> metrics(const std::string& family, bool bold,
                                                        bool italic);

private:
    struct Entry {
        QRawFont face;
        std::shared_ptr<const runtime::FontMetrics> metrics;
    };
    Entry& entry(const std::string& family, bool bold, bool italic);

    std::mutex m_mutex;
    std::map<std::tuple<std::string, bool, bool>, Entry> m_fonts;
};

} // namespace render
