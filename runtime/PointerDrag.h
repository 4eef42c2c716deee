#pragma once

#include <memory>
#include <optional>
#include <string>

namespace runtime {

class DisplayObject;

// startDrag and stopDrag: one object at a time follows the pointer, its registration
// point either under the pointer (lock centre) or where it stood from the pointer when
// the drag began, kept inside an optional box of its parent's space. When a drag ends
// the object remembers what it was dropped on (_droptarget).
class PointerDrag {
public:
    // A box in the parent's twips; the edges may come in either order.
    struct Constraint {
        double left, top, right, bottom;
    };

    // Starts dragging `object` with the pointer at (x, y), stage twips; a drag under
    // way ends first. A locked centre moves the object under the pointer at once.
    void start(DisplayObject& object, bool lockCenter, std::optional<Constraint> constraint,
               double x, double y);
    // Ends the drag, if any, noting what the object lies over.
    void stop(double x, double y);
    // The object being dragged while it is on the stage.
    DisplayObject* dragged() const;
    // Moves the dragged object for the pointer at (x, y).
    void follow(double x, double y);
    // The target path (slash syntax) of the clip under the pointer, ignoring `object`
    // and what it holds, for the object being dragged; for the object last dropped,
    // the clip it was dropped on; "" otherwise, and when no clip is there.
    std::string dropTarget(const DisplayObject& object, double x, double y) const;

private:
    std::weak_ptr<DisplayObject> m_object;
    bool m_lockCenter = false;
    double m_offsetX = 0;
    double m_offsetY = 0;
    std::optional<Constraint> m_constraint;
    std::weak_ptr<DisplayObject> m_dropped;
    std::string m_droppedOn;
};

} // namespace runtime
