#pragma once

#include "Application.h"
#include "Form.h"

#include <QPixmap>
#include <QSize>
#include <QString>

namespace windowing {

// A window holds two icons side by side: the big one (task switcher, taskbar) and the
// small one (title bar), each replaced on its own.
enum class IconKind { Big, Small };

// The size the platform prescribes for each kind: the style's large and small icon sizes.
QSize iconSize(IconKind kind);

// The image of the icon group `name` (looked up without regard to case) that serves
// `size`: the smallest one at least that large, else the largest, scaled to the size.
// Null when the module has no such group.
QPixmap loadIcon(const ModuleHandle& module, const QString& name, QSize size);

// Gives `window` the icon of one kind (a null pixmap removes it) and returns the one
// it had. The icon goes to the widget, so it survives a change of window flags; no
// application-wide icon is set. A handle of none changes nothing.
QPixmap setWindowIcon(WindowHandle window, IconKind kind, const QPixmap& icon);
QPixmap windowIcon(WindowHandle window, IconKind kind);

// The window that owns `window`: its parent window, or the window it is transient
// for; none for a window without an owner and for a control.
WindowHandle windowOwner(WindowHandle window);

} // namespace windowing
