#pragma once

#include "windowing/Boolean.h"
#include "windowing/Form.h"

#include <QString>

// The window's icons from the program's icon groups.
namespace mAlphaIconApp {

// Gives `hWnd` its big and its small icon from the icon group `IconName`, each at the
// size the platform prescribes for that kind. With `ApplyToOwner` True, the top of the
// window's owner chain gets them too (the intermediate owners do not). A name that
// names no group leaves the windows with no icons; a handle of none changes nothing.
void SetWindowIcons(windowing::WindowHandle hWnd, QString IconName,
                    windowing::Boolean ApplyToOwner);

} // namespace mAlphaIconApp
