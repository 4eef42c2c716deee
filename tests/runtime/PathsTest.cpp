// Instance names, paths and the case rule of each movie version.
#include "runtime/Paths.h"

#include "TestMovie.h"
#include "runtime/MoviePlayer.h"
#include "runtime/Names.h"

#include <QtTest>

using namespace testmovie;
using runtime::MoviePlayer;

namespace {

swf::MoviePtr nestedMovie(int version)
{
    return Builder(version)
        .square(10)
        .sprite(21, timeline({{place(1, 10)}}))
        .sprite(20, timeline({{named(place(1, 21), "Inner"), place(2, 21)}}))
        .editText(30, "hello", "score")
        .main(timeline({{named(place(1, 20), "Clip"), named(place(2, 30), "field")}}))
        .build();
}

} // namespace

class PathsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameName_data();
    void sameName();
    void sameNameOfBytes();
    void labelsFoldAsciiOnly();
    void resolve_data();
    void resolve();
    void pathsAndAutomaticNames();
};

void PathsTest::sameName_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("same");

    QTest::newRow("exact, v7") << "clip"
                               << "clip" << 7 << true;
    QTest::newRow("case differs, v6") << "Clip"
                                      << "cLIP" << 6 << true;
    QTest::newRow("case differs, v7") << "Clip"
                                      << "clip" << 7 << false;
    QTest::newRow("prefix, v6") << "clip"
                                << "clip2" << 6 << false;
    QTest::newRow("non-letters never fold, v6") << "a["
                                                << "a{" << 6 << false;
    // Beyond ASCII, letters fold as Unicode 3.2 had them, to one lowercase letter.
    QTest::newRow("Latin-1 letter, v6")
        << QString::fromUtf8("CLIP\u00C4") << QString::fromUtf8("clip\u00E4") << 6 << true;
    QTest::newRow("Latin-1 letter, v7")
        << QString::fromUtf8("\u00C4") << QString::fromUtf8("\u00E4") << 7 << false;
    QTest::newRow("Cyrillic") << QString::fromUtf8("\u04E4") << QString::fromUtf8("\u04E5") << 6
                              << true;
    QTest::newRow("title-case digraph")
        << QString::fromUtf8("\u01C4\u01C5") << QString::fromUtf8("\u01C6\u01C6") << 6 << true;
    QTest::newRow("Kelvin sign is k") << QString::fromUtf8("\u212A") << "K" << 6 << true;
    QTest::newRow("letter newer than 3.2")
        << QString::fromUtf8("\u023A") << QString::fromUtf8("\u2C65") << 6 << false;
    QTest::newRow("multiplication sign")
        << QString::fromUtf8("\u00D7") << QString::fromUtf8("\u00F7") << 6 << false;
}

void PathsTest::labelsFoldAsciiOnly()
{
    QVERIFY(runtime::sameLabel("Start", "sTART"));
    QVERIFY(!runtime::sameLabel("BAD\u00C0", "bad\u00E0"));
    QVERIFY(!runtime::sameLabel("end", "end2"));
}

// SWF 5 strings keep their bytes: what is not UTF-8 folds its ASCII letters only.
void PathsTest::sameNameOfBytes()
{
    const auto insensitive = runtime::NameCase::Insensitive;
    QVERIFY(runtime::sameName("A\xC4", "a\xC4", insensitive));
    QVERIFY(!runtime::sameName("\xC4", "\xE4", insensitive));
    QVERIFY(!runtime::sameName("\xC3", "\xC3\x84", insensitive));
}

void PathsTest::sameName()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, version);
    QFETCH(bool, same);
    QCOMPARE(
        runtime::sameName(a.toStdString(), b.toStdString(), runtime::nameCaseForVersion(version)),
        same);
}

void PathsTest::resolve_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("from"); // a path from the main timeline
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("found"); // the found object's own path; "" for none

    QTest::newRow("dotted from root") << 7 << ""
                                      << "_level0.Clip.Inner"
                                      << "_level0.Clip.Inner";
    QTest::newRow("relative") << 7 << ""
                              << "Clip.Inner"
                              << "_level0.Clip.Inner";
    QTest::newRow("wrong case, v7") << 7 << ""
                                    << "clip.inner"
                                    << "";
    QTest::newRow("wrong case, v6") << 6 << ""
                                    << "clip.inner"
                                    << "_level0.Clip.Inner";
    QTest::newRow("_root from inside") << 7 << "Clip.Inner"
                                       << "_root.field"
                                       << "_level0.field";
    QTest::newRow("_parent") << 7 << "Clip.Inner"
                             << "_parent"
                             << "_level0.Clip";
    QTest::newRow("slashed absolute") << 7 << "Clip.Inner"
                                      << "/Clip/Inner"
                                      << "_level0.Clip.Inner";
    QTest::newRow("slashed up twice") << 7 << "Clip.Inner"
                                      << "../.."
                                      << "_level0";
    QTest::newRow("this") << 7 << "Clip"
                          << "this.Inner"
                          << "_level0.Clip.Inner";
    QTest::newRow("missing part") << 7 << ""
                                  << "Clip.Nothing.Inner"
                                  << "";
    QTest::newRow("above the root") << 7 << ""
                                    << "_parent"
                                    << "";
    QTest::newRow("through a text field") << 7 << ""
                                          << "field.x"
                                          << "";
}

void PathsTest::resolve()
{
    QFETCH(int, version);
    QFETCH(QString, from);
    QFETCH(QString, path);
    QFETCH(QString, found);

    RecordingHost host;
    MoviePlayer player(nestedMovie(version), host);
    runtime::DisplayObject* start = player.findByPath(from.toStdString());
    QVERIFY(start);
    runtime::DisplayObject* object = runtime::resolvePath(*start, path.toStdString());
    QCOMPARE(object ? QString::fromStdString(object->path()) : QString(), found);
}

void PathsTest::pathsAndAutomaticNames()
{
    RecordingHost host;
    MoviePlayer player(nestedMovie(7), host);
    auto* clip = static_cast<runtime::ContainerObject*>(player.findByPath("Clip"));
    QVERIFY(clip);
    // A clip placed without a name gets one scripts can use; a shape does not need one.
    runtime::DisplayObject* unnamed = clip->childAt(2);
    QVERIFY(QString::fromStdString(unnamed->name()).startsWith("instance"));
    QCOMPARE(player.findByPath("Clip." + unnamed->name()), unnamed);
    auto* inner = static_cast<runtime::ContainerObject*>(clip->childAt(1));
    QVERIFY(inner->childAt(1)->name().empty());
    // Both syntaxes name the same object, and the slashed one resolves back to it.
    QCOMPARE(inner->path(), std::string("_level0.Clip.Inner"));
    QCOMPARE(inner->targetPath(), std::string("/Clip/Inner"));
    QCOMPARE(player.root().targetPath(), std::string("/"));
    QCOMPARE(runtime::resolvePath(player.root(), inner->targetPath()), inner);
    QCOMPARE(runtime::resolvePath(*inner, player.root().targetPath()), &player.root());
    QVERIFY(clip->id() < inner->id());
    // Once removed, an object is off the stage and no path reaches it.
    auto removed = clip->removeChild(1);
    QVERIFY(!removed->onStage());
    QCOMPARE(player.findByPath("Clip.Inner"), nullptr);
    QCOMPARE(runtime::resolvePath(*removed, "_root"), nullptr);
}

QTEST_APPLESS_MAIN(PathsTest)
#include "PathsTest.moc"
