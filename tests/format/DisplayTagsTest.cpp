#include "format/DisplayTags.h"

#include "TagBodies.h"

#include <FilterWriter.h>
#include <QTest>

using swf::ByteReader;
using swf::ClipAction;
using swf::ErrorCode;
using swf::PlaceObject;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint16_t kPlaceObject = 4, kRemoveObject = 5, kPlaceObject2 = 26,
                        kRemoveObject2 = 28, kPlaceObject3 = 70;

std::uint16_t placeCode(int placeVersion)
{
    return placeVersion == 1 ? kPlaceObject : placeVersion == 2 ? kPlaceObject2 : kPlaceObject3;
}

// Reads the first placement of a written tag stream.
swf::Result<PlaceObject> parsePlace(const swfwriter::TagList& tags, int placeVersion,
                                    int swfVersion = 10)
{
    const auto body = tagbodies::first(tags.bytes(), placeCode(placeVersion));
    ByteReader in(body);
    return swf::parsePlaceObject(in, placeVersion, swfVersion);
}

swf::Result<PlaceObject> parseBody(const Bytes& body, int placeVersion, int swfVersion = 10)
{
    ByteReader in(body);
    return swf::parsePlaceObject(in, placeVersion, swfVersion);
}

Bytes placeBody(const swfwriter::Place& place, int placeVersion)
{
    swfwriter::TagList tags;
    if (placeVersion == 3)
        tags.place3(place);
    else
        tags.place2(place);
    return tagbodies::first(tags.bytes(), placeCode(placeVersion));
}

const Bytes kStop = {0x07, 0x00};
const Bytes kPlay = {0x06, 0x00};
const Bytes kGotoFrame = {0x81, 0x02, 0x00, 0x05, 0x00, 0x00};

// Clip handlers for a movie of `swfVersion`: key presses exist from version 6.
std::vector<swfwriter::ClipActionRecord> clipHandlers(int swfVersion)
{
    std::vector<swfwriter::ClipActionRecord> records = {
        {swf::ClipEventLoad | swf::ClipEventEnterFrame, 0, kStop},
        {swf::ClipEventPress | swf::ClipEventRelease | swf::ClipEventDragOver, 0, kPlay},
    };
    if (swfVersion >= 6)
        records.push_back({swf::ClipEventKeyPress | swf::ClipEventConstruct, 13, kGotoFrame});
    return records;
}

void compareClipActions(const std::vector<ClipAction>& actual,
                        const std::vector<swfwriter::ClipActionRecord>& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual[i].events, expected[i].events);
        QCOMPARE(actual[i].keyCode, expected[i].keyCode);
        QCOMPARE(actual[i].actions, expected[i].actions);
    }
}

} // namespace

class DisplayTagsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placeObject_data();
    void placeObject();
    void placeObject2AllFields();
    void placeObject2MoveOnly();
    void clipActions_data();
    void clipActions();
    void damagedClipActions_data();
    void damagedClipActions();
    void placeObject3AllFields();
    void placeObject3ShortBodies_data();
    void placeObject3ShortBodies();
    void placeObject3ImageClassName();
    void truncatedPlacements_data();
    void truncatedPlacements();
    void removeObject_data();
    void removeObject();
};

void DisplayTagsTest::placeObject_data()
{
    QTest::addColumn<bool>("withColorTransform");
    QTest::newRow("matrix only") << false;
    QTest::newRow("with a colour transform") << true;
}

void DisplayTagsTest::placeObject()
{
    QFETCH(bool, withColorTransform);
    swfwriter::TagList tags;
    std::optional<swfwriter::ColorTransform> cx;
    if (withColorTransform)
        cx = swfwriter::ColorTransform{128, 256, 512, 256, 10, -20, 0, 0};
    tags.place1(7, 3, swfwriter::Matrix::translate(200, -40), cx);
    auto result = parsePlace(tags, 1);
    QVERIFY(result.ok());
    QCOMPARE(result->version, 1);
    QCOMPARE(result->characterId, std::optional<swf::CharacterId>(7));
    QCOMPARE(result->depth, std::uint16_t(3));
    QVERIFY(!result->move);
    QVERIFY(result->matrix);
    QCOMPARE(result->matrix->tx, 200.0);
    QCOMPARE(result->matrix->ty, -40.0);
    QCOMPARE(result->colorTransform.has_value(), withColorTransform);
    if (withColorTransform) {
        QCOMPARE(result->colorTransform->rMul, std::int16_t(128));
        QCOMPARE(result->colorTransform->bMul, std::int16_t(512));
        QCOMPARE(result->colorTransform->gAdd, std::int16_t(-20));
        // CXFORM has no alpha terms.
        QCOMPARE(result->colorTransform->aMul, std::int16_t(256));
    }
}

