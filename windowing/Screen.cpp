#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace windowing {

namespace {

QSize primarySize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

} // namespace

Twips ScreenObject::Width() const
{
    return fromPixels(primarySize().width());
}

Twips ScreenObject::Height() const
{
    return fromPixels(primarySize().height());
}

} // namespace windowing
