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
    // The first child in depth order named `name`, compared as the movie's version says.
    DisplayObject* childByName(std::string_view name) const;
    // The children as they are now, for walks that may change the list.
    std::vector<std::shared_ptr<DisplayObject>> childrenSnapshot() const;

    // Puts `child` at `depth`, replacing (and removing) whatever was there.
    void placeChild(int depth, std::shared_ptr<DisplayObject> child);
    // Takes the child at `depth` off the list; null when there was none.
    std::shared_ptr<DisplayObject> removeChild(int depth);
    void removeAllChildren();

protected:
    using DisplayObject::DisplayObject;
    void bumpSubtree() override;

private:
    static void detach(DisplayObject& child);

    Children m_children;
};

} // namespace runtime
