#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace runtime {

// The player's context menu as the movie shapes it where it was opened: which of the
// player's own items stay (a script's ContextMenu hides them by group, and
// Stage.showMenu = false hides them all), and the movie's own items, top first.
struct ContextMenuItem {
    std::string caption; // UTF-8
    bool enabled = true;
    bool separatorBefore = false;
};

struct ContextMenuModel {
    bool playerItems = true; // Stage.showMenu
    bool zoom = true;
    bool quality = true;
    bool play = true;
    bool loop = true;
    bool rewind = true;
    bool forwardBack = true;
    std::vector<ContextMenuItem> items;
};

} // namespace runtime
