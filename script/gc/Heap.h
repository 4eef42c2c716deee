#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace script {

class Tracer;

// Everything a script machine's collector manages: strings, objects, functions. Cells are made by
// Heap::make and never deleted by anyone else. Prototypes and closures make cycles
// everywhere in ActionScript, so the heap is traced (mark and sweep) rather than
// reference counted.
class Cell {
public:
    Cell() = default;
    virtual ~Cell() = default;
    Cell(const Cell&) = delete;
    Cell& operator=(const Cell&) = delete;

    // Marks every cell this one refers to.
    virtual void traceChildren(Tracer& /*tracer*/) {}
    // What the cell holds outside itself, roughly, for the collector's pacing.
    virtual std::size_t extraBytes() const { return 0; }

private:
    friend class Heap;
    friend class Tracer;
    bool m_marked = false;
};

// Marks cells from the roots. An explicit stack instead of recursion: a linked list a
// million objects long must not overflow the thread's stack.
class Tracer {
public:
    void mark(Cell* cell)
    {
        if (cell && !cell->m_marked) {
            cell->m_marked = true;
            m_pending.push_back(cell);
        }
    }
    // A script value of either machine: anything that says which cell it holds.
    template <typename V>
    requires requires(const V& v) { static_cast<Cell*>(v.cell()); }
    void mark(const V& value) { mark(static_cast<Cell*>(value.cell())); }
    static bool isMarked(const Cell* cell) { return cell && cell->m_marked; }
    // Traces a cell just marked at once rather than from the stack (its children still
    // go on the stack). For callers that hold the cell in cache.
    void traceNow(Cell* cell)
    {
        m_pending.pop_back();
        cell->traceChildren(*this);
    }
    // Starts fetching a cell a loop will mark soon: marking a million objects waits
    // on memory, and the fetches overlap only when they are asked for ahead.
    static void prefetch(const Cell* cell)
    {
        if (cell)
            __builtin_prefetch(cell, 1);
    }
    void drain();

private:
    std::vector<Cell*> m_pending;
};

// Owns every cell. Collection never runs on its own: the interpreter asks for it at
// safe points (between blocks, or at a backward jump with no native code on the C++
// stack), so native code may keep raw cell pointers in locals while it runs.
class Heap {
public:
    Heap() = default;
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    template <typename T, typename... Args> T* make(Args&&... args)
    {
        T* cell = new T(std::forward<Args>(args)...);
        adopt(cell, sizeof(T));
        return cell;
    }

    // Roots are reported by whoever holds them, each time a collection runs.
    using RootTracer = std::function<void(Tracer&)>;
    // Returns an id for removeRoots.
    std::size_t addRoots(RootTracer roots);
    void removeRoots(std::size_t id);

    // True when enough has been allocated since the last collection to make one worth
    // its pause (the live size doubles, or a floor of new cells).
    bool wantsCollection() const;
    void collect();

    std::size_t liveCells() const { return m_liveCells; }
    std::size_t allocatedBytes() const { return m_bytes; }
    std::uint64_t collections() const { return m_collections; }

private:
    void adopt(Cell* cell, std::size_t size);

    // Every cell, in the order made. A vector rather than a list through the cells, so
    // that the sweep can fetch the cells ahead of the one it looks at.
    std::vector<Cell*> m_cells;
    std::size_t m_liveCells = 0;
    std::size_t m_bytes = 0;
    std::size_t m_cellsAtLastCollection = 0;
    std::size_t m_bytesAtLastCollection = 0;
    std::uint64_t m_collections = 0;
    std::vector<std::pair<std::size_t, RootTracer>> m_roots;
    std::size_t m_nextRootId = 1;
};

} // namespace script
