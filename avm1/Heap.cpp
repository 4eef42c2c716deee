#include "Heap.h"

#include "Value.h"

#include <algorithm>

namespace avm1 {

namespace {
// Fewer new cells than this never trigger a collection: small heaps would otherwise
// collect on almost every block.
constexpr std::size_t kCollectionFloor = 64 * 1024;
} // namespace

void Tracer::mark(const Value& value)
{
    if (Cell* cell = value.cell())
        mark(cell);
}

void Tracer::drain()
{
    while (!m_pending.empty()) {
        Cell* cell = m_pending.back();
        m_pending.pop_back();
        cell->traceChildren(*this);
    }
}

Heap::~Heap()
{
    Cell* cell = m_cells;
    while (cell) {
        Cell* next = cell->m_nextCell;
        delete cell;
        cell = next;
    }
}

void Heap::adopt(Cell* cell, std::size_t size)
{
    cell->m_nextCell = m_cells;
    m_cells = cell;
    ++m_liveCells;
    m_bytes += size;
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
    return grown > std::max(kCollectionFloor, m_cellsAtLastCollection);
}

void Heap::collect()
{
    Tracer tracer;
    for (const auto& [id, roots] : m_roots)
        roots(tracer);
    tracer.drain();

    std::size_t live = 0;
    std::size_t bytes = 0;
    Cell** link = &m_cells;
    while (Cell* cell = *link) {
        if (cell->m_marked) {
            cell->m_marked = false;
            ++live;
            bytes += sizeof(Cell) + cell->extraBytes();
            link = &cell->m_nextCell;
        } else {
            *link = cell->m_nextCell;
            delete cell;
        }
    }
    m_liveCells = live;
    m_bytes = bytes;
    m_cellsAtLastCollection = live;
    ++m_collections;
}

} // namespace avm1
