#include "mMain.h"

#include "ui/frmMain.h"
#include "windowing/Application.h"

namespace mMain {

void Main()
{
    if (windowing::App.PrevInstance())
        return;
    StrictErrors = windowing::False;
    // Built one character at a time rather than kept as one literal.
    AppCaption.clear();
    for (char16_t code : {77, 121, 32, 80, 114, 111, 106, 101, 99, 116})
        AppCaption += QChar(code);
    if (!frmMainInstance.exists())
        frmMainInstance.create();
    frmMainInstance->Show();
}

} // namespace mMain
