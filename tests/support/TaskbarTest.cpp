#include "support/mTaskBarSize.h"

#include <QtTest>

using mTaskBarSize::RECT;
using mTaskBarSize::ScreenAreas;

Q_DECLARE_METATYPE(RECT)

namespace {

const QRect kScreen(0, 0, 1920, 1080);
const QRect kAboveBottomPanel(0, 0, 1920, 1040);
const RECT kBottomPanel{0, 1040, 1920, 1080};

} // namespace

class TaskbarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void panelAtEachEdge_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<RECT>("expected");
        QTest::newRow("bottom") << kScreen << kAboveBottomPanel << kBottomPanel;
        QTest::newRow("top") << kScreen << QRect(0, 30, 1920, 1050) << RECT{0, 0, 1920, 30};
        QTest::newRow("left") << kScreen << QRect(64, 0, 1856, 1080) << RECT{0, 0, 64, 1080};
        QTest::newRow("right") << kScreen << QRect(0, 0, 1870, 1080) << RECT{1870, 0, 1920, 1080};
        QTest::newRow("none") << kScreen << kScreen << RECT{};
        // Of two free bands the larger wins, whichever edge comes first.
        QTest::newRow("larger at the right, smaller at the top")
            << kScreen << QRect(0, 24, 1856, 1056) << RECT{1856, 0, 1920, 1080};
        QTest::newRow("larger at the bottom, smaller at the right")
            << kScreen << QRect(0, 0, 1900, 1040) << kBottomPanel;
        QTest::newRow("negative coordinates")
            << QRect(-1280, -200, 1280, 1024) << QRect(-1280, -200, 1280, 984)
            << RECT{-1280, 784, 0, 824};
        QTest::newRow("no screen") << QRect() << QRect() << RECT{};
    }
    void panelAtEachEdge()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, available);
        QFETCH(RECT, expected);
        QCOMPARE(mTaskBarSize::taskbarRectFrom(screen, available), expected);
    }

    // What GetTaskbarRect makes of the platform and its primary screen: the offscreen
    // platform the tests run on has neither a panel nor another name, so the cases
    // are given here.
    void platformAndScreen_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<bool>("hasScreen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<RECT>("expected");
        QTest::newRow("X11 with a panel") << "xcb" << true << kAboveBottomPanel << kBottomPanel;
        QTest::newRow("X11 without a panel") << "xcb" << true << kScreen << RECT{};
        QTest::newRow("X11 without a screen") << "xcb" << false << kAboveBottomPanel << RECT{};
        QTest::newRow("offscreen with a panel")
            << "offscreen" << true << kAboveBottomPanel << kBottomPanel;
        QTest::newRow("Wayland") << "wayland" << true << kAboveBottomPanel << RECT{};
        QTest::newRow("Wayland over EGL") << "wayland-egl" << true << kAboveBottomPanel << RECT{};
    }
    void platformAndScreen()
    {
        QFETCH(QString, platform);
        QFETCH(bool, hasScreen);
        QFETCH(QRect, available);
        QFETCH(RECT, expected);
        std::optional<ScreenAreas> primary;
        if (hasScreen)
            primary = ScreenAreas{kScreen, available};
        QCOMPARE(mTaskBarSize::taskbarRectOn(platform, primary), expected);
    }
};

QTEST_APPLESS_MAIN(TaskbarTest)
#include "TaskbarTest.moc"
