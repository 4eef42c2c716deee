// The shared state of module mMain, apart from Main so that the window, which reads it,
// does not depend on start-up.
#include "mMain.h"

namespace mMain {

QString AppCaption;
windowing::Boolean StrictErrors = windowing::False;

} // namespace mMain
