#include "DesignResources.h"

#include <QBitmap>

// Resources linked from a static library register only when asked for by name.
static void initResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace ui::design {

QPixmap banner()
{
    initResources();
    return QPixmap(QStringLiteral(":/frmMain/banner.png"));
}

QPixmap minimiseGlyph()
{
    initResources();
    return QPixmap(QStringLiteral(":/frmMain/minimise.png"));
}

QPixmap closeGlyph()
{
    initResources();
    return QPixmap(QStringLiteral(":/frmMain/close.png"));
}

QCursor handCursor()
{
    initResources();
    return QCursor(QPixmap(QStringLiteral(":/frmMain/hand.png")), 5, 0);
}

QIcon windowIcon()
{
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/1/32.png"));
    icon.addFile(QStringLiteral(":/icons/1/16.png"));
    return icon;
}

} // namespace ui::design
