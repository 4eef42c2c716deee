#pragma once

#include "Form.h"

#include <QString>

namespace windowing {

// Gives a window its title text; a handle of none changes nothing.
void setWindowText(WindowHandle window, const QString& text);

} // namespace windowing
