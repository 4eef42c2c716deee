// Main as the first instance runs it: the shared state set, the main window shown with
// the caption.
#include "app/mMain.h"
#include "ui/frmMain.h"
#include "windowing/Application.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace windowing;

class MainTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Main ends at once in a second instance; this run must be the first.
        QVERIFY2(!App.PrevInstance(), "another run of this test is under way");
        QVERIFY(m_folder.isValid());
        setApplicationPathForTesting(m_folder.path()); // an empty movie list
    }
    void cleanupTestCase()
    {
        frmMainInstance.reset();
        setApplicationPathForTesting({});
    }

    void setsTheSharedStateAndShowsTheWindow()
    {
        // Values Main must replace, not find already there.
        mMain::AppCaption = QStringLiteral("before Main");
        mMain::StrictErrors = True;
        QVERIFY(!frmMainInstance.exists());

        mMain::Main();

        QCOMPARE(mMain::AppCaption, QStringLiteral("My Project"));
        QCOMPARE(mMain::StrictErrors, False);
        QVERIFY(frmMainInstance.exists());
        QVERIFY(frmMainInstance->Visible());
        QCOMPARE(frmMainInstance->Caption(), QStringLiteral("My Project"));
        QCOMPARE(frmMainInstance->window()->windowTitle(), QStringLiteral("My Project"));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(MainTest)
#include "MainTest.moc"
