#include "mAlphaIconApp.h"

#include "windowing/Application.h"
#include "windowing/WindowIcons.h"

namespace mAlphaIconApp {

using namespace windowing;

void SetWindowIcons(WindowHandle hWnd, QString IconName, Boolean ApplyToOwner)
{
    const QString name = IconName;
    const bool toOwner = isTrue(ApplyToOwner);

    WindowHandle topOwner = hWnd;
    if (toOwner) {
        while (topOwner) {
            WindowHandle owner = windowOwner(topOwner);
            if (!owner)
                break;
            topOwner = owner;
        }
    }

    for (IconKind kind : {IconKind::Big, IconKind::Small}) {
        const QSize size = iconSize(kind);
        const QPixmap icon = loadIcon(App.hInstance(), name, size);
        if (toOwner)
            setWindowIcon(topOwner, kind, icon);
        setWindowIcon(hWnd, kind, icon);
    }
}

} // namespace mAlphaIconApp
