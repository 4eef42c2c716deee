#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The pictures of the main window's design, from the program's embedded resources.
namespace ui::design {

QPixmap banner();
QPixmap minimiseGlyph();
QPixmap closeGlyph();
// The hand cursor, its hot spot at the fingertip (5, 0).
QCursor handCursor();
// Icon group 1: the red sphere, 32 and 16 pixels.
QIcon windowIcon();

} // namespace ui::design
