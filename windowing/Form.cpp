#include "Form.h"

#include "EventHandler.h"
#include "FormWidget.h"
#include "Runtime.h"
#include "RuntimeError.h"
#include "Screen.h"
#include "WindowlessControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace windowing {

namespace {

QByteArray eventName(const QString& form, const char* event)
{
    return (form + QLatin1Char('.') + QLatin1String(event)).toUtf8();
}

} // namespace

Form::Form(QString name) : m_name(std::move(name)), m_widget(new FormWidget(*this))
{
    Runtime::formCreated(this);
    applyWindowFlags();
}

Form::~Form()
{
    // Controls are members of the derived form and are gone by now.
    m_windowless.clear();
    releaseWindow();
    Runtime::formDestroyed(this);
}

QWidget* Form::window() const
{
    return m_widget;
}

void Form::releaseWindow()
{
    delete m_widget.data();
}

void Form::raiseInitialize()
{
    runEventHandler(eventName(m_name, "Initialize").constData(), [this] { Form_Initialize(); });
}

void Form::raiseResize()
{
    runEventHandler(eventName(m_name, "Resize").constData(), [this] { Form_Resize(); });
}

QRect Form::clampToPlatform(const QRect& pixels)
{
    constexpr int kMinCoordinate = -kMaxWindowPixels - 1;
    return QRect(std::clamp(pixels.x(), kMinCoordinate, kMaxWindowPixels),
                 std::clamp(pixels.y(), kMinCoordinate, kMaxWindowPixels),
                 std::clamp(pixels.width(), 0, kMaxWindowPixels),
                 std::clamp(pixels.height(), 0, kMaxWindowPixels));
}

void Form::applyGeometry()
{
    if (!m_widget)
        return;
    QRect pixels = clampToPlatform(toPixelRect(m_left, m_top, m_width, m_height));
    // A top-level window has at least one pixel each way.
    pixels.setWidth(std::max(pixels.width(), 1));
    pixels.setHeight(std::max(pixels.height(), 1));
    m_widget->setGeometry(pixels);
}

void Form::Move(Twips left, std::optional<Twips> top, std::optional<Twips> width,
                std::optional<Twips> height)
{
    if (width.value_or(0) < 0 || height.value_or(0) < 0)
        raiseError(ErrorNumber::InvalidPropertyValue, m_name + QStringLiteral(" size"));
    // The platform takes whole pixels in 32 bits: a value beyond them cannot be set.
    for (std::optional<Twips> value : {std::optional<Twips>(left), top, width, height}) {
        if (value && !(std::fabs(double(*value)) / kTwipsPerPixel < 2147483647.0))
            raiseError(ErrorNumber::Overflow, m_name + QStringLiteral(" position or size"));
    }
    const bool resized = (width && *width != m_width) || (height && *height != m_height);
    m_left = left;
    m_top = top.value_or(m_top);
    m_width = width.value_or(m_width);
    m_height = height.value_or(m_height);
    applyGeometry();
    if (resized && m_loaded)
        raiseResize();
}

void Form::applyWindowFlags()
{
    if (!m_widget)
        return;
    Qt::WindowFlags flags = Qt::Window;
    if (m_borderStyle == kBorderNone)
        flags |= Qt::FramelessWindowHint;
    else
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    const bool wasVisible = m_widget->isVisible();
    m_widget->setWindowFlags(flags);
    applyGeometry();
    if (wasVisible)
        m_widget->show();
}

void Form::setBorderStyle(std::int16_t style)
{
    if (style < 0 || style > 5)
        raiseError(ErrorNumber::InvalidPropertyValue, m_name + QStringLiteral(".BorderStyle"));
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    applyWindowFlags();
}

std::int16_t Form::WindowState() const
{
    if (!m_widget)
        return kStateNormal;
    const Qt::WindowStates state = m_widget->windowState();
    if (state & Qt::WindowMinimized)
        return kStateMinimized;
    if (state & Qt::WindowMaximized)
        return kStateMaximized;
    return kStateNormal;
}

void Form::setWindowState(std::int16_t state)
{
    if (state < kStateNormal || state > kStateMaximized)
        raiseError(ErrorNumber::InvalidPropertyValue, m_name + QStringLiteral(".WindowState"));
    if (!m_widget)
        return;
    const Qt::WindowStates target = state == kStateMinimized   ? Qt::WindowMinimized
                                    : state == kStateMaximized ? Qt::WindowMaximized
                                                               : Qt::WindowNoState;
    m_widget->setWindowState(target);
    // Qt tells of the change through changeEvent; a window manager may not act on it
    // at all, yet the change of state is a change of the window's size to the program.
    windowStateChanged();
}

void Form::windowStateChanged()
{
    const bool minimized = WindowState() == kStateMinimized;
    if (minimized == m_reportedMinimized)
        return;
    m_reportedMinimized = minimized;
    if (m_loaded)
        raiseResize();
}

QString Form::Caption() const
{
    return m_widget ? m_widget->windowTitle() : QString();
}

void Form::setCaption(const QString& caption)
{
    if (m_widget)
        m_widget->setWindowTitle(caption);
}

void Form::setBackColor(QColor color)
{
    m_backColor = color;
    repaintArea(QRect(QPoint(0, 0), m_widget ? m_widget->size() : QSize()));
}

void Form::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    repaintArea(QRect(QPoint(0, 0), m_widget ? m_widget->size() : QSize()));
}

