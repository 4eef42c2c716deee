#include "Control.h"

#include "EventHandler.h"

namespace windowing {

Control::Control(Form& form, QString name)
    : m_form(form), m_name(std::move(name)), m_clickName((m_name + "_Click").toUtf8()),
      m_downName((m_name + "_MouseDown").toUtf8()), m_moveName((m_name + "_MouseMove").toUtf8()),
      m_upName((m_name + "_MouseUp").toUtf8())
{}

Control::~Control() = default;

void Control::Move(Twips left, std::optional<Twips> top, std::optional<Twips> width,
                   std::optional<Twips> height)
{
    if (width.value_or(0) < 0 || height.value_or(0) < 0)
        raiseError(ErrorNumber::InvalidPropertyValue, m_name + QStringLiteral(" size"));
    const QRect old = pixelRect();
    m_left = left;
    m_top = top.value_or(m_top);
    m_width = width.value_or(m_width);
    m_height = height.value_or(m_height);
    geometryChanged(old);
}

void Control::setStoredSize(Twips width, Twips height)
{
    const QRect old = pixelRect();
    m_width = width;
    m_height = height;
    geometryChanged(old);
}

void Control::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    visibilityChanged();
}

void Control::setMouseIcon(std::optional<QCursor> cursor)
{
    m_mouseIcon = std::move(cursor);
    cursorChanged();
}

void Control::raiseClick()
{
    if (Click)
        runEventHandler(m_clickName.constData(), Click);
}

void Control::raiseMouseDown(const MouseEventArgs& args)
{
    if (MouseDown)
        runEventHandler(m_downName.constData(), [&] { MouseDown(args); });
}

void Control::raiseMouseMove(const MouseEventArgs& args)
{
    if (MouseMove)
        runEventHandler(m_moveName.constData(), [&] { MouseMove(args); });
}

void Control::raiseMouseUp(const MouseEventArgs& args)
{
    if (MouseUp)
        runEventHandler(m_upName.constData(), [&] { MouseUp(args); });
}

} // namespace windowing
