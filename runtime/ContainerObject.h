#pragma once

#include "DisplayObject.h"
#include "Names.h"

#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace runtime {

// A display object that holds others: a display list of children ordered by depth,
// painted from the lowest depth up. Sprites and buttons are containers.
class ContainerObject : public DisplayObject {
public:
    using Children = std::map<int, std::shared_ptr<DisplayObject>>;

    ~ContainerObject() override;

    const Children& children() const { return m_children; }
    DisplayObject* childAt(int depth) const;
    // getInstanceAtDepth: the child at a depth as scripts number them.
    DisplayObject* childAtScriptDepth(int scriptDepth) const;
    // The first child in depth order named `name`, compared as the movie's version says.
    DisplayObject* childByName(std::string_view name) const;
    // The children as they are now, for walks that may change the list.
    std::vector<std::shared_ptr<DisplayObject>> childrenSnapshot() const;
    // getNextHighestDepth: one above the highest script depth in use from 0 up, or 0.
    long long nextHighestScriptDepth() const;

    // Puts `child` at `depth`; whatever was there leaves the stage as removeChild says.
    void placeChild(int depth, std::shared_ptr<DisplayObject> child);
    // Takes the child at `depth` off the stage: Unload events for the clips in it, the
    // engine told it is gone. A subtree with unload handlers is kept in the list (below
    // every other depth, flagged unloading) until the step's actions have run, so that
    // those handlers still reach it by name. Returns the child; null when there was none
    // (or it was already leaving).
    std::shared_ptr<DisplayObject> removeChild(int depth);
    // Moves `child` to `depth`; whatever stood there takes the child's old depth.
    void swapChildDepth(DisplayObject& child, int depth);
    // Takes away, for good, a child kept for its unload handlers.
    void takeAwayUnloaded(DisplayObject& child);

    Bounds localBounds() const override;

protected:
    using DisplayObject::DisplayObject;
    void bumpSubtree() override;

private:
    static void detach(DisplayObject& child);
    // A free depth below every child, where a removed clip waits for its unload.
    int unloadingDepth(int depth) const;

    Children m_children;
};

} // namespace runtime
