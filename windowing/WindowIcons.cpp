#include "WindowIcons.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QStyle>
#include <QWindow>

namespace windowing {

namespace {

const char* propertyFor(IconKind kind)
{
    return kind == IconKind::Big ? "reelvane.bigIcon" : "reelvane.smallIcon";
}

QString findGroupFolder(const ModuleHandle& module, const QString& name)
{
    const QDir groups(module.resourceRoot + QStringLiteral("icons"));
    for (const QString& entry : groups.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return groups.filePath(entry);
    }
    return {};
}

} // namespace

QSize iconSize(IconKind kind)
{
    const QStyle* style = QApplication::style();
    const int side = style->pixelMetric(kind == IconKind::Big ? QStyle::PM_LargeIconSize
                                                              : QStyle::PM_SmallIconSize);
    return QSize(side, side);
}

QPixmap loadIcon(const ModuleHandle& module, const QString& name, QSize size)
{
    if (module.isNull() || name.isEmpty() || size.isEmpty())
        return {};
    const QString folder = findGroupFolder(module, name);
    if (folder.isEmpty())
        return {};
    // Images are named by their size: 16.png, 32.png...
    int best = 0;
    int largest = 0;
    for (const QString& file : QDir(folder).entryList(QDir::Files)) {
        const int side = QFileInfo(file).baseName().toInt();
        largest = std::max(largest, side);
        if (side >= size.width() && (best == 0 || side < best))
            best = side;
    }
    if (best == 0)
        best = largest;
    if (best == 0)
        return {};
    QPixmap image(QStringLiteral("%1/%2.png").arg(folder).arg(best));
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QPixmap windowIcon(WindowHandle window, IconKind kind)
{
    if (!window)
        return {};
    return window->property(propertyFor(kind)).value<QPixmap>();
}

QPixmap setWindowIcon(WindowHandle window, IconKind kind, const QPixmap& icon)
{
    if (!window)
        return {};
    const QPixmap previous = windowIcon(window, kind);
    window->setProperty(propertyFor(kind), icon.isNull() ? QVariant() : QVariant(icon));
    QIcon both;
    for (IconKind k : {IconKind::Big, IconKind::Small}) {
        const QPixmap image = windowIcon(window, k);
        if (!image.isNull())
            both.addPixmap(image);
    }
    window->setWindowIcon(both);
    return previous;
}

WindowHandle windowOwner(WindowHandle window)
{
    if (!window || !window->isWindow())
        return nullptr;
    if (QWidget* parent = window->parentWidget())
        return parent->window();
    const QWindow* handle = window->windowHandle();
    const QWindow* transientParent = handle ? handle->transientParent() : nullptr;
    if (!transientParent)
        return nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->windowHandle() == transientParent)
            return candidate;
    }
    return nullptr;
}

} // namespace windowing
