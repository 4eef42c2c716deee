#pragma once

#include <memory>

namespace runtime {

class ButtonObject;
class ContainerObject;

// Turns pointer input (stage twips) into button transitions. It keeps the button the
// pointer is over and the one a press holds:
//   - with the pointer up, moving onto a button is IdleToOverUp, off it OverUpToIdle;
//   - a press over a button is OverUpToOverDown, and that button holds the press: while
//     the pointer stays down, leaving it is OverDownToOutDown, coming back
//     OutDownToOverDown, and the release is OverDownToOverUp inside or OutDownToIdle
//     outside; other buttons do not react meanwhile;
//   - a trackAsMenu button lets go of the press when the pointer leaves
//     (OverDownToIdle), and a trackAsMenu button the pointer reaches while down takes it
//     (IdleToOverDown), so a release over it counts there.
// The button under the pointer is the topmost enabled, visible button whose hit area
// covers the point; masks are not considered.
class ButtonTracker {
public:
    void pointerMove(ContainerObject& root, double x, double y);
    void pointerDown(ContainerObject& root, double x, double y);
    void pointerUp(ContainerObject& root, double x, double y);

    bool isDown() const { return m_down; }
    // The button under the pointer with the pointer up, and the one holding a press.
    std::shared_ptr<ButtonObject> hovered() const;
    std::shared_ptr<ButtonObject> pressed() const;

    static ButtonObject* buttonAt(ContainerObject& root, double x, double y);

private:
    void hover(ButtonObject* target);
    void dragTo(ButtonObject* target);

    std::weak_ptr<ButtonObject> m_hovered;
    std::weak_ptr<ButtonObject> m_pressed;
    bool m_down = false;
};

} // namespace runtime
