// The list built from the program's folder: entries, their geometry, the window sized
// to them and centred, and the highlight that follows the pointer.
#include "MainWindowFixture.h"
#include "windowing/Screen.h"

#include <QMouseEvent>

using namespace windowing;

namespace {

void moveTo(QWidget* widget, QPoint pixel, Qt::MouseButtons buttons = Qt::NoButton)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(pixel), QPointF(widget->mapToGlobal(pixel)),
                      Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class MovieListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyFolderKeepsTheDesignGeometry()
    {
        MainWindowFixture fixture;
        fixture.addMovie(QStringLiteral("not a movie.txt"));
        frmMain& window = fixture.show();
        QVERIFY(!window.lblIndex[0].Visible());
        QCOMPARE(window.lblIndex.Count(), std::int16_t(1));
        QCOMPARE(window.Width(), 4710.0f);
        QCOMPARE(window.Height(), 2010.0f);
        QCOMPARE(window.Left(), (Screen.Width() - 4710) / 2);
        QCOMPARE(window.Top(), (Screen.Height() - 2010) / 2);
        QVERIFY(!window.ShockwaveFlash.Visible());
    }

    void oneMovie()
    {
        MainWindowFixture fixture({QStringLiteral("Intro.swf")});
        frmMain& window = fixture.show();
        const Label& entry = window.lblIndex[0];
        QVERIFY(entry.Visible());
        QCOMPARE(entry.Caption(), QStringLiteral("Intro"));
        QCOMPARE(QPointF(entry.Left(), entry.Top()), QPointF(255, 570));
        QCOMPARE(entry.Height(), 210.0f);
        QCOMPARE(entry.Tag(), fixture.folder.path() + QStringLiteral("/Intro.swf"));
        QCOMPARE(window.Width(), 4740.0f);
        QCOMPARE(window.Height(), 570.0f + 210 + 300);
        QCOMPARE(window.Left(), (Screen.Width() - 4740) / 2);
        QCOMPARE(window.Top(), (Screen.Height() - 1080) / 2);
    }

    void threeMoviesInAColumn()
    {
        MainWindowFixture fixture({"c.swf", "a.swf", "b.swf", "part.one.swf"});
        frmMain& window = fixture.show();
        QCOMPARE(window.lblIndex.Count(), std::int16_t(4));
        const QStringList captions = {"a", "b", "c", "part.one"};
        for (std::int16_t i = 0; i < 4; ++i) {
            const Label& entry = window.lblIndex[i];
            QCOMPARE(entry.Caption(), captions[i]);
            QVERIFY(entry.Visible());
            QCOMPARE(entry.Left(), 255.0f);
            QCOMPARE(entry.Top(), 570.0f + i * (210 + 90));
            QCOMPARE(entry.Tag(), fixture.folder.path() + "/" + captions[i] + ".swf");
        }
        QCOMPARE(window.Height(), 570.0f + 3 * 300 + 210 + 300);
    }

    void longTitleWidensItsLabel()
    {
        MainWindowFixture fixture(
            {"A very long movie title that needs more than the design width.swf"});
        frmMain& window = fixture.show();
        QVERIFY(window.lblIndex[0].Width() > 525 * 4);
    }

    void unusualNamesAreListed()
    {
        MainWindowFixture fixture({QString::fromUtf8("Ça va \"déjà\" vu.swf"),
                                   QStringLiteral("back\\slash.swf"),
                                   QStringLiteral("new\nline.swf")});
        frmMain& window = fixture.show();
        QCOMPARE(window.lblIndex.Count(), std::int16_t(3));
        QStringList captions;
        for (std::int16_t i = 0; i < 3; ++i)
            captions << window.lblIndex[i].Caption();
        QVERIFY(captions.contains(QStringLiteral("back\\slash")));
        QVERIFY(captions.contains(QStringLiteral("new\nline")));
        QVERIFY(captions.contains(QString::fromUtf8("Ça va \"déjà\" vu")));
    }

    void hoverHighlightsOneEntry()
    {
        MainWindowFixture fixture({"a.swf", "b.swf", "c.swf"});
        frmMain& window = fixture.show();
        moveTo(window.window(), window.lblIndex[1].pixelRect().center());
        QCOMPARE(window.lblIndex[0].ForeColor(), kSilver);
        QCOMPARE(window.lblIndex[1].ForeColor(), kCyan);
        moveTo(window.window(), window.lblIndex[2].pixelRect().center());
        QCOMPARE(window.lblIndex[1].ForeColor(), kSilver);
        QCOMPARE(window.lblIndex[2].ForeColor(), kCyan);
        // Onto the background: every entry silver again.
        moveTo(window.window(), QPoint(5, 300 / 15 + 40));
        for (std::int16_t i = 0; i < 3; ++i)
            QCOMPARE(window.lblIndex[i].ForeColor(), kSilver);
    }

    void highlightEntryDirectly()
    {
        MainWindowFixture fixture({"a.swf", "b.swf"});
        frmMain& window = fixture.show();
        window.HighlightEntry(1);
        QCOMPARE(window.lblIndex[1].ForeColor(), kCyan);
        window.HighlightEntry(-7);
        QCOMPARE(window.lblIndex[1].ForeColor(), kSilver);
        QCOMPARE(window.lblIndex[0].ForeColor(), kSilver);
        bool raised = false;
        try {
            window.HighlightEntry(5); // no such entry
        } catch (const RuntimeError& error) {
            raised = error.number() == ErrorNumber::ElementMissing;
        }
        QVERIFY(raised);
    }

    void tallListCentresAboveTheScreen()
    {
        MainWindowFixture fixture;
        for (int i = 0; i < 60; ++i)
            fixture.addMovie(QStringLiteral("movie %1.swf").arg(i));
        frmMain& window = fixture.show();
        QCOMPARE(window.lblIndex.Count(), std::int16_t(60));
        QVERIFY(window.Height() > Screen.Height());
        QVERIFY(window.Top() < 0);
        QCOMPARE(window.lblIndex[59].Caption(), QStringLiteral("movie 59"));
    }
};

QTEST_MAIN(MovieListTest)
#include "MovieListTest.moc"
