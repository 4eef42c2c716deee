#include "windowing/NaturalOrder.h"

#include "windowing/FileListBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

using namespace windowing;

class NaturalOrderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void compare_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("numbers by value") << "Part 2.swf"
                                          << "Part 10.swf" << -1;
        QTest::newRow("case ignored first") << "apple.swf"
                                            << "Banana.swf" << -1;
        QTest::newRow("case tie-break is fixed") << "Intro.swf"
                                                 << "intro.swf" << -1;
        QTest::newRow("same name") << "a.swf"
                                   << "a.swf" << 0;
        QTest::newRow("leading zeros tie-break") << "a01.swf"
                                                 << "a1.swf" << -1;
        QTest::newRow("prefix first") << "movie"
                                      << "movie2" << -1;
        QTest::newRow("digits before letters") << "1a"
                                               << "a" << -1;
        QTest::newRow("long numbers") << "x99999999999999999998"
                                      << "x99999999999999999999" << -1;
        QTest::newRow("accented letters fold")
            << QString::fromUtf8("Élan.swf") << QString::fromUtf8("élan.swf") << -1;
    }
    void compare()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE((naturalCompare(a, b) > 0) - (naturalCompare(a, b) < 0), order);
        QCOMPARE((naturalCompare(b, a) > 0) - (naturalCompare(b, a) < 0), -order);
    }

    void sortsAsPeopleRead()
    {
        QStringList names = {"Part 10.swf", "part 2.swf", "Part 1.swf", "Part 2.swf", "intro.swf"};
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return naturalLess(a, b); });
        QCOMPARE(names, QStringList({"intro.swf", "Part 1.swf", "Part 2.swf", "part 2.swf",
                                     "Part 10.swf"}));
    }

    void listsMatchingFilesOnly()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* name : {"b.swf", "A.SWF", "c.Swf", ".hidden.swf", "notes.txt",
                                 "movie.swf.bak", "Part 10.swf", "Part 9.swf"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.swf")));
        QCOMPARE(listMatchingFiles(dir.path(), QStringLiteral("*.swf"), 100),
                 QStringList({"A.SWF", "b.swf", "c.Swf", "Part 9.swf", "Part 10.swf"}));
    }

    void keepsTheFirstNamesOfTheOrderPastTheLimit()
    {
        QTemporaryDir dir;
        for (int i = 20; i >= 1; --i) {
            QFile file(dir.filePath(QStringLiteral("m%1.swf").arg(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(listMatchingFiles(dir.path(), QStringLiteral("*.swf"), 3),
                 QStringList({"m1.swf", "m2.swf", "m3.swf"}));
    }

    void severalPatterns()
    {
        QTemporaryDir dir;
        for (const char* name : {"a.swf", "b.spl", "c.txt"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QCOMPARE(listMatchingFiles(dir.path(), QStringLiteral("*.swf;*.spl"), 10),
                 QStringList({"a.swf", "b.spl"}));
    }
};

QTEST_APPLESS_MAIN(NaturalOrderTest)
#include "NaturalOrderTest.moc"
