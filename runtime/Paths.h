#pragma once

#include <string_view>

namespace runtime {

class DisplayObject;

// Finds the object a target path names, as scripts write them, starting from `from`:
//   dotted   "_level0.menu.item", "_root.menu", "_parent.item", "menu.item"
//   slashed  "/menu/item" (from the root), "../item", "menu/item"
// "_root" is the top of the tree `from` is in, "_levelN" the root of level N,
// "_parent" and ".." the parent, "this"
// and "." the object itself; other parts are instance names, compared as the movie's
// version says. An empty path is `from` itself. Returns null when a part names nothing.
DisplayObject* resolvePath(DisplayObject& from, std::string_view path);

} // namespace runtime
