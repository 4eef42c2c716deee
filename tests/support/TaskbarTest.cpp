#include "support/mTaskBarSize.h"

#include <QGuiApplication>
#include <QtTest>

using mTaskBarSize::RECT;
using mTaskBarSize::taskbarRectFrom;

Q_DECLARE_METATYPE(RECT)

class TaskbarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void panelAtEachEdge_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<RECT>("expected");
        const QRect screen(0, 0, 1920, 1080);
        QTest::newRow("bottom") << screen << QRect(0, 0, 1920, 1040) << RECT{0, 1040, 1920, 1080};
        QTest::newRow("top") << screen << QRect(0, 30, 1920, 1050) << RECT{0, 0, 1920, 30};
        QTest::newRow("left") << screen << QRect(64, 0, 1856, 1080) << RECT{0, 0, 64, 1080};
        QTest::newRow("right") << screen << QRect(0, 0, 1870, 1080) << RECT{1870, 0, 1920, 1080};
        QTest::newRow("none") << screen << screen << RECT{};
        QTest::newRow("largest of two")
            << screen << QRect(0, 24, 1856, 1056) << RECT{1856, 0, 1920, 1080};
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
        const RECT r = taskbarRectFrom(screen, available);
        QCOMPARE(r, expected);
    }

    void heightOfABottomPanel()
    {
        const RECT r = taskbarRectFrom(QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040));
        QCOMPARE(r.Bottom - r.Top, 40);
    }

    void sidePanelSpansTheScreenHeight()
    {
        const RECT r = taskbarRectFrom(QRect(0, 0, 1920, 1080), QRect(64, 0, 1856, 1080));
        QCOMPARE(r.Bottom - r.Top, 1080);
    }

    void screenWithoutAPanelGivesZeros()
    {
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv); // the offscreen platform: no panel
        QCOMPARE(mTaskBarSize::GetTaskbarRect(), RECT{});
    }
};

QTEST_APPLESS_MAIN(TaskbarTest)
#include "TaskbarTest.moc"
