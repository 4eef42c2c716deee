#pragma once

#include "FocusControl.h"
#include "KeyboardState.h"
#include "PointerDrag.h"
#include "format/Geometry.h"

namespace runtime {

// What the player knows of the keyboard and the pointer, for the input handling and for
// scripts (Key, _xmouse, startDrag, Selection): the keys down, the pointer's place on
// the stage, the object being dragged and the object with the focus.
class InputState {
public:
    KeyboardState& keyboard() { return m_keyboard; }
    const KeyboardState& keyboard() const { return m_keyboard; }
    PointerDrag& drag() { return m_drag; }
    const PointerDrag& drag() const { return m_drag; }
    FocusControl& focus() { return m_focus; }
    const FocusControl& focus() const { return m_focus; }

    // The pointer in stage twips: the stage's top left corner until the host reports
    // it; pointerKnown() once it has.
    double pointerX() const { return m_pointerX; }
    double pointerY() const { return m_pointerY; }
    bool pointerKnown() const { return m_pointerKnown; }
    void placePointer(double x, double y)
    {
        m_pointerX = x;
        m_pointerY = y;
    }
    void pointerMoved(double x, double y)
    {
        placePointer(x, y);
        m_pointerKnown = true;
    }
    // Scripts hid the pointer (Mouse.hide) over the movie.
    bool pointerHidden() const { return m_pointerHidden; }
    void setPointerHidden(bool hidden) { m_pointerHidden = hidden; }
    // How the host shows the stage: stage twips to the view's pixels (PointerPosition.h
    // says what it is for). Twentieths of a pixel from the stage's corner until set.
    const swf::Matrix& viewMatrix() const { return m_view; }
    void setViewMatrix(const swf::Matrix& stageToView) { m_view = stageToView; }

private:
    KeyboardState m_keyboard;
    PointerDrag m_drag;
    FocusControl m_focus;
    swf::Matrix m_view = swf::Matrix::scale(1.0 / 20, 1.0 / 20);
    double m_pointerX = 0;
    double m_pointerY = 0;
    bool m_pointerKnown = false;
    bool m_pointerHidden = false;
};

} // namespace runtime
