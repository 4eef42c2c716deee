// Linked into a copy of the launcher for the start-up benchmark: at the main window's
// first paint it prints the monotonic time and the peak memory so far, then ends the
// process.
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

class FirstPaintProbe : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->isWindow()) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("first-paint %lld.%09ld peak-kib %ld\n", static_cast<long long>(now.tv_sec),
                        now.tv_nsec, peakResidentKiB());
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

void installProbe()
{
    qApp->installEventFilter(new FirstPaintProbe);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
