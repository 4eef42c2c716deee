// Tags about the movie as a whole: its script limits, and the assets it exports and
// imports by name.
#include "MovieWriter.h"
#include "format/Movie.h"

#include <QTest>
#include <functional>

using namespace swfwriter;

namespace {

using Script = std::function<void(MovieWriter&)>;

swf::MoviePtr load(const Script& write)
{
    MovieWriter movie(8);
    write(movie);
    movie.showFrame();
    auto loaded = swf::loadMovie(movie.bytes());
    if (!loaded)
        qWarning("%s", loaded.error().message().c_str());
    return loaded ? *loaded : nullptr;
}

struct Limits {
    int depth = -1; // -1: no ScriptLimits
    int timeout = -1;
};

} // namespace

Q_DECLARE_METATYPE(Script)
Q_DECLARE_METATYPE(Limits)

class MovieTagsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scriptLimits_data()
    {
        QTest::addColumn<Script>("write");
        QTest::addColumn<Limits>("expected");
        QTest::addColumn<int>("notes");
        QTest::newRow("none") << Script([](MovieWriter&) {}) << Limits{} << 0;
        QTest::newRow("one") << Script([](MovieWriter& m) { m.scriptLimits(1000, 60); })
                             << Limits{1000, 60} << 0;
        QTest::newRow("the largest values")
            << Script([](MovieWriter& m) { m.scriptLimits(65535, 65535); }) << Limits{65535, 65535}
            << 0;
        QTest::newRow("a later one overrides") << Script([](MovieWriter& m) {
            m.scriptLimits(300, 20);
            m.showFrame();
            m.scriptLimits(50, 5);
        }) << Limits{50, 5} << 0;
        QTest::newRow("cut short: ignored, with a note") << Script([](MovieWriter& m) {
            m.add(65, {0xe8, 0x03, 0x3c});
        }) << Limits{} << 1;
        QTest::newRow("a cut one leaves the earlier") << Script([](MovieWriter& m) {
            m.scriptLimits(300, 20);
            m.add(65, {0x01});
        }) << Limits{300, 20} << 1;
    }
    void scriptLimits()
    {
        QFETCH(Script, write);
        QFETCH(Limits, expected);
        QFETCH(int, notes);
        const auto movie = load(write);
        QVERIFY(movie);
        QCOMPARE(int(movie->notes.size()), notes);
        QCOMPARE(movie->scriptLimits.has_value(), expected.depth >= 0);
        if (!movie->scriptLimits)
            return;
        QCOMPARE(int(movie->scriptLimits->maxRecursionDepth), expected.depth);
        QCOMPARE(int(movie->scriptLimits->scriptTimeoutSeconds), expected.timeout);
    }

    void imports_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("ImportAssets") << 1;
        QTest::newRow("ImportAssets2") << 2;
    }
    void imports()
    {
        QFETCH(int, version);
        const auto movie = load([&](MovieWriter& m) {
            m.importAssets("library.swf", {{2, "Logo"}, {3, "FontSans"}}, version);
            m.importAssets("sounds/clicks.swf", {{9, "Click"}}, version);
        });
        QVERIFY(movie);
        QVERIFY(movie->notes.empty());
        QCOMPARE(movie->imports.size(), std::size_t(2));
        const swf::AssetImport& first = movie->imports[0];
        QCOMPARE(first.url, std::string("library.swf"));
        QCOMPARE(first.assets.size(), std::size_t(2));
        QCOMPARE(first.assets[0].id, swf::CharacterId(2));
        QCOMPARE(first.assets[0].name, std::string("Logo"));
        QCOMPARE(first.assets[1].id, swf::CharacterId(3));
        QCOMPARE(first.assets[1].name, std::string("FontSans"));
        QCOMPARE(movie->imports[1].url, std::string("sounds/clicks.swf"));
        QCOMPARE(movie->imports[1].assets[0].name, std::string("Click"));
        // Imported ids are promises for a later loader, not characters yet.
        QVERIFY(!movie->character(2));
    }

    void damagedAssetLists_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<std::vector<std::uint8_t>>("body");
        QTest::addColumn<int>("kept");
        // Count 3, one whole entry, then an entry whose name has no end.
        ByteWriter exports;
        exports.u16(3);
        exports.u16(4);
        exports.cstring("Box");
        exports.u16(5);
        exports.u8('B');
        QTest::newRow("ExportAssets cut in its second entry") << 56 << exports.data() << 1;
        ByteWriter imports;
        imports.cstring("lib.swf");
        imports.u16(3);
        imports.u16(4);
        imports.cstring("Box");
        imports.u8(5);
        QTest::newRow("ImportAssets cut in its second entry") << 57 << imports.data() << 1;
        ByteWriter imports2;
        imports2.cstring("lib.swf");
        imports2.u8(1);
        QTest::newRow("ImportAssets2 cut before its count") << 71 << imports2.data() << -1;
    }
    void damagedAssetLists()
    {
        QFETCH(int, code);
        QFETCH(std::vector<std::uint8_t>, body);
        QFETCH(int, kept); // -1: no import recorded at all
        const auto movie = load([&](MovieWriter& m) { m.add(std::uint16_t(code), body); });
        QVERIFY(movie);
        QCOMPARE(movie->notes.size(), std::size_t(1));
        if (code == 56) {
            QCOMPARE(int(movie->exports.size()), kept);
            QCOMPARE(movie->exports.at("Box"), swf::CharacterId(4));
            return;
        }
        QCOMPARE(movie->imports.size(), std::size_t(kept < 0 ? 0 : 1));
        if (kept >= 0) {
            QCOMPARE(int(movie->imports[0].assets.size()), kept);
            QCOMPARE(movie->imports[0].assets[0].name, std::string("Box"));
        }
    }

    void exportsKeepTheFirstOfAName()
    {
        const auto movie = load([](MovieWriter& m) {
            m.exportAssets({{1, "Hero"}, {2, "Enemy"}});
            m.exportAssets({{3, "Hero"}});
        });
        QCOMPARE(movie->exports.size(), std::size_t(2));
        QCOMPARE(movie->exports.at("Hero"), swf::CharacterId(1));
        QCOMPARE(movie->exports.at("Enemy"), swf::CharacterId(2));
    }
};

QTEST_APPLESS_MAIN(MovieTagsTest)
#include "MovieTagsTest.moc"
