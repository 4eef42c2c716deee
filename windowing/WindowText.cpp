#include "WindowText.h"

namespace windowing {

void setWindowText(WindowHandle window, const QString& text)
{
    if (window)
        window->setWindowTitle(text);
}

} // namespace windowing
