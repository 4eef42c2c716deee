#include "Heap.h"

#include <algorithm>

namespace script {

namespace {
// Fewer new cells than this never trigger a collection: small heaps would otherwise
// collect on almost every block.
constexpr std::size_t kCollectionFloor = 64 * 1024;
// Bytes made since the last collection that trigger one however few the cells: a loop
// building long strings makes few cells but much memory.
constexpr std::size_t kCollectionBytesFloor = 256u * 1024 * 1024;
// How far ahead the sweep and the trace fetch cells: enough to cover a memory access
// while the cells between are handled.
constexpr std::size_t kSweepLookahead = 8;
constexpr std::size_t kDrainLookahead = 8;
} // namespace

void Tracer::drain()
{
    while (!m_pending.empty()) {
        Cell* cell = m_pending.back();
        m_pending.pop_back();
        // The cells a few places down the stack are traced next, unless this one adds
        // more: fetch them now.
        if (m_pending.size() > kDrainLookahead)
            __builtin_prefetch(m_pending[m_pending.size() - kDrainLookahead], 0);
        cell->traceChildren(*this);
    }
}

Heap::~Heap()
{
    for (Cell* cell : m_cells)
        delete cell;
}

void Heap::adopt(Cell* cell, std::size_t size)
{
    m_cells.push_back(cell);
    ++m_liveCells;
    // What the cell holds outside itself counts from its making (strings hold their text).
    m_bytes += size + cell->extraBytes();
}

std::size_t Heap::addRoots(RootTracer roots)
{
    const std::size_t id = m_nextRootId++;
    m_roots.emplace_back(id, std::move(roots));
    return id;
}

void Heap::removeRoots(std::size_t id)
{
    std::erase_if(m_roots, [id](const auto& entry) { return entry.first == id; });
}

bool Heap::wantsCollection() const
{
    const std::size_t grown = m_liveCells - std::min(m_liveCells, m_cellsAtLastCollection);
    if (grown > std::max(kCollectionFloor, m_cellsAtLastCollection))
        return true;
    const std::size_t grownBytes = m_bytes - std::min(m_bytes, m_bytesAtLastCollection);
    return grownBytes > std::max(kCollectionBytesFloor, m_bytesAtLastCollection);
}

void Heap::collect()
{
    Tracer tracer;
    for (const auto& [id, roots] : m_roots)
        roots(tracer);
    tracer.drain();

    std::size_t live = 0;
    std::size_t bytes = 0;
    const std::size_t count = m_cells.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kSweepLookahead < count)
            __builtin_prefetch(m_cells[i + kSweepLookahead], 1);
        Cell* cell = m_cells[i];
        if (cell->m_marked) {
            cell->m_marked = false;
            bytes += sizeof(Cell) + cell->extraBytes();
            m_cells[live++] = cell;
        } else {
            delete cell;
        }
    }
    m_cells.resize(live);
    m_liveCells = live;
    m_bytes = bytes;
    m_cellsAtLastCollection = live;
    m_bytesAtLastCollection = bytes;
    ++m_collections;
}

} // namespace script
