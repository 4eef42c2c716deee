// The road of a typical use: a click plays a movie over the screen above the taskbar,
// the close button goes back to the list, and from the list ends the program.
#include "MainWindowFixture.h"
#include "windowing/Runtime.h"
#include "windowing/Screen.h"

#include <QFile>

using namespace windowing;

class PlaybackTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clickPlaysOverTheScreenAndCloseReturns()
    {
        MainWindowFixture fixture({"a.swf", "b.swf", "c.swf"});
        frmMain& window = fixture.show();
        const QRectF listGeometry(window.Left(), window.Top(), window.Width(), window.Height());

        QTest::mouseClick(window.window(), Qt::LeftButton, Qt::NoModifier,
                          window.lblIndex[1].pixelRect().center());
        QCOMPARE(window.ShockwaveFlash.Movie(), fixture.folder.path() + QStringLiteral("/b.swf"));
        QVERIFY(window.ShockwaveFlash.IsPlaying());
        QVERIFY(window.ShockwaveFlash.Visible());
        QVERIFY(window.ShockwaveFlash.header().has_value());
        // No panel on this screen: the whole screen.
        QCOMPARE(QRectF(window.Left(), window.Top(), window.Width(), window.Height()),
                 QRectF(0, 0, Screen.Width(), Screen.Height()));
        QCOMPARE(window.ShockwaveFlash.Width(), Screen.Width() - 10);
        QCOMPARE(window.ShockwaveFlash.Height(), Screen.Height() - 10);
        QCOMPARE(window.picX.Left(), Screen.Width() - 470);

        window.picX_Click();
        QVERIFY(!window.ShockwaveFlash.IsPlaying());
        QVERIFY(!window.ShockwaveFlash.Visible());
        QCOMPARE(QRectF(window.Left(), window.Top(), window.Width(), window.Height()),
                 listGeometry);
        QCOMPARE(window.ShockwaveFlash.Movie(), fixture.folder.path() + QStringLiteral("/b.swf"));
        QCOMPARE(window.ShockwaveFlash.Width(), 4730.0f);
        QVERIFY(window.IsLoaded());

        window.picX_Click();
        QVERIFY(!window.IsLoaded());
        QVERIFY(Runtime::endRequested());
    }

    void theButtonsStayUsableOverThePlayingMovie()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        QTest::mouseClick(window.window(), Qt::LeftButton, Qt::NoModifier,
                          window.lblIndex[0].pixelRect().center());
        QTRY_VERIFY(window.ShockwaveFlash.hasMovie());
        // The movie has the keyboard and follows the pointer...
        QWidget* movie = window.ShockwaveFlash.widget();
        QTRY_VERIFY(movie->hasFocus());
        QVERIFY(movie->hasMouseTracking());
        QTest::mouseMove(movie, movie->rect().center());
        // ...but the close button still takes a click in its place over it.
        const QPoint close = window.picX.widget()->geometry().center();
        QCOMPARE(window.window()->childAt(close), window.picX.widget());
        QTest::mouseClick(window.window()->childAt(close), Qt::LeftButton);
        QVERIFY(!window.ShockwaveFlash.IsPlaying());
        QVERIFY(!window.ShockwaveFlash.Visible());
    }

    void closeFromAnEmptyListEndsTheProgram()
    {
        MainWindowFixture fixture;
        frmMain& window = fixture.show();
        QTest::mouseClick(window.picX.widget(), Qt::LeftButton);
        QVERIFY(!window.IsLoaded());
        QVERIFY(Runtime::endRequested());
    }

    void aMovieDeletedAfterListingStillOpensThePlayer()
    {
        MainWindowFixture fixture({"gone.swf"});
        frmMain& window = fixture.show();
        QVERIFY(QFile::remove(fixture.folder.filePath(QStringLiteral("gone.swf"))));
        window.lblIndex_Click(0);
        QVERIFY(window.ShockwaveFlash.Visible());
        QVERIFY(!window.ShockwaveFlash.failure().isEmpty());
        QCOMPARE(window.Width(), Screen.Width());
        window.picX_Click();
        QVERIFY(!window.ShockwaveFlash.Visible());
        QCOMPARE(window.Width(), 4740.0f);
    }

    void aSecondClickReplacesTheMovie()
    {
        MainWindowFixture fixture({"a.swf", "b.swf"});
        frmMain& window = fixture.show();
        window.lblIndex_Click(0);
        window.lblIndex_Click(1);
        QCOMPARE(window.ShockwaveFlash.Movie(), fixture.folder.path() + QStringLiteral("/b.swf"));
        QVERIFY(window.ShockwaveFlash.Visible());
    }

    void minimiseButtonMinimises()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        QTest::mouseClick(window.picMin.widget(), Qt::LeftButton);
        QCOMPARE(window.WindowState(), kStateMinimized);
        QVERIFY(window.IsLoaded());
    }
};

QTEST_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
