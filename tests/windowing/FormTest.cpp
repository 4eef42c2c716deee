// Forms and controls as the program sees them: twips properties, the Visible flag,
// the synchronous Resize event, control arrays, and mouse events that belong to the
// control under the pointer alone.
#include "windowing/Form.h"

#include "windowing/ControlArray.h"
#include "windowing/Label.h"
#include "windowing/PictureBox.h"
#include "windowing/Runtime.h"

#include <QMouseEvent>
#include <QtTest>

using namespace windowing;

namespace {

class TestForm : public Form {
public:
    TestForm() : Form(QStringLiteral("frmTest")), picBox(*this, "picBox"), lblItem(*this, "lblItem")
    {
        Move(1500, 1500, 4500, 3000);
        picBox.Move(3000, 150, 300, 300);
        lblItem[0].setAutoSize(true);
        lblItem[0].Move(300, 600);
        lblItem[0].setCaption(QStringLiteral("Item"));
        picBox.Click = [this] { events << "picBox.Click"; };
        picBox.MouseMove = [this](const MouseEventArgs&) { events << "picBox.MouseMove"; };
        lblItem.Click = [this](std::int16_t i) {
            events << QStringLiteral("lblItem(%1).Click").arg(i);
        };
        lblItem.MouseDown = [this](std::int16_t i, const MouseEventArgs& a) {
            events << QStringLiteral("lblItem(%1).MouseDown %2").arg(i).arg(a.button);
        };
        lblItem.MouseMove = [this](std::int16_t i, const MouseEventArgs& a) {
            events << QStringLiteral("lblItem(%1).MouseMove %2,%3").arg(i).arg(a.x).arg(a.y);
        };
    }