void DisplayTagsTest::placeObject2AllFields()
{
    swfwriter::Place place;
    place.move = true;
    place.depth = 12;
    place.characterId = 9;
    place.matrix = swfwriter::Matrix::scale(2, 0.5, 100, 200);
    place.colorTransform = swfwriter::ColorTransform{256, 256, 256, 128, -20, 0, 0, 30};
    place.ratio = 300;
    place.name = "clip1";
    place.clipDepth = 20;
    swfwriter::TagList tags;
    tags.place2(place);
    auto result = parsePlace(tags, 2);
    QVERIFY(result.ok());
    const PlaceObject& p = *result;
    QCOMPARE(p.version, 2);
    QVERIFY(p.move);
    QCOMPARE(p.depth, std::uint16_t(12));
    QCOMPARE(p.characterId, std::optional<swf::CharacterId>(9));
    QCOMPARE(p.matrix->a, 2.0);
    QCOMPARE(p.matrix->d, 0.5);
    QCOMPARE(p.matrix->ty, 200.0);
    QCOMPARE(p.colorTransform->aMul, std::int16_t(128));
    QCOMPARE(p.colorTransform->rAdd, std::int16_t(-20));
    QCOMPARE(p.colorTransform->aAdd, std::int16_t(30));
    QCOMPARE(p.ratio, std::optional<std::uint16_t>(300));
    QCOMPARE(p.name, std::optional<std::string>("clip1"));
    QCOMPARE(p.clipDepth, std::optional<std::uint16_t>(20));
    QVERIFY(!p.className && !p.filters && !p.blendMode && !p.cacheAsBitmap && !p.visible);
    QVERIFY(p.clipActions.empty());
}

void DisplayTagsTest::placeObject2MoveOnly()
{
    swfwriter::Place place;
    place.move = true;
    place.depth = 4;
    place.matrix = swfwriter::Matrix::translate(20, 20);
    swfwriter::TagList tags;
    tags.place2(place);
    auto result = parsePlace(tags, 2);
    QVERIFY(result.ok());
    QVERIFY(result->move);
    QVERIFY(!result->characterId && !result->colorTransform && !result->ratio);
    QVERIFY(!result->name && !result->clipDepth);
    QCOMPARE(result->matrix->tx, 20.0);
}

void DisplayTagsTest::clipActions_data()
{
    QTest::addColumn<int>("placeVersion");
    QTest::addColumn<int>("swfVersion");
    QTest::newRow("PlaceObject2, SWF 5: 16-bit events") << 2 << 5;
    QTest::newRow("PlaceObject2, SWF 6: 32-bit events and key codes") << 2 << 6;
    QTest::newRow("PlaceObject3, SWF 8") << 3 << 8;
}

void DisplayTagsTest::clipActions()
{
    QFETCH(int, placeVersion);
    QFETCH(int, swfVersion);
    swfwriter::Place place;
    place.depth = 1;
    place.characterId = 2;
    place.name = "hero";
    place.clipActions = clipHandlers(swfVersion);
    place.wideClipEvents = swfVersion >= 6;
    auto result = parseBody(placeBody(place, placeVersion), placeVersion, swfVersion);
    QVERIFY(result.ok());
    QCOMPARE(result->name, std::optional<std::string>("hero"));
    compareClipActions(result->clipActions, place.clipActions);
}

