// Whole movies read tag by tag: the dictionary, the timelines of the movie and its
// sprites, and what happens to damaged or unusual tag streams.
#include "BitmapWriter.h"
#include "FontWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "format/Movie.h"

#include <QtTest>

using namespace swfwriter;

namespace {

std::vector<std::uint8_t> square(std::uint16_t id, Color color, int version = 3)
{
    ShapeWriter shape(version);
    const int fill = shape.addFill(FillStyle::solid(color));
    shape.fill1(fill).rect(0, 0, 400, 400);
    return shape.body(id);
}

Place placed(std::uint16_t depth, std::uint16_t id, std::optional<std::string> name = {})
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    place.name = std::move(name);
    return place;
}

swf::MoviePtr load(const MovieWriter& movie, Compression compression = Compression::None)
{
    const auto bytes = movie.bytes(compression);
    auto loaded = swf::loadMovie(bytes);
    if (!loaded)
        qWarning("%s", loaded.error().message().c_str());
    return loaded ? *loaded : nullptr;
}

} // namespace

class MovieParserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dictionaryAndFrames_data()
    {
        QTest::addColumn<int>("compression");
        QTest::newRow("FWS") << int(Compression::None);
        QTest::newRow("CWS") << int(Compression::Zlib);
        QTest::newRow("ZWS") << int(Compression::Lzma);
    }
    void dictionaryAndFrames()
    {
        QFETCH(int, compression);
        MovieWriter movie(8);
        movie.fileAttributes();
        movie.setBackground({10, 20, 30});
        movie.add(32, square(1, {255, 0, 0}));
        movie.frameLabel("start");
        movie.place2(placed(1, 1));
        movie.doAction({0x07, 0x00}); // stop
        movie.showFrame();
        movie.remove2(1);
        movie.showFrame();
        const auto definition = load(movie, Compression(compression));
        QVERIFY(definition);
        QVERIFY(definition->complete);
        QVERIFY(definition->get<swf::Shape>(1));
        QVERIFY(!definition->get<swf::Bitmap>(1));
        QCOMPARE(definition->characterCount(), std::size_t(1));
        const swf::Timeline& timeline = definition->timeline;
        QCOMPARE(timeline.frames.size(), std::size_t(2));
        QCOMPARE(timeline.frameForLabel("START"), 0L);
        const auto& first = timeline.frames[0].tags;
        QCOMPARE(first.size(), std::size_t(3));
        QVERIFY(std::holds_alternative<swf::SetBackgroundColor>(first[0]));
        QCOMPARE(std::get<swf::SetBackgroundColor>(first[0]).color, (swf::Rgba{10, 20, 30, 255}));
        QCOMPARE(std::get<swf::PlaceObject>(first[1]).characterId, std::optional<std::uint16_t>(1));
        QCOMPARE(std::get<swf::DoAction>(first[2]).actions,
                 (std::vector<std::uint8_t>{0x07, 0x00}));
        QVERIFY(std::holds_alternative<swf::RemoveObject>(timeline.frames[1].tags[0]));
    }

    void spritesHaveTheirOwnTimelines()
    {
        TagList inner;
        inner.place2(placed(1, 1));
        inner.showFrame();
        inner.frameLabel("second");
        inner.showFrame();
        inner.showFrame();
        MovieWriter movie;
        movie.add(32, square(1, {0, 255, 0}));
        movie.defineSprite(2, inner);
        movie.place2(placed(1, 2, "clip"));
        movie.showFrame();
        const auto definition = load(movie);
        const swf::Sprite* sprite = definition->get<swf::Sprite>(2);
        QVERIFY(sprite);
        QCOMPARE(sprite->declaredFrameCount, std::uint16_t(3));
        QCOMPARE(sprite->timeline.frames.size(), std::size_t(3));
        QCOMPARE(sprite->timeline.frameForLabel("second"), 1L);
        QCOMPARE(*std::get<swf::PlaceObject>(definition->timeline.frames[0].tags[0]).name,
                 std::string("clip"));
    }

    void fontInfoCompletesAnEarlierFont()
    {
        ShapeWriter glyph(1);
        glyph.fill1(1).rect(0, 0, 500, 700);
        FontWriter font(1);
        font.addGlyph(glyph, 'A').setName("Plain");
        MovieWriter movie;
        movie.add(font.tagCode(), font.body(5));
        movie.add(13, font.infoBody(5, 1));
        movie.showFrame();
        const auto definition = load(movie);
        const swf::Font* parsed = definition->get<swf::Font>(5);
        QVERIFY(parsed);
        QCOMPARE(parsed->name, std::string("Plain"));
        QCOMPARE(parsed->glyphForCode('A'), 0);
    }

    void bitmapsWithTheMoviesJpegTables()
    {
        MovieWriter movie;
        const auto bitmap = LosslessBitmap::pix24(1, Image::filled(4, 3, {0, 0, 255}));
        auto lossless = bitmap;
        lossless.id = 9;
        movie.add(lossless.tagCode(), lossless.body());
        movie.showFrame();
        const auto definition = load(movie);
        const swf::Bitmap* parsed = definition->get<swf::Bitmap>(9);
        QVERIFY(parsed);
        QCOMPARE(parsed->width, 4u);
        QCOMPARE(parsed->pixel(1, 1), 0xff0000ffu);
    }

    void duplicateIdsKeepTheFirstDefinition()
    {
        MovieWriter movie;
        movie.add(32, square(1, {255, 0, 0}));
        movie.add(32, square(1, {0, 0, 255}));
        movie.showFrame();
        const auto definition = load(movie);
        const swf::Shape* shape = definition->get<swf::Shape>(1);
        QCOMPARE(shape->drawing()[0].fills[0].color, (swf::Rgba{255, 0, 0, 255}));
        QCOMPARE(definition->notes.size(), std::size_t(1));
    }

    void aBrokenDefinitionIsSkipped()
    {
        MovieWriter movie;
        auto broken = square(1, {255, 0, 0});
        broken.resize(6);
        movie.add(32, broken);
        movie.add(32, square(2, {0, 255, 0}));
        movie.showFrame();
        const auto definition = load(movie);
        QVERIFY(!definition->character(1));
        QVERIFY(definition->get<swf::Shape>(2));
        QVERIFY(definition->complete);
        QVERIFY(!definition->notes.empty());
        QVERIFY(QString::fromStdString(definition->notes[0]).contains("DefineShape3 (id 1)"));
    }

    void aTagRunningPastTheEndEndsTheMovieWithWhatWasRead()
    {
        MovieWriter movie;
        movie.add(32, square(1, {255, 0, 0}));
        movie.place2(placed(1, 1));
        movie.showFrame();
        movie.showFrame();
        auto bytes = movie.bytes();
        // A long tag header whose length runs far past the data, then the end.
        const std::vector<std::uint8_t> runaway = {0x3f, 0x03, 0xff, 0xff, 0x00, 0x00, 1, 2, 3};
        bytes.erase(bytes.end() - 2, bytes.end());
        bytes.insert(bytes.end(), runaway.begin(), runaway.end());
        auto loaded = swf::loadMovie(bytes);
        QVERIFY(loaded);
        QVERIFY(!(*loaded)->complete);
        QCOMPARE((*loaded)->timeline.frames.size(), std::size_t(2));
    }

    void nestedSpriteDefinitionsStopAtTheCap()
    {
        TagList deepest;
        deepest.showFrame();
        MovieWriter movie;
        // Sprite definitions inside sprite definitions, far deeper than allowed.
        std::vector<std::uint8_t> body;
        TagList level = deepest;
        for (int depth = 0; depth < 20; ++depth) {
            TagList outer;
            ByteWriter sprite;
            sprite.u16(static_cast<std::uint16_t>(100 + depth));
            sprite.u16(1);
            sprite.bytes(level.bytes());
            sprite.u16(0);
            outer.add(39, sprite.data());
            outer.showFrame();
            level = outer;
        }
        movie.add(39, [&] {
            ByteWriter sprite;
            sprite.u16(200);
            sprite.u16(1);
            sprite.bytes(level.bytes());
            sprite.u16(0);
            return sprite.data();
        }());
        movie.showFrame();
        const auto definition = load(movie);
        QVERIFY(definition);
        // The outer ones are read; from the eighth level in, each is skipped with a note.
        QVERIFY(definition->get<swf::Sprite>(200));
        QVERIFY(definition->get<swf::Sprite>(113));
        QVERIFY(!definition->character(112));
        QVERIFY(!definition->character(100));
        QVERIFY(!definition->notes.empty());
    }

    void actionScript3MoviesKeepTheirTimeline()
    {
        MovieWriter movie(10);
        movie.fileAttributes(true);
        movie.add(82, {1, 0, 0, 0, 'm', 0, 0x10, 0x00}); // DoABC: flags, name, block
        movie.add(72, {0x10, 0x00, 0x2E});               // DoABCDefine: the block alone
        movie.add(32, square(1, {255, 0, 0}));
        movie.place2(placed(1, 1));
        movie.add(76, {2, 0, 0, 0, 'M', 0, 1, 0, 'a', '.', 'B', 0}); // SymbolClass
        movie.showFrame();
        movie.add(76, {9, 0, 1, 0, 'x', 0}); // more symbols than the tag holds
        movie.showFrame();
        const auto definition = load(movie);
        QVERIFY(definition->attributes.actionScript3);
        QCOMPARE(definition->timeline.frames.size(), std::size_t(2));
        const auto& tags = definition->timeline.frames[0].tags;
        QCOMPARE(tags.size(), std::size_t(4));
        const auto* block = std::get_if<swf::DoAbc>(&tags[0]);
        QVERIFY(block);
        QCOMPARE(block->flags, 1u);
        QCOMPARE(block->name, std::string("m"));
        QCOMPARE(block->abc, (std::vector<std::uint8_t>{0x10, 0x00}));
        const auto* bare = std::get_if<swf::DoAbc>(&tags[1]);
        QVERIFY(bare);
        QCOMPARE(bare->flags, 0u);
        QCOMPARE(bare->abc, (std::vector<std::uint8_t>{0x10, 0x00, 0x2E}));
        QVERIFY(std::get_if<swf::PlaceObject>(&tags[2]));
        const auto* symbols = std::get_if<swf::SymbolClass>(&tags[3]);
        QVERIFY(symbols);
        QCOMPARE(symbols->symbols.size(), std::size_t(2));
        QCOMPARE(symbols->symbols[0].first, 0);
        QCOMPARE(symbols->symbols[0].second, std::string("M"));
        QCOMPARE(symbols->symbols[1].first, 1);
        QCOMPARE(symbols->symbols[1].second, std::string("a.B"));
        // The damaged SymbolClass is dropped with a note; the frame stays.
        QVERIFY(definition->timeline.frames[1].tags.empty());
        QVERIFY(!definition->notes.empty());
    }

    void exportsAndTrailingTags()
    {
        MovieWriter movie;
        movie.add(32, square(3, {1, 2, 3}));
        ByteWriter exports;
        exports.u16(1);
        exports.u16(3);
        exports.cstring("Box");
        movie.add(56, exports.data());
        movie.showFrame();
        movie.place2(placed(1, 3)); // no ShowFrame after it
        const auto definition = load(movie);
        QCOMPARE(definition->exports.at("Box"), swf::CharacterId(3));
        QCOMPARE(definition->timeline.frames.size(), std::size_t(2));
    }

    // A timeline is whole when its tags end with End right after a ShowFrame; tags
    // after the last ShowFrame, or no End, leave it unfinished.
    void timelinesKnowWhetherTheyAreWhole()
    {
        TagList whole;
        whole.doAction({0x00});
        whole.showFrame();
        whole.showFrame();
        TagList trailing;
        trailing.showFrame();
        trailing.doAction({0x00});
        TagList cutShort;
        cutShort.showFrame();
        cutShort.showFrame();
        ByteWriter noEnd;
        noEnd.u16(3);
        noEnd.u16(2);
        noEnd.bytes(cutShort.bytes());
        MovieWriter movie;
        movie.defineSprite(1, whole);
        movie.defineSprite(2, trailing);
        movie.add(39, noEnd.data());
        movie.showFrame();
        const auto definition = load(movie);
        QVERIFY(definition);
        QVERIFY(definition->timeline.complete);
        QVERIFY(definition->get<swf::Sprite>(1)->timeline.complete);
        const swf::Sprite* withTrailing = definition->get<swf::Sprite>(2);
        QVERIFY(!withTrailing->timeline.complete);
        QCOMPARE(withTrailing->timeline.frames.size(), std::size_t(2));
        QVERIFY(!definition->get<swf::Sprite>(3)->timeline.complete);
    }

    void damagedClipActionsKeepThePlacement_data()
    {
        QTest::addColumn<int>("listEnd");
        QTest::addColumn<bool>("noted");
        QTest::newRow("16-bit end word") << int(ClipListEnd::ShortEventWord) << true;
        QTest::newRow("no end word") << int(ClipListEnd::Missing) << true;
        QTest::newRow("whole") << int(ClipListEnd::EventWord) << false;
    }
    void damagedClipActionsKeepThePlacement()
    {
        QFETCH(int, listEnd);
        QFETCH(bool, noted);
        // A version 15 movie placing a clip with two handlers, its list ended as given.
        const std::vector<std::uint8_t> onLoad = {0x96, 0x06, 0x00, 0x00, 'L', 'o',
                                                  'a',  'd',  0x00, 0x26, 0x00};
        const std::vector<std::uint8_t> onEnterFrame = {0x96, 0x03, 0x00, 0x00,
                                                        'E',  0x00, 0x26, 0x00};
        TagList inner;
        inner.showFrame();
        MovieWriter movie(15);
        movie.fileAttributes();
        movie.defineSprite(2, inner);
        Place place = placed(1, 2);
        place.clipActions = {{0x01, 0, onLoad}, {0x02, 0, onEnterFrame}};
        place.clipListEnd = ClipListEnd(listEnd);
        movie.place2(place);
        movie.showFrame();
        const auto definition = load(movie);
        QVERIFY(definition);
        QCOMPARE(definition->timeline.frames[0].tags.size(), std::size_t(1));
        const auto& placement = std::get<swf::PlaceObject>(definition->timeline.frames[0].tags[0]);
        QCOMPARE(placement.characterId, std::optional<swf::CharacterId>(2));
        QCOMPARE(placement.clipActions.size(), std::size_t(2));
        QCOMPARE(placement.clipActions[0].events, std::uint32_t(swf::ClipEventLoad));
        QCOMPARE(placement.clipActions[0].actions, onLoad);
        QCOMPARE(placement.clipActions[1].events, std::uint32_t(swf::ClipEventEnterFrame));
        QCOMPARE(placement.clipActions[1].actions, onEnterFrame);
        QCOMPARE(definition->notes.size(), std::size_t(noted ? 1 : 0));
        if (noted) {
            QCOMPARE(QString::fromStdString(definition->notes[0]),
                     QString("PlaceObject2 (depth 1): the clip actions end early, in "
                             "ClipActionEndFlag; 2 handlers kept"));
        }
    }

    void notAMovie()
    {
        const std::vector<std::uint8_t> bytes = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
        auto loaded = swf::loadMovie(bytes);
        QVERIFY(!loaded);
        QCOMPARE(loaded.error().code, swf::ErrorCode::NotAMovie);
    }
};

QTEST_APPLESS_MAIN(MovieParserTest)
#include "MovieParserTest.moc"
