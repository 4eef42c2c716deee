// The main window as designed, before any of the program's procedures has changed it.
#include "ui/frmMain.h"

#include <QChildEvent>
#include <QtTest>

using namespace windowing;

namespace {

QPoint hotSpot(const Control& control)
{
    return control.MouseIcon() ? control.MouseIcon()->hotSpot() : QPoint(-1, -1);
}

// Every child any object gains while it is installed, in the order they come: a
// windowed control's widget joins the window as the control is made.
class ChildrenAdded : public QObject {
public:
    ChildrenAdded() { QCoreApplication::instance()->installEventFilter(this); }
    ~ChildrenAdded() override { QCoreApplication::instance()->removeEventFilter(this); }

    QList<const QObject*> to(const QObject* parent) const
    {
        QList<const QObject*> children;
        for (const auto& [p, child] : m_added)
            if (p == parent)
                children << child;
        return children;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded)
            m_added.push_back({watched, static_cast<QChildEvent*>(event)->child()});
        return false;
    }

private:
    std::vector<std::pair<const QObject*, const QObject*>> m_added;
};

// The names of the windowed controls whose widgets are in `objects`, in that order.
QStringList namesOf(const QList<const QObject*>& objects,
                    const std::vector<const WindowedControl*>& controls)
{
    QStringList names;
    for (const QObject* object : objects)
        for (const WindowedControl* control : controls)
            if (control->widget() == object)
                names << control->Name();
    return names;
}

} // namespace

class DesignTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_window = Form::create<frmMain>(); }
    void cleanup() { m_window.reset(); }

    void windowSettings()
    {
        QCOMPARE(m_window->Width(), 4710.0f);
        QCOMPARE(m_window->Height(), 2010.0f);
        QCOMPARE(m_window->window()->size(), QSize(314, 134));
        QCOMPARE(m_window->BackColor(), QColor(0x13, 0x14, 0x1a));
        QCOMPARE(m_window->Picture().size(), QSize(400, 34));
        QVERIFY(m_window->Caption().isEmpty());
        QCOMPARE(m_window->Font().pixelSize(), 12);
        QCOMPARE(m_window->Font().weight(), QFont::Normal);
        QVERIFY(!m_window->window()->windowIcon().isNull());
    }

    void controlsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRectF>("twips");
        QTest::addColumn<int>("tabIndex");
        QTest::addColumn<bool>("visible");
        QTest::newRow("picMin") << "picMin" << QRectF(3990, 100, 240, 240) << 4 << true;
        QTest::newRow("picX") << "picX" << QRectF(4335, 100, 240, 240) << 3 << true;
        QTest::newRow("player") << "ShockwaveFlash" << QRectF(1380, 585, 1410, 1200) << 2 << true;
        QTest::newRow("File1") << "File1" << QRectF(255, 960, 690, 720) << 1 << false;
        QTest::newRow("lblIndex(0)") << "lblIndex" << QRectF(255, 570, 525, 210) << 0 << true;
    }
    void controlsAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRectF, twips);
        QFETCH(int, tabIndex);
        QFETCH(bool, visible);
        const Control* controls[] = {&m_window->picMin, &m_window->picX, &m_window->ShockwaveFlash,
                                     &m_window->File1, &m_window->lblIndex[0]};
        const Control* control = nullptr;
        for (const Control* c : controls) {
            if (c->Name() == name)
                control = c;
        }
        QVERIFY(control);
        QCOMPARE(QRectF(control->Left(), control->Top(), control->Width(), control->Height()),
                 twips);
        QCOMPARE(control->TabIndex(), tabIndex);
        QCOMPARE(control->Visible(), visible);
    }

    void controlsInCreationOrder()
    {
        // A window of the test's own, made while the widgets joining it are watched.
        std::unique_ptr<frmMain> window;
        QList<const QObject*> joined;
        {
            const ChildrenAdded added;
            window = Form::create<frmMain>();
            joined = added.to(window->window());
        }
        const std::vector<const WindowedControl*> windowed = {
            &window->File1, &window->picX, &window->ShockwaveFlash, &window->picMin};
        const QStringList made = {"picMin", "picX", "ShockwaveFlash", "File1"};
        QCOMPARE(namesOf(joined, windowed), made);

        // Each windowed control lies beneath those made before it: the window's own
        // buttons above the player, which covers the whole window while a movie plays.
        // A widget's children are listed from the bottom up.
        const QObjectList children = window->window()->children();
        QStringList topDown = namesOf({children.begin(), children.end()}, windowed);
        std::reverse(topDown.begin(), topDown.end());
        QCOMPARE(topDown, made);

        // The label, windowless, is drawn by the window itself beneath all of them: laid
        // half over the minimise button, it shows beside the button and changes none of
        // the button's pixels.
        Label& label = window->lblIndex[0];
        const QRect button = window->picMin.widget()->geometry();
        const QImage alone = window->window()->grab().toImage();
        label.Move(window->picMin.Left() - 300, window->picMin.Top());
        QVERIFY(label.pixelRect().intersects(button));
        const QImage covered = window->window()->grab().toImage();
        const QRect beside(label.pixelRect().topLeft(), QPoint(button.left() - 1, button.bottom()));
        QVERIFY(covered.copy(beside) != alone.copy(beside));
        QCOMPARE(covered.copy(button), alone.copy(button));
    }

    void labelZero()
    {
        const Label& label = m_window->lblIndex[0];
        QCOMPARE(label.Caption(), QStringLiteral("Index"));
        QCOMPARE(label.ForeColor(), 0xC0C0C0);
        QVERIFY(label.AutoSize());
        QVERIFY(label.Font().bold());
        QVERIFY(label.Font().underline());
        QVERIFY(!label.Font().italic());
        QCOMPARE(label.Font().pixelSize(), 12);
        QCOMPARE(QFontInfo(label.Font()).family(), QStringLiteral("Tahoma"));
        QCOMPARE(m_window->lblIndex.Count(), std::int16_t(1));
    }

    void handCursorOnButtonsAndLabels()
    {
        QCOMPARE(hotSpot(m_window->picMin), QPoint(5, 0));
        QCOMPARE(hotSpot(m_window->picX), QPoint(5, 0));
        QCOMPARE(hotSpot(m_window->lblIndex[0]), QPoint(5, 0));
        QCOMPARE(m_window->picX.MouseIcon()->pixmap().size(), QSize(32, 32));
        QVERIFY(!m_window->ShockwaveFlash.MouseIcon());
    }

    void glyphsFillTheirButtons()
    {
        QCOMPARE(m_window->picX.Picture().size(), QSize(16, 16));
        QCOMPARE(m_window->picMin.Picture().size(), QSize(16, 16));
        const QImage close = m_window->picX.Picture().toImage();
        QCOMPARE(close.pixelColor(4, 4), QColor(Qt::white)); // the X's diagonal
        QCOMPARE(close.pixelColor(0, 0).alpha(), 0);         // a transparent corner
        const QImage minimise = m_window->picMin.Picture().toImage();
        QCOMPARE(minimise.pixelColor(7, 11), QColor(Qt::white)); // the bar
        QVERIFY(minimise.pixelColor(7, 5) != QColor(Qt::white));
    }

    void playerStartsWithItsStoredSettings()
    {
        const player::PlayerSettings& s = m_window->ShockwaveFlash.settings();
        QVERIFY(s.play);
        QVERIFY(s.loop);
        QVERIFY(s.menu);
        QCOMPARE(s.quality, QStringLiteral("High"));
        QCOMPARE(s.scale, QStringLiteral("ShowAll"));
        QCOMPARE(s.wmode, QStringLiteral("Window"));
        QCOMPARE(s.allowFullScreen, QStringLiteral("false"));
        QCOMPARE(s.allowNetworking, QStringLiteral("all"));
        QCOMPARE(m_window->ShockwaveFlash.ScaleMode(), 0);
        QVERIFY(m_window->ShockwaveFlash.Movie().isEmpty());
    }

    void bannerGradientColumn()
    {
        // A column right of the lettering: dark at the top, brightest at row 17, dark at
        // the bottom.
        const QImage banner = m_window->Picture().toImage();
        QCOMPARE(banner.pixelColor(300, 0), QColor(0x1c, 0x1e, 0x20));
        QCOMPARE(banner.pixelColor(300, 17), QColor(0x6c, 0x71, 0x78));
        QCOMPARE(banner.pixelColor(300, 33), QColor(0x21, 0x23, 0x26));
        QVERIFY(banner.pixelColor(300, 8).lightness() > banner.pixelColor(300, 0).lightness());
        QCOMPARE(banner.pixelColor(399, 10), banner.pixelColor(256, 10));
    }

    void bannerWordmarkIsHeavyWhite()
    {
        const QImage banner = m_window->Picture().toImage();
        int white = 0;
        for (int y = 0; y < 34; ++y) {
            for (int x = 0; x < 400; ++x) {
                if (banner.pixelColor(x, y) == QColor(0xfc, 0xfc, 0xfc)) {
                    ++white;
                    QVERIFY2(x >= 16 && x <= 135, qPrintable(QStringLiteral("white at %1").arg(x)));
                }
            }
        }
        QVERIFY(white > 300);
    }

    void iconGroups()
    {
        for (int size : {16, 24, 32, 48, 64, 72, 96, 128}) {
            const QImage lens(QStringLiteral(":/icons/AAA/%1.png").arg(size));
            QCOMPARE(lens.size(), QSize(size, size));
            QVERIFY(lens.hasAlphaChannel());
            QCOMPARE(lens.pixelColor(0, 0).alpha(), 0); // transparent outside the ring
            QVERIFY(lens.pixelColor(size / 2, size / 2).alpha() == 255);
        }
        const QImage sphere(QStringLiteral(":/icons/1/32.png"));
        QCOMPARE(sphere.pixelColor(31, 10).alpha(), 0);               // transparent right column
        QCOMPARE(sphere.pixelColor(10, 1), QColor(Qt::white));        // top of the frame
        QCOMPARE(sphere.pixelColor(1, 10), QColor(0xbb, 0xbb, 0xbb)); // left of the frame
    }

private:
    std::unique_ptr<frmMain> m_window;
};

QTEST_MAIN(DesignTest)
#include "DesignTest.moc"