void DisplayTagsTest::damagedClipActions_data()
{
    // Damage inside the clip actions keeps the placement and the handlers read whole
    // before it; the field where the list ended is reported.
    QTest::addColumn<int>("placeVersion");
    QTest::addColumn<Bytes>("body");
    QTest::addColumn<int>("swfVersion");
    QTest::addColumn<std::vector<Bytes>>("handlers"); // their byte code, in order
    QTest::addColumn<QString>("cutAt");               // empty: the list is whole
    auto header = [](swfwriter::ByteWriter& out, int swfVersion) {
        out.u8(0x82); // PlaceFlagHasClipActions, PlaceFlagHasCharacter
        out.u16(1);   // Depth
        out.u16(5);   // CharacterId
        out.u16(0);   // reserved
        if (swfVersion >= 6)
            out.u32(swf::ClipEventLoad);
        else
            out.u16(swf::ClipEventLoad);
    };
    auto placed = [](swfwriter::ClipListEnd end, int swfVersion) {
        swfwriter::Place place;
        place.depth = 1;
        place.characterId = 5;
        place.clipActions = clipHandlers(swfVersion);
        place.wideClipEvents = swfVersion >= 6;
        place.clipListEnd = end;
        return place;
    };
    const std::vector<Bytes> all = {kStop, kPlay, kGotoFrame};
    const std::vector<Bytes> none, stop = {kStop};
    for (int placeVersion : {2, 3}) {
        const QByteArray tag = placeVersion == 2 ? "PlaceObject2, " : "PlaceObject3, ";
        QTest::newRow((tag + "16-bit end word in a version 6 movie").constData())
            << placeVersion
            << placeBody(placed(swfwriter::ClipListEnd::ShortEventWord, 6), placeVersion) << 6
            << all << "ClipActionEndFlag";
        QTest::newRow((tag + "no end word").constData())
            << placeVersion << placeBody(placed(swfwriter::ClipListEnd::Missing, 10), placeVersion)
            << 10 << all << "ClipActionEndFlag";
        QTest::newRow((tag + "whole list").constData())
            << placeVersion
            << placeBody(placed(swfwriter::ClipListEnd::EventWord, 10), placeVersion) << 10 << all
            << "";
    }
    {
        Bytes body = placeBody(placed(swfwriter::ClipListEnd::Missing, 6), 2);
        body.resize(body.size() - 1); // the last record's byte code cut
        QTest::newRow("last record cut short")
            << 2 << body << 6 << std::vector<Bytes>{kStop, kPlay} << "ActionRecordSize";
    }
    {
        swfwriter::ByteWriter out;
        header(out, 6);
        out.u32(swf::ClipEventLoad);
        out.u32(100); // ActionRecordSize past the end
        out.bytes(kStop);
        QTest::newRow("ActionRecordSize past the end")
            << 2 << out.data() << 6 << none << "ActionRecordSize";
    }
    {
        swfwriter::ByteWriter out;
        header(out, 5);
        out.u16(swf::ClipEventLoad);
        out.u32(2);
        out.bytes(kStop);
        out.u8(0); // half of a 16-bit end word
        QTest::newRow("version 5, end word cut")
            << 2 << out.data() << 5 << stop << "ClipActionEndFlag";
    }
    {
        swfwriter::ByteWriter out;
        header(out, 6);
        out.u32(swf::ClipEventKeyPress);
        out.u32(0); // the record has no room for its key code
        out.u32(0);
        QTest::newRow("key code missing") << 2 << out.data() << 6 << none << "KeyCode";
    }
    {
        swfwriter::ByteWriter out;
        header(out, 6);
        out.u16(1); // half an event word
        QTest::newRow("event word cut") << 2 << out.data() << 6 << none << "ClipActionEndFlag";
    }
    {
        swfwriter::ByteWriter out;
        out.u8(0x82);
        out.u16(1);
        out.u16(5);
        out.u16(0);
        out.u8(1); // AllEventFlags cut
        QTest::newRow("AllEventFlags cut") << 2 << out.data() << 6 << none << "AllEventFlags";
    }
    {
        swfwriter::ByteWriter out;
        out.u8(0x82);
        out.u16(1);
        out.u16(5); // the body ends where the clip actions would start
        QTest::newRow("flag set, no clip actions") << 2 << out.data() << 6 << none << "";
    }
}

