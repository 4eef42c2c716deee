// swfrun's command line: what the conformance runner passes, and what is turned away.
#include "tools/swfrun/Options.h"

#include <QtTest>

using render::Quality;
using swfrun::parseArguments;

Q_DECLARE_METATYPE(Quality)

namespace {

std::vector<std::string> words(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& word : list)
        out.push_back(word.toStdString());
    return out;
}

} // namespace

class SwfrunOptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void movieAloneTakesTheDefaults()
    {
        const auto options = parseArguments({"movie.swf"});
        QVERIFY(options);
        QCOMPARE(options->movie, std::string("movie.swf"));
        QCOMPARE(options->frames, 1L);
        QVERIFY(options->png.empty());
        QVERIFY(options->input.empty());
        QCOMPARE(options->viewportWidth, 0);
        QCOMPARE(options->viewportHeight, 0);
        QCOMPARE(options->scale, 1.0);
        QCOMPARE(options->quality, Quality::High);
        QCOMPARE(options->maxExecutionSeconds, 0.0);
        QVERIFY(options->fileDialog.empty());
    }

    void fileDialogAnswer()
    {
        const auto options = parseArguments({"--file-dialog", "/tmp/a b.txt", "m.swf"});
        QVERIFY(options);
        QCOMPARE(options->fileDialog, std::string("/tmp/a b.txt"));
    }

    void everySettingOfAReferenceRun()
    {
        // The runner's order: frames, its settings, the picture, then the movie.
        const auto options = parseArguments(
            words({"--frames", "120", "--input", "/c/input.json", "--viewport", "1100x800",
                   "--scale", "2.5", "--quality", "low", "--max-execution-seconds", "0.75", "--png",
                   "/tmp/out.png", "/c/test.swf"}));
        QVERIFY(options);
        QCOMPARE(options->frames, 120L);
        QCOMPARE(options->input, std::string("/c/input.json"));
        QCOMPARE(options->viewportWidth, 1100);
        QCOMPARE(options->viewportHeight, 800);
        QCOMPARE(options->scale, 2.5);
        QCOMPARE(options->quality, Quality::Low);
        QCOMPARE(options->maxExecutionSeconds, 0.75);
        QCOMPARE(options->png, std::string("/tmp/out.png"));
        QCOMPARE(options->movie, std::string("/c/test.swf"));
    }

    void optionsMayFollowTheMovie()
    {
        const auto options = parseArguments({"m.swf", "--frames", "3", "--frames", "7"});
        QVERIFY(options);
        QCOMPARE(options->movie, std::string("m.swf"));
        QCOMPARE(options->frames, 7L); // the last one given counts
    }

    void qualityNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Quality>("quality");
        QTest::newRow("low") << "low" << Quality::Low;
        QTest::newRow("medium") << "medium" << Quality::Medium;
        QTest::newRow("high") << "high" << Quality::High;
        QTest::newRow("best draws as high") << "best" << Quality::High;
    }
    void qualityNames()
    {
        QFETCH(QString, name);
        QFETCH(Quality, quality);
        const auto options = parseArguments(words({"--quality", name, "m.swf"}));
        QVERIFY(options);
        QCOMPARE(options->quality, quality);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("no movie") << QStringList{"--frames", "2"};
        QTest::newRow("two movies") << QStringList{"a.swf", "b.swf"};
        QTest::newRow("unknown option") << QStringList{"--loud", "1", "m.swf"};
        QTest::newRow("value missing") << QStringList{"m.swf", "--frames"};
        QTest::newRow("zero frames") << QStringList{"--frames", "0", "m.swf"};
        QTest::newRow("negative frames") << QStringList{"--frames", "-3", "m.swf"};
        QTest::newRow("frames with a tail") << QStringList{"--frames", "12x", "m.swf"};
        QTest::newRow("frames past a long")
            << QStringList{"--frames", "99999999999999999999", "m.swf"};
        QTest::newRow("empty picture name") << QStringList{"--png", "", "m.swf"};
        QTest::newRow("empty input name") << QStringList{"--input", "", "m.swf"};
        QTest::newRow("empty dialog answer") << QStringList{"--file-dialog", "", "m.swf"};
        QTest::newRow("unknown quality") << QStringList{"--quality", "ultra", "m.swf"};
        QTest::newRow("quality in capitals") << QStringList{"--quality", "LOW", "m.swf"};
        QTest::newRow("viewport without height") << QStringList{"--viewport", "400", "m.swf"};
        QTest::newRow("viewport half given") << QStringList{"--viewport", "400x", "m.swf"};
        QTest::newRow("viewport of zero") << QStringList{"--viewport", "0x400", "m.swf"};
        QTest::newRow("viewport negative") << QStringList{"--viewport", "400x-4", "m.swf"};
        QTest::newRow("viewport with spaces") << QStringList{"--viewport", "400 x 300", "m.swf"};
        QTest::newRow("viewport too wide") << QStringList{"--viewport", "16385x10", "m.swf"};
        QTest::newRow("scale of zero") << QStringList{"--scale", "0", "m.swf"};
        QTest::newRow("negative scale") << QStringList{"--scale", "-1", "m.swf"};
        QTest::newRow("scale not a number") << QStringList{"--scale", "nan", "m.swf"};
        QTest::newRow("infinite scale") << QStringList{"--scale", "inf", "m.swf"};
        QTest::newRow("scale past the cap") << QStringList{"--scale", "17", "m.swf"};
        QTest::newRow("scaled viewport too big")
            << QStringList{"--viewport", "10000x10", "--scale", "2", "m.swf"};
        QTest::newRow("no time") << QStringList{"--max-execution-seconds", "0", "m.swf"};
        QTest::newRow("negative time") << QStringList{"--max-execution-seconds", "-1", "m.swf"};
        QTest::newRow("endless time") << QStringList{"--max-execution-seconds", "inf", "m.swf"};
        QTest::newRow("time in words") << QStringList{"--max-execution-seconds", "ten", "m.swf"};
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QVERIFY(!parseArguments(words(arguments)));
    }
};

QTEST_MAIN(SwfrunOptionsTest)
#include "SwfrunOptionsTest.moc"
