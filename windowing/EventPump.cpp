#include "EventPump.h"

#include <QCoreApplication>

namespace windowing {

void DoEvents()
{
    static int nesting = 0;
    if (nesting >= kMaxPumpNesting)
        return;
    ++nesting;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    --nesting;
}

} // namespace windowing