void Form::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Runtime::formLoaded(this);
    if (m_startUpPosition == StartUpPosition::CenterScreen)
        Move((Screen.Width() - m_width) / 2, (Screen.Height() - m_height) / 2);
    runEventHandler(eventName(m_name, "Load").constData(), [this] { Form_Load(); });
}

void Form::Show()
{
    if (!m_loaded)
        Load();
    if (!m_loaded || !m_widget)
        return; // unloaded by its own Load handler
    applyGeometry();
    m_widget->show();
    m_visible = true;
    if (!m_shownOnce) {
        m_shownOnce = true;
        raiseResize();
    }
}

void Form::Unload()
{
    if (!m_loaded)
        return;
    std::int16_t cancel = 0;
    runEventHandler(eventName(m_name, "Unload").constData(), [&] { Form_Unload(cancel); });
    if (cancel != 0)
        return;
    m_loaded = false;
    m_visible = false;
    m_shownOnce = false;
    m_captured = nullptr;
    m_backgroundCaptured = false;
    if (m_widget)
        m_widget->hide();
    Runtime::formUnloaded(this);
}

void Form::addWindowless(WindowlessControl* control)
{
    m_windowless.push_back(control);
}

void Form::removeWindowless(WindowlessControl* control)
{
    if (m_captured == control)
        m_captured = nullptr;
    // Controls usually go from the last one made backwards.
    auto it = std::find(m_windowless.rbegin(), m_windowless.rend(), control);
    if (it != m_windowless.rend())
        m_windowless.erase(std::next(it).base());
}

void Form::repaintArea(const QRect& pixels)
{
    if (m_widget && !pixels.isEmpty())
        m_widget->update(pixels);
}

void Form::paint(QPainter& painter, const QRect& area)
{
    painter.fillRect(area, m_backColor);
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);
    for (const WindowlessControl* control : m_windowless) {
        if (control->Visible() && control->pixelRect().intersects(area))
            control->paint(painter);
    }
}

WindowlessControl* Form::windowlessAt(const QPoint& pixel) const
{
    // The last made lies on top.
    for (auto it = m_windowless.rbegin(); it != m_windowless.rend(); ++it) {
        if ((*it)->Visible() && (*it)->pixelRect().contains(pixel))
            return *it;
    }
    return nullptr;
}

void Form::updateCursor(WindowlessControl* over)
{
    if (over && over->MouseIcon())
        m_widget->setCursor(*over->MouseIcon());
    else
        m_widget->unsetCursor();
}

void Form::mouseEvent(QMouseEvent* event)
{
    // X and Y are the pointer's position relative to where the window is now, which
    // may differ from where it was when the input arrived.
    const QPointF origin = m_widget->geometry().topLeft();
    const QPointF global = event->globalPosition();
    const Twips x = fromPixels(global.x() - origin.x());
    const Twips y = fromPixels(global.y() - origin.y());
    const QPoint pixel(static_cast<int>(std::floor(global.x() - origin.x())),
                       static_cast<int>(std::floor(global.y() - origin.y())));
    const std::int16_t shift = shiftBits(event->modifiers());
    const bool capturing = m_captured || m_backgroundCaptured;

    WindowlessControl* target = capturing ? m_captured : windowlessAt(pixel);
    MouseEventArgs args;
    args.shift = shift;
    args.x = target ? x - target->Left() : x;
    args.y = target ? y - target->Top() : y;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (!capturing) {
            m_captured = target;
            m_backgroundCaptured = !target;
            m_leftPressedOnCaptured = false;
        }
        if (event->button() == Qt::LeftButton)
            m_leftPressedOnCaptured = true;
        args.button = buttonBits(event->button());
        if (target)
            target->raiseMouseDown(args);
        else
            runEventHandler(eventName(m_name, "MouseDown").constData(),
                            [&] { Form_MouseDown(args.button, shift, x, y); });
        break;
    case QEvent::MouseMove:
        if (!capturing)
            updateCursor(target);
        args.button = buttonBits(event->buttons());
        if (target)
            target->raiseMouseMove(args);
        else
            runEventHandler(eventName(m_name, "MouseMove").constData(),
                            [&] { Form_MouseMove(args.button, shift, x, y); });
        break;
    case QEvent::MouseButtonRelease: {
        args.button = buttonBits(event->button());
        const bool clickable = event->button() == Qt::LeftButton && m_leftPressedOnCaptured;
        if (event->button() == Qt::LeftButton)
            m_leftPressedOnCaptured = false;
        if (event->buttons() == Qt::NoButton) {
            m_captured = nullptr;
            m_backgroundCaptured = false;
        }
        if (target) {
            target->raiseMouseUp(args);
            // The handler may have destroyed the control.
            const bool alive =
                std::find(m_windowless.begin(), m_windowless.end(), target) != m_windowless.end();
            if (alive && clickable && target->pixelRect().contains(pixel))
                target->raiseClick();
        } else {
            runEventHandler(eventName(m_name, "MouseUp").constData(),
                            [&] { Form_MouseUp(args.button, shift, x, y); });
        }
        break;
    }
    default:
        break;
    }
}

FormWidget::FormWidget(Form& form) : m_form(form)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    m_form.paint(painter, event->rect());
}

void FormWidget::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_form.mouseEvent(event);
}

void FormWidget::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    m_form.mouseEvent(event);
}

void FormWidget::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_form.mouseEvent(event);
}

void FormWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    m_form.mouseEvent(event);
}

void FormWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_form.windowStateChanged();
}

void FormWidget::closeEvent(QCloseEvent* event)
{
    // Closing from outside (the window manager) unloads the form like the program does.
    event->ignore();
    m_form.Unload();
}

} // namespace windowing
