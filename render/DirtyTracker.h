#pragma once

#include "DiffEntry.h"

#include <QRegion>
#include <unordered_map>
#include <vector>

namespace render {

// Compares what a frame draws with what the previous one drew to find the pixels that
// may differ: where anything appeared, vanished, moved or changed, before and after.
class DirtyTracker {
public:
    // The area of `target` to draw again for a frame of `entries`.
    QRegion dirtyRegion(const std::vector<DiffEntry>& entries, const QRect& target) const;
    // Keeps this frame's entries to compare the next one with.
    void remember(std::vector<DiffEntry> entries);
    void reset() { m_last.clear(); }

private:
    std::unordered_map<std::uint64_t, DiffEntry> m_last;
};

} // namespace render
