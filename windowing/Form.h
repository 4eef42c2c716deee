#pragma once

#include "MouseEvent.h"
#include "Twips.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace windowing {

class FormWidget;
class WindowlessControl;

using WindowHandle = QWidget*;

enum class StartUpPosition { Manual, CenterScreen };

inline constexpr std::int16_t kBorderNone = 0;
inline constexpr std::int16_t kBorderFixedSingle = 1;
inline constexpr std::int16_t kStateNormal = 0;
inline constexpr std::int16_t kStateMinimized = 1;
inline constexpr std::int16_t kStateMaximized = 2;
// The largest window the platform (X11) accepts, in pixels on each axis.
inline constexpr int kMaxWindowPixels = 32767;

// A top-level window with the events a form raises: Initialize when the object is
// made (through create), Load before it first shows, Resize synchronously after every
// change of its size (first show, minimising and restoring included), Unload with a
// cancel flag, and the mouse events over its background only.
class Form {
public:
    template <typename T, typename... Args> static std::unique_ptr<T> create(Args&&... args)
    {
        std::unique_ptr<T> form(new T(std::forward<Args>(args)...));
        form->raiseInitialize();
        return form;
    }

    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& Name() const { return m_name; }
    WindowHandle hWnd() const { return window(); }
    QWidget* window() const;

    Twips Left() const { return m_left; }
    Twips Top() const { return m_top; }
    Twips Width() const { return m_width; }
    Twips Height() const { return m_height; }
    void setLeft(Twips left) { Move(left); }
    void setTop(Twips top) { Move(m_left, top); }
    void setWidth(Twips width) { Move(m_left, m_top, width); }
    void setHeight(Twips height) { Move(m_left, m_top, m_width, height); }
    // Omitted values stay as they are; a change of size raises Resize once.
    void Move(Twips left, std::optional<Twips> top = {}, std::optional<Twips> width = {},
              std::optional<Twips> height = {});

    std::int16_t BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(std::int16_t style);
    std::int16_t WindowState() const;
    void setWindowState(std::int16_t state);
    QString Caption() const;
    void setCaption(const QString& caption);
    QColor BackColor() const { return m_backColor; }
    void setBackColor(QColor color);
    const QPixmap& Picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);
    const QFont& Font() const { return m_font; }
    void setFont(const QFont& font) { m_font = font; }
    void setStartUpPosition(StartUpPosition position) { m_startUpPosition = position; }
    bool Visible() const { return m_visible; }

    bool IsLoaded() const { return m_loaded; }
    void Load();
    // Modeless and without an owner.
    void Show();
    void Unload();

    // For the controls: the pixel rectangle the platform accepts, and the form's
    // windowless controls, drawn and hit-tested by the form in creation order.
    static QRect clampToPlatform(const QRect& pixels);
    void addWindowless(WindowlessControl* control);
    void removeWindowless(WindowlessControl* control);
    void repaintArea(const QRect& pixels);

    // Destroys the window and its controls' widgets; the runtime does this before the
    // application object goes.
    void releaseWindow();

protected:
    explicit Form(QString name);

    virtual void Form_Initialize() {}
    virtual void Form_Load() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload(std::int16_t& Cancel) { (void)Cancel; }
    virtual void Form_MouseDown(std::int16_t Button, std::int16_t Shift, Twips X, Twips Y)
    {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void Form_MouseMove(std::int16_t Button, std::int16_t Shift, Twips X, Twips Y)
    {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void Form_MouseUp(std::int16_t Button, std::int16_t Shift, Twips X, Twips Y)
    {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }

private:
    friend class FormWidget;

    void raiseInitialize();
    void raiseResize();
    void applyGeometry();
    void applyWindowFlags();
    void windowStateChanged();
    void paint(QPainter& painter, const QRect& area);
    void mouseEvent(QMouseEvent* event);
    WindowlessControl* windowlessAt(const QPoint& pixel) const;
    void updateCursor(WindowlessControl* over);

    QString m_name;
    QPointer<FormWidget> m_widget;
    Twips m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    std::int16_t m_borderStyle = kBorderFixedSingle;
    QColor m_backColor = Qt::lightGray;
    QPixmap m_picture;
    QFont m_font;
    StartUpPosition m_startUpPosition = StartUpPosition::Manual;
    bool m_loaded = false;
    bool m_visible = false;
    bool m_shownOnce = false;
    bool m_reportedMinimized = false;
    std::vector<WindowlessControl*> m_windowless;
    // The receiver of the mouse from a press until every button is up: a windowless
    // control, or the background (nullptr with m_backgroundCaptured).
    WindowlessControl* m_captured = nullptr;
    bool m_backgroundCaptured = false;
    bool m_leftPressedOnCaptured = false;
};

} // namespace windowing
