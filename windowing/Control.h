#pragma once

#include "MouseEvent.h"
#include "Twips.h"

#include <QCursor>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace windowing {

class Form;

// What every control of a form offers: its position and size in twips, its own
// Visible flag, its tab index and the handlers of its events. A property keeps the
// twips value last set and returns it when read; what is on screen is that value in
// whole pixels.
class Control {
public:
    Control(Form& form, QString name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& Name() const { return m_name; }
    Form& Parent() const { return m_form; }

    Twips Left() const { return m_left; }
    Twips Top() const { return m_top; }
    Twips Width() const { return m_width; }
    Twips Height() const { return m_height; }
    void setLeft(Twips left) { Move(left); }
    void setTop(Twips top) { Move(m_left, top); }
    void setWidth(Twips width) { Move(m_left, m_top, width); }
    void setHeight(Twips height) { Move(m_left, m_top, m_width, height); }
    // Omitted values stay as they are.
    void Move(Twips left, std::optional<Twips> top = {}, std::optional<Twips> width = {},
              std::optional<Twips> height = {});

    // The control's own flag, the last value set; not whether it shows on screen.
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    std::int16_t TabIndex() const { return m_tabIndex; }
    void setTabIndex(std::int16_t index) { m_tabIndex = index; }

    // The pointer shape over the control; none means the ordinary arrow.
    const std::optional<QCursor>& MouseIcon() const { return m_mouseIcon; }
    void setMouseIcon(std::optional<QCursor> cursor);

    // Event handlers, each run as the top level for its errors.
    std::function<void()> Click;
    std::function<void(const MouseEventArgs&)> MouseDown;
    std::function<void(const MouseEventArgs&)> MouseMove;
    std::function<void(const MouseEventArgs&)> MouseUp;

    // Raising the events, as the window layer does on input.
    void raiseClick();
    void raiseMouseDown(const MouseEventArgs& args);
    void raiseMouseMove(const MouseEventArgs& args);
    void raiseMouseUp(const MouseEventArgs& args);

    QRect pixelRect() const { return toPixelRect(m_left, m_top, m_width, m_height); }

protected:
    // Sets the stored size without the rest of Move, for controls that size themselves.
    void setStoredSize(Twips width, Twips height);
    virtual void geometryChanged(const QRect& oldPixelRect) = 0;
    virtual void visibilityChanged() = 0;
    virtual void cursorChanged() {}

private:
    Form& m_form;
    QString m_name;
    Twips m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    std::int16_t m_tabIndex = 0;
    std::optional<QCursor> m_mouseIcon;
    // Event names for the top level's report, such as "picX_Click".
    QByteArray m_clickName, m_downName, m_moveName, m_upName;
};

} // namespace windowing
