#pragma once

#include "windowing/Boolean.h"

#include <QString>

// Start-up and the program's shared state.
namespace mMain {

// The window's title text, set once by Main.
extern QString AppCaption;
// While False, the window's drag handler skips a failing step and goes on.
extern windowing::Boolean StrictErrors;

// The start-up procedure: ends at once when an earlier instance runs; otherwise sets
// the shared state and shows the main window.
void Main();

} // namespace mMain