    PictureBox picBox;
    ControlArray<Label> lblItem;
    QStringList events;
    int resizes = 0;
    QList<QSizeF> resizeSizes;
    std::int16_t cancelUnload = 0;
    float lastX = -1, lastY = -1;
    std::int16_t lastButton = -1, lastShift = -1;

protected:
    void Form_Initialize() override { events << "Initialize"; }
    void Form_Load() override { events << "Load"; }
    void Form_Resize() override
    {
        ++resizes;
        resizeSizes << QSizeF(Width(), Height());
    }
    void Form_Unload(std::int16_t& cancel) override
    {
        events << "Unload";
        cancel = cancelUnload;
    }
    void Form_MouseDown(std::int16_t button, std::int16_t shift, Twips x, Twips y) override
    {
        record("Form.MouseDown", button, shift, x, y);
    }
    void Form_MouseMove(std::int16_t button, std::int16_t shift, Twips x, Twips y) override
    {
        record("Form.MouseMove", button, shift, x, y);
    }
    void Form_MouseUp(std::int16_t button, std::int16_t shift, Twips x, Twips y) override
    {
        record("Form.MouseUp", button, shift, x, y);
    }

private:
    void record(const char* what, std::int16_t button, std::int16_t shift, Twips x, Twips y)
    {
        events << QString::fromLatin1(what);
        lastButton = button;
        lastShift = shift;
        lastX = x;
        lastY = y;
    }
};

void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               std::optional<QPointF> global = {})
{
    const QPointF g = global ? *global : QPointF(target->mapToGlobal(local));
    QMouseEvent event(type, QPointF(local), g, button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

} // namespace

class FormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initializeOnCreationLoadBeforeFirstShow()
    {
        auto form = Form::create<TestForm>();
        QCOMPARE(form->events, QStringList({"Initialize"}));
        QVERIFY(!form->IsLoaded());
        form->Show();
        QCOMPARE(form->events, QStringList({"Initialize", "Load"}));
        QCOMPARE(form->resizes, 1); // the first show
        QVERIFY(form->Visible());
    }

    void resizeIsSynchronousAndOnlyForChanges()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        form->resizes = 0;
        form->setWidth(4740);
        QCOMPARE(form->resizes, 1);
        QCOMPARE(form->resizeSizes.last(), QSizeF(4740, 3000));
        form->setWidth(4740);
        form->setLeft(0);
        form->Move(10, 10);
        QCOMPARE(form->resizes, 1);
        form->Move(0, 0, 6000, 4000);
        QCOMPARE(form->resizes, 2); // one event for both dimensions
    }

    void propertiesKeepTheTwipsLastSet()
    {
        auto form = Form::create<TestForm>();
        form->Move(1001, 1002, 4741, 2011);
        QCOMPARE(form->Width(), 4741.0f);
        QCOMPARE(form->Left(), 1001.0f);
        QCOMPARE(form->window()->width(), 316);
        QCOMPARE(form->window()->height(), 134);
        QCOMPARE(form->window()->x(), 67);
        form->lblItem[0].Move(22.5f, 7.5f);
        QCOMPARE(form->lblItem[0].Left(), 22.5f);
        QCOMPARE(form->lblItem[0].pixelRect().topLeft(), QPoint(2, 0));
    }

    void windowIsClampedToThePlatformLimit()
    {
        auto form = Form::create<TestForm>();
        form->setHeight(600000); // 40,000 pixels
        QCOMPARE(form->Height(), 600000.0f);
        QCOMPARE(form->window()->height(), kMaxWindowPixels);
        form->setTop(-700000);
        QCOMPARE(form->Top(), -700000.0f);
        QCOMPARE(form->window()->y(), -kMaxWindowPixels - 1);
    }

    void visibleReadsTheControlsOwnFlag()
    {
        auto form = Form::create<TestForm>(); // not shown
        QVERIFY(form->picBox.Visible());
        QVERIFY(!form->picBox.widget()->isVisible());
        form->picBox.setVisible(false);
        QVERIFY(!form->picBox.Visible());
        form->Show();
        QVERIFY(!form->picBox.widget()->isVisible());
        form->picBox.setVisible(true);
        QVERIFY(form->picBox.widget()->isVisible());
    }

    void controlsMadeEarlierLieAbove()
    {
        auto form = Form::create<TestForm>();
        PictureBox later(*form, QStringLiteral("picLater"));
        later.Move(0, 0, 4500, 3000);
        form->Show();
        const QPoint onBoth = form->picBox.widget()->geometry().center();
        QCOMPARE(form->window()->childAt(onBoth), form->picBox.widget());
    }

    void minimisingAndRestoringRaiseResize()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        form->resizes = 0;
        form->setWindowState(kStateMinimized);
        QCOMPARE(form->resizes, 1);
        QCOMPARE(form->WindowState(), kStateMinimized);
        form->setWindowState(kStateMinimized);
        QCOMPARE(form->resizes, 1);
        form->setWindowState(kStateNormal);
        QCOMPARE(form->resizes, 2);
    }

    void unloadCanBeCancelled()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        form->cancelUnload = -1;
        form->Unload();
        QVERIFY(form->IsLoaded());
        form->cancelUnload = 0;
        form->Unload();
        QVERIFY(!form->IsLoaded());
        QVERIFY(!form->window()->isVisible());
        QVERIFY(Runtime::endRequested());
        QCOMPARE(form->events.count("Unload"), 2);
    }

    void controlArrayElementsAreHiddenCopiesOfElementZero()
    {
        auto form = Form::create<TestForm>();
        Label& first = form->lblItem[0];
        first.setForeColor(0xC0C0C0);
        first.setTag(QStringLiteral("tag"));
        form->lblItem.Load(1);
        Label& copy = form->lblItem[1];
        QVERIFY(!copy.Visible());
        QCOMPARE(copy.Caption(), QStringLiteral("Item"));
        QCOMPARE(copy.Tag(), QStringLiteral("tag"));
        QCOMPARE(copy.ForeColor(), 0xC0C0C0);
        QCOMPARE(copy.Font(), first.Font());
        QCOMPARE(copy.Left(), first.Left());
        QCOMPARE(copy.Top(), first.Top());
        QCOMPARE(copy.Width(), first.Width());
        QCOMPARE(copy.Height(), first.Height());
        QCOMPARE(form->lblItem.Count(), std::int16_t(2));
    }

    void controlArrayErrors()
    {
        auto form = Form::create<TestForm>();
        auto number = [](const std::function<void()>& step) {
            try {
                step();
            } catch (const RuntimeError& e) {
                return static_cast<int>(e.number());
            }
            return 0;
        };
        QCOMPARE(number([&] { form->lblItem[1]; }), 340);
        form->lblItem.Load(1);
        QCOMPARE(number([&] { form->lblItem.Load(1); }), 360);
        QCOMPARE(number([&] { form->lblItem.Unload(0); }), 362);
        QCOMPARE(number([&] { form->lblItem.Unload(2); }), 340);
        form->lblItem.Unload(1);
        QCOMPARE(form->lblItem.Count(), std::int16_t(1));
    }

    void labelSizesItselfToItsCaption()
    {
        auto form = Form::create<TestForm>();
        Label& label = form->lblItem[0];
        const float oneLine = label.Height();
        const float shortWidth = label.Width();
        label.setCaption(QStringLiteral("A much longer caption than before"));
        QVERIFY(label.Width() > shortWidth);
        QCOMPARE(label.Height(), oneLine);
        label.setCaption(QStringLiteral("line\nbreak"));
        QCOMPARE(label.Height(), oneLine); // one line: breaks show as spaces
    }

    void mouseOverALabelIsTheLabelsAlone()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        const QPoint onLabel = form->lblItem[0].pixelRect().center();
        sendMouse(form->window(), QEvent::MouseMove, onLabel, Qt::NoButton, Qt::NoButton);
        sendMouse(form->window(), QEvent::MouseButtonPress, onLabel, Qt::LeftButton,
                  Qt::LeftButton);
        sendMouse(form->window(), QEvent::MouseButtonRelease, onLabel, Qt::LeftButton,
                  Qt::NoButton);
        QVERIFY(!form->events.join(' ').contains("Form."));
        QVERIFY(form->events.contains("lblItem(0).Click"));
        QVERIFY(form->events.contains("lblItem(0).MouseDown 1"));
        const QString move = form->events.filter("MouseMove").first();
        // Relative to the label: the pointer is at the centre of its pixel rectangle.
        const QRect r = form->lblItem[0].pixelRect();
        QCOMPARE(move, QStringLiteral("lblItem(0).MouseMove %1,%2")
                           .arg((r.center().x() - r.left()) * 15)
                           .arg((r.center().y() - r.top()) * 15));
    }

    void mouseOverAPictureBoxNeverReachesTheForm()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        QWidget* box = form->picBox.widget();
        sendMouse(box, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
        sendMouse(box, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        sendMouse(box, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(form->events,
                 QStringList({"Initialize", "Load", "picBox.MouseMove", "picBox.Click"}));
    }

    void backgroundEventsCarryButtonShiftAndTwips()
    {
        auto form = Form::create<TestForm>();
        form->Show();
        sendMouse(form->window(), QEvent::MouseButtonPress, QPoint(80, 30), Qt::RightButton,
                  Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(form->events.last(), QStringLiteral("Form.MouseDown"));
        QCOMPARE(form->lastButton, std::int16_t(2));
        QCOMPARE(form->lastShift, std::int16_t(3));
        QCOMPARE(form->lastX, 1200.0f);
        QCOMPARE(form->lastY, 450.0f);
        // While the button is held the background keeps the mouse, even over a label.
        sendMouse(form->window(), QEvent::MouseMove, form->lblItem[0].pixelRect().center(),
                  Qt::NoButton, Qt::RightButton);
        QCOMPARE(form->events.last(), QStringLiteral("Form.MouseMove"));
        QCOMPARE(form->lastButton, std::int16_t(2));
        sendMouse(form->window(), QEvent::MouseButtonRelease, QPoint(80, 30), Qt::RightButton,
                  Qt::NoButton);
        QCOMPARE(form->events.last(), QStringLiteral("Form.MouseUp"));
    }

    void coordinatesAreRelativeToWhereTheWindowIsNow()
    {
        auto form = Form::create<TestForm>();
        form->Move(3000, 2000);
        form->Show();
        const QPointF global(200 + 84, 133 + 28); // the window is at 200, 133 pixels
        // The window moves after the input arrived and before it is handled.
        form->Move(3060, 1970);
        sendMouse(form->window(), QEvent::MouseMove, QPoint(84, 28), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier, global);
        QCOMPARE(form->lastX, float((284 - 204) * 15));
        QCOMPARE(form->lastY, float((161 - 131) * 15));
    }
};

QTEST_MAIN(FormTest)
#include "FormTest.moc"
