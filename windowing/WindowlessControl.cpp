#include "WindowlessControl.h"

#include "Form.h"

namespace windowing {

WindowlessControl::WindowlessControl(Form& form, QString name) : Control(form, std::move(name))
{
    form.addWindowless(this);
}

WindowlessControl::~WindowlessControl()
{
    if (Visible())
        repaint();
    Parent().removeWindowless(this);
}

void WindowlessControl::repaint()
{
    Parent().repaintArea(pixelRect());
}

void WindowlessControl::geometryChanged(const QRect& oldPixelRect)
{
    if (Visible())
        Parent().repaintArea(oldPixelRect.united(pixelRect()));
}

void WindowlessControl::visibilityChanged()
{
    repaint();
}

} // namespace windowing
