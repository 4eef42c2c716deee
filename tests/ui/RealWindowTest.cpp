// The real window on an X server: what is painted where, as a person sees it. Each
// view is grabbed from the screen and saved beside the test (list-view.png,
// movie-view.png) for a look.
#include "MainWindowFixture.h"
#include "windowing/Screen.h"

#include <QScreen>

using namespace windowing;

namespace {

QImage grabScreen()
{
    QCoreApplication::processEvents();
    QTest::qWait(200);
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

bool near(QColor a, QColor b, int tolerance = 2)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class RealWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listAndMovieViewsOnScreen()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        MainWindowFixture fixture({"Circles.swf", "Squares.swf", "Waves.swf"});
        frmMain& window = fixture.show();
        QVERIFY(QTest::qWaitForWindowExposed(window.window()));

        const QImage list = grabScreen();
        list.save(QStringLiteral("list-view.png"));
        const QPoint origin(toPixels(window.Left()), toPixels(window.Top()));
        QCOMPARE(window.window()->geometry().topLeft(), origin);
        // The dark background and the banner's gradient column, right of the buttons.
        QVERIFY(near(list.pixelColor(origin + QPoint(200, 100)), QColor(0x13, 0x14, 0x1a)));
        QVERIFY(near(list.pixelColor(origin + QPoint(310, 0)), QColor(0x1c, 0x1e, 0x20)));
        QVERIFY(near(list.pixelColor(origin + QPoint(310, 17)), QColor(0x6c, 0x71, 0x78)));
        QVERIFY(near(list.pixelColor(origin + QPoint(310, 33)), QColor(0x21, 0x23, 0x26)));
        // Beyond the window, the bare screen.
        QVERIFY(!near(list.pixelColor(origin + QPoint(320, 50)), QColor(0x13, 0x14, 0x1a)));
        // Some silver text in the first entry.
        const QRect entry = window.lblIndex[0].pixelRect().translated(origin);
        bool silver = false;
        for (int y = entry.top(); y <= entry.bottom() && !silver; ++y) {
            for (int x = entry.left(); x <= entry.right() && !silver; ++x)
                silver = near(list.pixelColor(x, y), QColor(0xc0, 0xc0, 0xc0), 4);
        }
        QVERIFY(silver);

        window.lblIndex_Click(1);
        QTRY_VERIFY(window.ShockwaveFlash.hasMovie());
        const QImage movie = grabScreen();
        movie.save(QStringLiteral("movie-view.png"));
        QCOMPARE(window.window()->geometry(),
                 QRect(0, 0, toPixels(Screen.Width()), toPixels(Screen.Height())));
        // The movie stretched over the window (5 twips in, under a pixel): its red quarter
        // at the top left;
        // elsewhere the black the player gives in place of the movie's own background; and
        // the red close button at the top right.
        QVERIFY(near(movie.pixelColor(400, 300), QColor(255, 0, 0)));
        QVERIFY(near(movie.pixelColor(950, 530), QColor(255, 0, 0)));
        QVERIFY(near(movie.pixelColor(970, 550), Qt::black));
        QVERIFY(near(movie.pixelColor(1400, 800), Qt::black));
        const QPoint close(toPixels(window.picX.Left()) + 8, toPixels(window.picX.Top()) + 12);
        QVERIFY(movie.pixelColor(close).red() > 150 && movie.pixelColor(close).green() < 120);
    }
};

QTEST_MAIN(RealWindowTest)
#include "RealWindowTest.moc"