void DisplayTagsTest::damagedClipActions()
{
    QFETCH(int, placeVersion);
    QFETCH(Bytes, body);
    QFETCH(int, swfVersion);
    QFETCH(std::vector<Bytes>, handlers);
    QFETCH(QString, cutAt);
    auto result = parseBody(body, placeVersion, swfVersion);
    QVERIFY(result.ok());
    QCOMPARE(result->depth, std::uint16_t(1));
    QCOMPARE(result->characterId, std::optional<swf::CharacterId>(5));
    QCOMPARE(QString::fromUtf8(result->clipActionsCutAt.data(),
                               qsizetype(result->clipActionsCutAt.size())),
             cutAt);
    QCOMPARE(result->clipActions.size(), handlers.size());
    for (std::size_t i = 0; i < handlers.size(); ++i)
        QCOMPARE(result->clipActions[i].actions, handlers[i]);
}

void DisplayTagsTest::placeObject3AllFields()
{
    swfwriter::Place place;
    place.depth = 30;
    place.characterId = 5;
    place.className = "game.Hero";
    place.matrix = swfwriter::Matrix::translate(-100, 60);
    place.colorTransform = swfwriter::ColorTransform{};
    place.colorTransform->gAdd = 40;
    place.name = "hero";
    place.filterListBytes = swfwriter::FilterListWriter()
                                .add(swfwriter::Blur{3, 4, 2})
                                .add(swfwriter::Glow{{255, 0, 0, 255}})
                                .bytes();
    place.blendMode = 3;
    place.cacheAsBitmap = 1;
    place.visible = 0;
    place.backgroundColor = swfwriter::Color{1, 2, 3, 4};
    place.clipActions = clipHandlers(10);
    swfwriter::TagList tags;
    tags.place3(place);
    auto result = parsePlace(tags, 3, 10);
    QVERIFY(result.ok());
    const PlaceObject& p = *result;
    QCOMPARE(p.version, 3);
    QCOMPARE(p.depth, std::uint16_t(30));
    QCOMPARE(p.characterId, std::optional<swf::CharacterId>(5));
    QCOMPARE(p.className, std::optional<std::string>("game.Hero"));
    QCOMPARE(p.matrix->tx, -100.0);
    QCOMPARE(p.colorTransform->gAdd, std::int16_t(40));
    QCOMPARE(p.name, std::optional<std::string>("hero"));
    QVERIFY(p.filters);
    QCOMPARE(p.filters->size(), std::size_t(2));
    QVERIFY(std::holds_alternative<swf::BlurFilter>(p.filters->at(0)));
    QCOMPARE(std::get<swf::GlowFilter>(p.filters->at(1)).color, (swf::Rgba{255, 0, 0, 255}));
    QCOMPARE(p.blendMode, std::optional<swf::BlendMode>(swf::BlendMode::Multiply));
    QCOMPARE(p.cacheAsBitmap, std::optional<bool>(true));
    QCOMPARE(p.visible, std::optional<bool>(false));
    QCOMPARE(p.backgroundColor, std::optional<swf::Rgba>(swf::Rgba{1, 2, 3, 4}));
    compareClipActions(p.clipActions, place.clipActions);
}

void DisplayTagsTest::placeObject3ShortBodies_data()
{
    QTest::addColumn<int>("cut"); // bytes dropped from the end
    QTest::addColumn<bool>("reads");
    QTest::addColumn<bool>("cacheAsBitmap");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("background");
    // Written: BlendMode, BitmapCache 0, Visible 0, BackgroundColor (4 bytes).
    QTest::newRow("whole") << 0 << true << false << false << true;
    QTest::newRow("ends before BackgroundColor") << 4 << true << false << false << false;
    QTest::newRow("ends before Visible") << 5 << true << false << true << false;
    QTest::newRow("ends before BitmapCache") << 6 << true << true << true << false;
    QTest::newRow("ends inside BackgroundColor") << 2 << false << false << false << false;
}

void DisplayTagsTest::placeObject3ShortBodies()
{
    QFETCH(int, cut);
    QFETCH(bool, reads);
    QFETCH(bool, cacheAsBitmap);
    QFETCH(bool, visible);
    QFETCH(bool, background);
    swfwriter::Place place;
    place.depth = 2;
    place.characterId = 3;
    place.blendMode = 12;
    place.cacheAsBitmap = 0;
    place.visible = 0;
    place.backgroundColor = swfwriter::Color{9, 9, 9, 9};
    Bytes body = placeBody(place, 3);
    body.resize(body.size() - std::size_t(cut));
    auto result = parseBody(body, 3);
    QCOMPARE(result.ok(), reads);
    if (!reads) {
        QCOMPARE(result.error().code, ErrorCode::Truncated);
        return;
    }
    QCOMPARE(result->blendMode, std::optional<swf::BlendMode>(swf::BlendMode::Erase));
    QCOMPARE(result->cacheAsBitmap, std::optional<bool>(cacheAsBitmap));
    QCOMPARE(result->visible, std::optional<bool>(visible));
    QCOMPARE(result->backgroundColor.has_value(), background);
}

