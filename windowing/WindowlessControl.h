#pragma once

#include "Control.h"

class QPainter;

namespace windowing {

// A control without a window of its own, like a label: its form draws it beneath the
// windowed controls and routes the mouse events over it to it.
class WindowlessControl : public Control {
public:
    WindowlessControl(Form& form, QString name);
    ~WindowlessControl() override;

    virtual void paint(QPainter& painter) const = 0;

protected:
    void repaint();
    void geometryChanged(const QRect& oldPixelRect) override;
    void visibilityChanged() override;
};

} // namespace windowing
