#pragma once

#include "Control.h"

#include <QPointer>
#include <QWidget>

namespace windowing {

class WindowedControl;

// The child widget behind a windowed control. Every mouse event over it is the
// control's alone: it is accepted here and never passed on to the form. Moves arrive
// with no button held too.
class ControlWidget : public QWidget {
public:
    ControlWidget(WindowedControl& control, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    MouseEventArgs argsFor(const QMouseEvent* event, std::int16_t button) const;

    WindowedControl& m_control;
    bool m_leftPressed = false;
};

// A control with a window of its own, drawn above the form's windowless controls and
// beneath the windowed controls made before it.
class WindowedControl : public Control {
public:
    // The widget is made by the control kind; the control takes ownership of it.
    WindowedControl(Form& form, QString name);
    ~WindowedControl() override;

    QWidget* widget() const { return m_widget; }

protected:
    // Installs the widget (a ControlWidget or a subclass) as a child of the form.
    void setWidget(QWidget* widget);
    void geometryChanged(const QRect& oldPixelRect) override;
    void visibilityChanged() override;
    void cursorChanged() override;

private:
    QPointer<QWidget> m_widget;
};

} // namespace windowing
