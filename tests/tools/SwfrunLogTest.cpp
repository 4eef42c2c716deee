// swfrun's --log: the diagnostics asked for on standard error, one
// "swfrun: [category] message" line each, and nothing but the trace on standard output.
#include "FlawedMovies.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace swfwriter;

class SwfrunLogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_movie = m_dir.filePath("flawed.swf");
        QVERIFY(movieWithTwoFlaws().writeFile(m_movie.toStdString()));
    }

    void logOption_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("errorLines"); // each the start of a line, in order
        const QString format = "swfrun: [format] character 1 defined twice";
        const QString display = "swfrun: [display] ignored: no definition for";
        QTest::newRow("silent by default") << QStringList{} << 0 << QStringList{};
        QTest::newRow("one category") << QStringList{"--log", "format"} << 0 << QStringList{format};
        QTest::newRow("another") << QStringList{"--log", "display"} << 0 << QStringList{display};
        QTest::newRow("repeated") << QStringList{"--log", "display", "--log", "format"} << 0
                                  << QStringList{format, display};
        QTest::newRow("all") << QStringList{"--log", "all"} << 0 << QStringList{format, display};
        QTest::newRow("a category with nothing to say")
            << QStringList{"--log", "buttons"} << 0 << QStringList{};
        QTest::newRow("unknown category")
            << QStringList{"--log", "trace"} << 2 << QStringList{"usage: swfrun"};
        QTest::newRow("no category") << QStringList{"--log"} << 2 << QStringList{"usage: swfrun"};
    }
    void logOption()
    {
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QStringList, errorLines);
        QProcess swfrun;
        swfrun.start(QStringLiteral(SWFRUN_PATH), options << "--frames"
                                                          << "2" << m_movie);
        QVERIFY(swfrun.waitForFinished(30000));
        QCOMPARE(swfrun.exitStatus(), QProcess::NormalExit);
        QCOMPARE(swfrun.exitCode(), exitCode);
        // The movie runs no script: standard output, the trace's alone, stays empty.
        QCOMPARE(swfrun.readAllStandardOutput(), QByteArray());
        const QStringList lines =
            QString::fromUtf8(swfrun.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
        if (exitCode != 0) {
            QVERIFY(!lines.isEmpty());
            QVERIFY(lines[0].startsWith(errorLines[0]));
            return;
        }
        QCOMPARE(lines.size(), errorLines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(lines[i].startsWith(errorLines[i]), qPrintable(lines[i]));
    }

private:
    QTemporaryDir m_dir;
    QString m_movie;
};

QTEST_GUILESS_MAIN(SwfrunLogTest)
#include "SwfrunLogTest.moc"
