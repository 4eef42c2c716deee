// The window's own chrome: the layout after every resize, dragging by the background
// and the minimise button.
#include "MainWindowFixture.h"
#include "windowing/Runtime.h"

#include <QMouseEvent>

using namespace windowing;

namespace {

QRectF geometry(const Control& c)
{
    return QRectF(c.Left(), c.Top(), c.Width(), c.Height());
}

void post(QWidget* widget, QEvent::Type type, QPoint pixel, Qt::MouseButton button,
          Qt::MouseButtons buttons)
{
    QCoreApplication::postEvent(widget, new QMouseEvent(type, QPointF(pixel),
                                                        QPointF(widget->mapToGlobal(pixel)), button,
                                                        buttons, Qt::NoModifier));
}

} // namespace

class ChromeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutAfterResize()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(0, 0, 4740, 3000);
        QCOMPARE(geometry(window.ShockwaveFlash), QRectF(5, 5, 4730, 2990));
        QCOMPARE(geometry(window.picX), QRectF(4270, 100, 240, 240));
        QCOMPARE(geometry(window.picMin), QRectF(3880, 100, 240, 240));
    }

    void narrowWindowsGiveNoNegativeSizes()
    {
        MainWindowFixture fixture;
        frmMain& window = fixture.show();
        window.Move(0, 0, 300, 8);
        QCOMPARE(window.ShockwaveFlash.Width(), 290.0f);
        QCOMPARE(window.ShockwaveFlash.Height(), 0.0f);
        QCOMPARE(window.picX.Left(), 300.0f - 470);
        QCOMPARE(window.picMin.Left(), 300.0f - 470 - 390);
    }

    void dragExample()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        window.Form_MouseDown(1, 0, 1200, 450);
        QVERIFY(window.Dragging);
        window.Form_MouseMove(1, 0, 1260, 420);
        QCOMPARE(window.NewLeft, 3060.0f);
        QCOMPARE(window.NewTop, 1970.0f);
        QCOMPARE(window.Left(), 3060.0f);
        QCOMPARE(window.Top(), 1970.0f);
        window.Form_MouseUp(1, 0, 1260, 420);
        QVERIFY(!window.Dragging);
        window.Form_MouseMove(0, 0, 2000, 2000);
        QCOMPARE(window.Left(), 3060.0f);
    }

    void anyButtonStartsADragAndMovesWithoutButtonsFollow()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        window.Form_MouseMove(0, 0, 500, 500); // before any press: no drag
        QCOMPARE(window.Left(), 3000.0f);
        window.Form_MouseDown(4, 3, 1200.5f, 1201.5f); // middle button with shift and ctrl
        QCOMPARE(window.DragX, 1200);
        QCOMPARE(window.DragY, 1202);
        window.Form_MouseMove(0, 0, 1300.5f, 1201.5f); // no button held
        QCOMPARE(window.Left(), 3100.5f);
    }

    void realEventsDragTheWindow()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        QWidget* widget = window.window();
        QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(80, 8));
        QTest::mouseMove(widget, QPoint(84, 6));
        QCOMPARE(window.Left(), 3000.0f + 4 * 15);
        QCOMPARE(window.Top(), 2000.0f - 2 * 15);
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(80, 8));
        QVERIFY(!window.Dragging);
    }

    void nestedDragStepsApplyTheLatestPosition()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        window.Form_MouseDown(1, 0, 1200, 450);
        // Moves queued while a drag step runs are handled inside its event pump, each
        // nested in the one before; a release among them does not stop the outer steps
        // from applying their move. The window is still where it was when each nested
        // step computes, so the last one queued, at (1350, 540) twips, gives the
        // position that every step then applies: not the outer step's own (3015, 2000),
        // nor the first queued one's (3075, 2030).
        QWidget* widget = window.window();
        post(widget, QEvent::MouseMove, QPoint(85, 32), Qt::NoButton, Qt::LeftButton);
        post(widget, QEvent::MouseMove, QPoint(90, 36), Qt::NoButton, Qt::LeftButton);
        post(widget, QEvent::MouseButtonRelease, QPoint(90, 36), Qt::LeftButton, Qt::NoButton);
        window.Form_MouseMove(1, 0, 1215, 450);
        QVERIFY(!window.Dragging);
        QCOMPARE(window.NewLeft, 3150.0f);
        QCOMPARE(window.NewTop, 2090.0f);
        QCOMPARE(window.Left(), 3150.0f);
        QCOMPARE(window.Top(), 2090.0f);
        QCOMPARE(widget->pos(), QPoint(210, 139));
    }

    void failingStepsAreSkippedWhileStrictErrorsIsFalse()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        window.Form_MouseDown(1, 0, 0, 450);
        // A left beyond what the platform can take fails; the top is still set.
        window.Form_MouseMove(1, 0, 3.0e37f, 400);
        QCOMPARE(window.NewLeft, 3.0e37f);
        QCOMPARE(window.Left(), 3000.0f);
        QCOMPARE(window.Top(), 1950.0f);
    }

    void strictErrorsEndsTheHandlerAtTheFirstError()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        window.Move(3000, 2000);
        window.Form_MouseDown(1, 0, 0, 450);
        mMain::StrictErrors = True;
        bool raised = false;
        try {
            window.Form_MouseMove(1, 0, 3.0e37f, 400);
        } catch (const RuntimeError&) {
            raised = true;
        }
        mMain::StrictErrors = False;
        QVERIFY(raised);
        QCOMPARE(window.Top(), 2000.0f);
    }

    void minimiseRunsTheLayoutBothWays()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        // Disturb the layout, then let minimising and restoring lay it out again.
        window.picX.Move(0, 0);
        window.picMin_Click();
        QCOMPARE(window.WindowState(), kStateMinimized);
        QCOMPARE(window.picX.Left(), window.Width() - 470);
        window.picX.Move(0, 0);
        window.setWindowState(kStateNormal);
        QCOMPARE(window.picX.Left(), window.Width() - 470);
    }

    void loadGivesTitleBorderAndIcons()
    {
        MainWindowFixture fixture({"a.swf"});
        frmMain& window = fixture.show();
        QCOMPARE(window.Caption(), QStringLiteral("My Project"));
        QCOMPARE(window.BorderStyle(), kBorderNone);
        QVERIFY(window.window()->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!window.window()->windowIcon().isNull());
        QVERIFY(!window.ShockwaveFlash.Visible());
        QCOMPARE(window.ShockwaveFlash.BackgroundColor(), 0);
        QCOMPARE(window.ShockwaveFlash.ScaleMode(), 2);
    }
};

QTEST_MAIN(ChromeTest)
#include "ChromeTest.moc"
