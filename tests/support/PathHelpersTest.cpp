#include "support/mPathHelpers.h"

#include <QtTest>

using mPathHelpers::AddBackslash;
using mPathHelpers::FileTitle;

namespace {

// The tables are written with "\"; each row runs with that separator and again with
// "/" put in its place (and "/" in the row put in place of "\"), so both separators
// meet the same cases.
QString swapped(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\\'))
            c = QLatin1Char('/');
        else if (c == QLatin1Char('/'))
            c = QLatin1Char('\\');
    }
    return text;
}

void addRowsForBothSeparators(const char* name, const QString& a, const QString& b,
                              const QString& c = {})
{
    QTest::newRow((QByteArray(name) + " \\").constData()) << QChar('\\') << a << b << c;
    QTest::newRow((QByteArray(name) + " /").constData())
        << QChar('/') << swapped(a) << swapped(b) << swapped(c);
}

} // namespace

class PathHelpersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addBackslash_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("after");
        addRowsForBothSeparators("empty", "", "\\", "");
        addRowsForBothSeparators("drive", "C:", "C:\\", "C:");
        addRowsForBothSeparators("drive root", "C:\\", "C:\\", "C:");
        addRowsForBothSeparators("two trailing", "C:\\\\", "C:\\", "C:\\");
        addRowsForBothSeparators("three trailing", "C:\\\\\\", "C:\\\\", "C:\\\\");
        addRowsForBothSeparators("separator only", "\\", "\\", "");
        addRowsForBothSeparators("folder", "C:\\Movies", "C:\\Movies\\", "C:\\Movies");
        addRowsForBothSeparators("folder with one", "C:\\Movies\\", "C:\\Movies\\", "C:\\Movies");
        addRowsForBothSeparators("other separator is text", "C:/Movies/", "C:/Movies/\\",
                                 "C:/Movies/");
    }
    void addBackslash()
    {
        QFETCH(QChar, separator);
        QFETCH(QString, before);
        QFETCH(QString, result);
        QFETCH(QString, after);
        QString path = before;
        QCOMPARE(AddBackslash(path, separator), result);
        QCOMPARE(path, after);
    }

    void addBackslashUsesThePlatformSeparator()
    {
        QString path = QStringLiteral("/home/user/movies");
        QCOMPARE(AddBackslash(path), QStringLiteral("/home/user/movies/"));
        QString root = QStringLiteral("/");
        QCOMPARE(AddBackslash(root), QStringLiteral("/"));
        QCOMPARE(root, QString());
    }

    void fileTitle_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("unused");
        addRowsForBothSeparators("empty", "", "");
        addRowsForBothSeparators("spaces only", "   ", "");
        addRowsForBothSeparators("full path", "C:\\Movies\\intro.swf", "intro");
        addRowsForBothSeparators("bare name", "intro.swf", "intro");
        addRowsForBothSeparators("several dots", "C:\\Movies\\a.b.swf", "a.b");
        addRowsForBothSeparators("extension only", "C:\\Movies\\.swf", "");
        addRowsForBothSeparators("dot in folder", "C:\\My.Movies\\intro", "intro");
        addRowsForBothSeparators("no extension", "C:\\Movies\\intro", "intro");
        addRowsForBothSeparators("ends in separator", "C:\\Movies\\", "");
        addRowsForBothSeparators("other separator is text", "C:/Movies/intro.swf",
                                 "C:/Movies/intro");
        addRowsForBothSeparators("spaces kept", " intro.swf ", " intro");
        addRowsForBothSeparators("a tab is text", "\t", "\t");
    }
    void fileTitle()
    {
        QFETCH(QChar, separator);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(FileTitle(name, separator), title);
    }
};

QTEST_APPLESS_MAIN(PathHelpersTest)
#include "PathHelpersTest.moc"
