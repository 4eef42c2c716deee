// Window icons from the program's icon groups, and the owner rule.
#include "windowing/WindowIcons.h"

#include "support/mAlphaIconApp.h"
#include "windowing/Form.h"

#include <QtTest>

using namespace windowing;
using mAlphaIconApp::SetWindowIcons;

namespace {

QSize iconOf(QWidget* w, IconKind kind)
{
    return windowIcon(w, kind).size();
}

class PlainForm : public Form {
public:
    PlainForm() : Form(QStringLiteral("frmPlain")) {}
};

} // namespace

class WindowIconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void sizesComeFromTheStyle()
    {
        QCOMPARE(iconSize(IconKind::Big), QSize(32, 32));
        QCOMPARE(iconSize(IconKind::Small), QSize(16, 16));
    }

    void loadPicksTheImageThatServesTheSize()
    {
        const ModuleHandle module{QStringLiteral(":/")};
        QCOMPARE(loadIcon(module, QStringLiteral("AAA"), QSize(48, 48)).size(), QSize(48, 48));
        QCOMPARE(loadIcon(module, QStringLiteral("aaa"), QSize(20, 20)).size(), QSize(20, 20));
        QCOMPARE(loadIcon(module, QStringLiteral("AAA"), QSize(256, 256)).size(), QSize(256, 256));
        QVERIFY(loadIcon(module, QStringLiteral("NOPE"), QSize(32, 32)).isNull());
        QVERIFY(loadIcon(ModuleHandle{}, QStringLiteral("AAA"), QSize(32, 32)).isNull());
    }

    void windowWithoutOwner()
    {
        QWidget window;
        SetWindowIcons(&window, QStringLiteral("AAA"), True);
        QCOMPARE(iconOf(&window, IconKind::Big), QSize(32, 32));
        QCOMPARE(iconOf(&window, IconKind::Small), QSize(16, 16));
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(QApplication::windowIcon().isNull()); // no application-wide icon
    }

    void topOwnerGetsThemAndIntermediateOwnersDoNot()
    {
        QWidget top;
        auto* middle = new QWidget(&top, Qt::Window);
        auto* window = new QWidget(middle, Qt::Window);
        QCOMPARE(windowOwner(window), middle);
        QCOMPARE(windowOwner(middle), &top);
        QCOMPARE(windowOwner(&top), nullptr);
        SetWindowIcons(window, QStringLiteral("AAA"), True);
        QCOMPARE(iconOf(window, IconKind::Big), QSize(32, 32));
        QCOMPARE(iconOf(&top, IconKind::Small), QSize(16, 16));
        QVERIFY(iconOf(middle, IconKind::Big).isEmpty());
        QVERIFY(!middle->testAttribute(Qt::WA_SetWindowIcon));
    }

    void withoutTheOwnerFlagOnlyTheWindowChanges()
    {
        QWidget top;
        auto* window = new QWidget(&top, Qt::Window);
        SetWindowIcons(window, QStringLiteral("AAA"), False);
        QCOMPARE(iconOf(window, IconKind::Big), QSize(32, 32));
        QVERIFY(iconOf(&top, IconKind::Big).isEmpty());
    }

    void unknownNameLeavesNoIcons()
    {
        QWidget top;
        auto* window = new QWidget(&top, Qt::Window);
        SetWindowIcons(window, QStringLiteral("AAA"), True);
        SetWindowIcons(window, QStringLiteral("MISSING"), True);
        for (QWidget* w : {static_cast<QWidget*>(&top), window}) {
            QVERIFY(iconOf(w, IconKind::Big).isEmpty());
            QVERIFY(iconOf(w, IconKind::Small).isEmpty());
            QVERIFY(w->windowIcon().isNull());
        }
    }

    void noWindowChangesNothing()
    {
        SetWindowIcons(nullptr, QStringLiteral("AAA"), True);
        QVERIFY(QApplication::windowIcon().isNull());
    }

    void iconsSurviveAChangeOfBorder()
    {
        auto form = Form::create<PlainForm>();
        SetWindowIcons(form->hWnd(), QStringLiteral("AAA"), True);
        form->setBorderStyle(kBorderNone);
        form->Show();
        QCOMPARE(iconOf(form->hWnd(), IconKind::Big), QSize(32, 32));
        QVERIFY(!form->window()->windowIcon().isNull());
    }
};

QTEST_MAIN(WindowIconsTest)
#include "WindowIconsTest.moc"