void DisplayTagsTest::placeObject3ImageClassName()
{
    // With PlaceFlagHasImage and PlaceFlagHasCharacter, the class name is there even
    // without PlaceFlagHasClassName.
    swfwriter::ByteWriter out;
    out.u8(0x02); // PlaceFlagHasCharacter
    out.u8(0x10); // PlaceFlagHasImage
    out.u16(6);   // Depth
    out.cstring("Picture");
    out.u16(4); // CharacterId
    auto result = parseBody(out.data(), 3);
    QVERIFY(result.ok());
    QCOMPARE(result->className, std::optional<std::string>("Picture"));
    QCOMPARE(result->characterId, std::optional<swf::CharacterId>(4));
    QCOMPARE(result->depth, std::uint16_t(6));
}

void DisplayTagsTest::truncatedPlacements_data()
{
    QTest::addColumn<int>("placeVersion");
    QTest::addColumn<Bytes>("body");
    QTest::addColumn<int>("error");
    QTest::newRow("PlaceObject without a matrix")
        << 1 << Bytes{7, 0, 3, 0} << int(ErrorCode::Truncated);
    QTest::newRow("PlaceObject2 empty") << 2 << Bytes{} << int(ErrorCode::Truncated);
    swfwriter::Place named;
    named.name = "unterminated";
    Bytes nameCut = placeBody(named, 2);
    nameCut.pop_back(); // the name's terminator
    QTest::newRow("PlaceObject2 name without end") << 2 << nameCut << int(ErrorCode::Truncated);
    swfwriter::Place filtered;
    filtered.filterListBytes = swfwriter::FilterListWriter().addRaw(9, {1, 2}).bytes();
    QTest::newRow("PlaceObject3 with an unknown filter")
        << 3 << placeBody(filtered, 3) << int(ErrorCode::BadValue);
    QTest::newRow("PlaceObject3 flags only") << 3 << Bytes{0x02, 0x00} << int(ErrorCode::Truncated);
    QTest::newRow("unknown version") << 4 << Bytes{0, 0, 0} << int(ErrorCode::Unsupported);
}

void DisplayTagsTest::truncatedPlacements()
{
    QFETCH(int, placeVersion);
    QFETCH(Bytes, body);
    QFETCH(int, error);
    auto result = parseBody(body, placeVersion);
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void DisplayTagsTest::removeObject_data()
{
    QTest::addColumn<int>("removeVersion");
    QTest::addColumn<Bytes>("body");
    QTest::addColumn<bool>("reads");
    swfwriter::TagList tags;
    tags.remove1(5, 9);
    tags.remove2(9);
    QTest::newRow("RemoveObject") << 1 << tagbodies::first(tags.bytes(), kRemoveObject) << true;
    QTest::newRow("RemoveObject2") << 2 << tagbodies::first(tags.bytes(), kRemoveObject2) << true;
    QTest::newRow("RemoveObject cut") << 1 << Bytes{5, 0, 9} << false;
    QTest::newRow("RemoveObject2 cut") << 2 << Bytes{9} << false;
}

void DisplayTagsTest::removeObject()
{
    QFETCH(int, removeVersion);
    QFETCH(Bytes, body);
    QFETCH(bool, reads);
    ByteReader in(body);
    auto result = swf::parseRemoveObject(in, removeVersion);
    QCOMPARE(result.ok(), reads);
    if (!reads) {
        QCOMPARE(result.error().code, ErrorCode::Truncated);
        return;
    }
    QCOMPARE(result->depth, std::uint16_t(9));
    if (removeVersion == 1)
        QCOMPARE(result->characterId, std::optional<swf::CharacterId>(5));
    else
        QVERIFY(!result->characterId);
}

QTEST_APPLESS_MAIN(DisplayTagsTest)
#include "DisplayTagsTest.moc"
