#include "Version.h"
#include "mMain.h"
#include "windowing/Runtime.h"

int main()
{
    // The arguments are ignored: the runtime starts and calls Main once.
    return windowing::Runtime::run(mMain::Main);
}
