#include "WindowedControl.h"

#include "Form.h"

#include <QMouseEvent>

namespace windowing {

ControlWidget::ControlWidget(WindowedControl& control, QWidget* parent)
    : QWidget(parent), m_control(control)
{
    setMouseTracking(true);
}

MouseEventArgs ControlWidget::argsFor(const QMouseEvent* event, std::int16_t button) const
{
    MouseEventArgs args;
    args.button = button;
    args.shift = shiftBits(event->modifiers());
    args.x = fromPixels(event->position().x());
    args.y = fromPixels(event->position().y());
    return args;
}

void ControlWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    m_control.raiseMouseDown(argsFor(event, buttonBits(event->button())));
}

void ControlWidget::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    m_control.raiseMouseMove(argsFor(event, buttonBits(event->buttons())));
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPointer<ControlWidget> alive(this);
    m_control.raiseMouseUp(argsFor(event, buttonBits(event->button())));
    if (!alive)
        return;
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        if (rect().contains(event->position().toPoint()))
            m_control.raiseClick();
    }
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press.
    mousePressEvent(event);
}

void ControlWidget::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

WindowedControl::WindowedControl(Form& form, QString name) : Control(form, std::move(name)) {}

WindowedControl::~WindowedControl()
{
    delete m_widget.data();
}

void WindowedControl::setWidget(QWidget* widget)
{
    m_widget = widget;
    widget->setParent(Parent().window());
    widget->setMouseTracking(true);
    widget->setGeometry(Parent().clampToPlatform(pixelRect()));
    widget->setVisible(Visible());
    // As in the form's design, a control made later lies beneath those made before it:
    // the window's own buttons stay above the player that covers the window.
    widget->lower();
}

void WindowedControl::geometryChanged(const QRect&)
{
    if (m_widget)
        m_widget->setGeometry(Parent().clampToPlatform(pixelRect()));
}

void WindowedControl::visibilityChanged()
{
    if (m_widget)
        m_widget->setVisible(Visible());
}

void WindowedControl::cursorChanged()
{
    if (!m_widget)
        return;
    if (MouseIcon())
        m_widget->setCursor(*MouseIcon());
    else
        m_widget->unsetCursor();
}

} // namespace windowing
