#pragma once

// The context menu a script's ContextMenu shapes, as the player opens it: the menu of the
// innermost object under the pointer that has one hears onSelect, then gives the
// player's built-in groups and its own items; a chosen item's onSelect runs.
#include "avm1/Heap.h"
#include "runtime/ContextMenu.h"

#include <cstddef>
#include <vector>

namespace avm1 {

class Object;
class Vm;

// What the open menu was made from, for the choice that may follow.
class OpenContextMenu final : public Cell {
public:
    Object* owner = nullptr;
    std::vector<Object*> items;
    void traceChildren(Tracer& tracer) override;
};

// `ownersInward`: the objects under the pointer from the innermost out to the root.
void openContextMenu(Vm& vm, const std::vector<Object*>& ownersInward,
                     runtime::ContextMenuModel& model, OpenContextMenu& open);
void chooseContextMenuItem(Vm& vm, OpenContextMenu& open, std::size_t index);

} // namespace avm1
