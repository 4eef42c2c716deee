#include "DirtyTracker.h"

#include <unordered_set>

namespace render {

namespace {

// Past this many rectangles the region costs more to clip to than it saves.
constexpr int kMaxRects = 256;

} // namespace

QRegion DirtyTracker::dirtyRegion(const std::vector<DiffEntry>& entries, const QRect& target) const
{
    std::vector<QRect> rects;
    std::unordered_set<std::uint64_t> matched;
    matched.reserve(entries.size());
    for (const DiffEntry& entry : entries) {
        auto it = m_last.find(entry.key);
        if (it == m_last.end()) {
            rects.push_back(entry.bounds);
            continue;
        }
        matched.insert(entry.key);
        if (it->second.signature != entry.signature || it->second.bounds != entry.bounds) {
            rects.push_back(entry.bounds);
            rects.push_back(it->second.bounds);
        }
    }
    for (const auto& [key, entry] : m_last)
        if (!matched.count(key))
            rects.push_back(entry.bounds);

    QRegion region;
    for (const QRect& rect : rects) {
        const QRect visible = rect & target;
        if (visible.isEmpty())
            continue;
        region += visible;
        if (region.rectCount() > kMaxRects)
            region = QRegion(region.boundingRect());
    }
    return region;
}

void DirtyTracker::remember(std::vector<DiffEntry> entries)
{
    m_last.clear();
    m_last.reserve(entries.size());
    for (DiffEntry& entry : entries)
        m_last[entry.key] = entry;
}

} // namespace render
