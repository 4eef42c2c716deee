#include "format/Button.h"

#include "TagBodies.h"

#include <ButtonWriter.h>
#include <FilterWriter.h>
#include <QTest>

using swf::Button;
using swf::ByteReader;
using swf::ErrorCode;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint16_t kDefineButton = 7, kDefineButtonCxform = 23, kDefineButton2 = 34;

// Writes the tag into a tag stream, reads it back and parses the body after the id.
swf::Result<Button> parseTag(std::uint16_t code, const Bytes& body)
{
    swfwriter::TagList tags;
    tags.add(code, body);
    const auto read = tagbodies::first(tags.bytes(), code);
    ByteReader in(read);
    in.u16(); // character id
    return swf::parseButton(in, code == kDefineButton2 ? 2 : 1);
}

const Bytes kStop = {0x07, 0x00};
const Bytes kPlay = {0x06, 0x00};
const Bytes kNextFrame = {0x04, 0x00};

std::vector<swfwriter::ButtonRecord> twoRecords()
{
    swfwriter::ButtonRecord up;
    up.states = swf::ButtonUp | swf::ButtonOver;
    up.characterId = 10;
    up.depth = 1;
    up.matrix = swfwriter::Matrix::translate(40, 60);
    swfwriter::ButtonRecord hit;
    hit.states = swf::ButtonDown | swf::ButtonHitTest;
    hit.characterId = 11;
    hit.depth = 2;
    hit.matrix = swfwriter::Matrix::scale(2, 2);
    return {up, hit};
}

// DefineButton2's records: a colour transform on the first, filters and a blend mode
// on the second.
std::vector<swfwriter::ButtonRecord> styledRecords()
{
    auto records = twoRecords();
    records[0].colorTransform.rMul = 128;
    records[0].colorTransform.aAdd = -50;
    records[1].filterListBytes =
        swfwriter::FilterListWriter().add(swfwriter::Blur{2, 2, 1}).add(swfwriter::Glow{}).bytes();
    records[1].blendMode = 8;
    return records;
}

} // namespace

class ButtonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defineButton();
    void defineButtonWithoutActions();
    void defineButton2();
    void defineButton2WithoutActions();
    void damagedButtons_data();
    void damagedButtons();
    void buttonCxform_data();
    void buttonCxform();
};

void ButtonTest::defineButton()
{
    Bytes actions = kPlay;
    actions.insert(actions.begin(), {0x07}); // Stop, Play, End
    auto result = parseTag(kDefineButton, swfwriter::defineButtonBody(3, twoRecords(), actions));
    QVERIFY(result.ok());
    const Button& b = *result;
    QCOMPARE(b.records.size(), std::size_t(2));
    QCOMPARE(b.records[0].states, std::uint8_t(swf::ButtonUp | swf::ButtonOver));
    QCOMPARE(b.records[0].characterId, swf::CharacterId(10));
    QCOMPARE(b.records[0].depth, std::uint16_t(1));
    QCOMPARE(b.records[0].matrix.tx, 40.0);
    QCOMPARE(b.records[0].matrix.ty, 60.0);
    QCOMPARE(b.records[1].states, std::uint8_t(swf::ButtonDown | swf::ButtonHitTest));
    QCOMPARE(b.records[1].matrix.a, 2.0);
    QVERIFY(b.records[1].colorTransform.isIdentity());
    QVERIFY(!b.trackAsMenu);
    // DefineButton's one action block runs on release inside the button.
    QCOMPARE(b.actions.size(), std::size_t(1));
    QCOMPARE(b.actions[0].conditions, std::uint16_t(swf::OverDownToOverUp));
    QCOMPARE(b.actions[0].keyCode, std::uint8_t(0));
    QCOMPARE(b.actions[0].actions, actions);
}

void ButtonTest::defineButtonWithoutActions()
{
    auto result = parseTag(kDefineButton, swfwriter::defineButtonBody(3, twoRecords(), {0x00}));
    QVERIFY(result.ok());
    QCOMPARE(result->records.size(), std::size_t(2));
    QVERIFY(result->actions.empty());
}

void ButtonTest::defineButton2()
{
    const std::vector<swfwriter::ButtonCondAction> actions = {
        {swf::IdleToOverUp | swf::OverDownToIdle, 0, kStop},
        {0, 13, kPlay}, // the Enter key
        {swf::OverDownToOverUp | swf::OutDownToIdle, 0, kNextFrame},
    };
    auto result =
        parseTag(kDefineButton2, swfwriter::defineButton2Body(3, true, styledRecords(), actions));
    QVERIFY(result.ok());
    const Button& b = *result;
    QVERIFY(b.trackAsMenu);

    QCOMPARE(b.records.size(), std::size_t(2));
    QCOMPARE(b.records[0].colorTransform.rMul, std::int16_t(128));
    QCOMPARE(b.records[0].colorTransform.aAdd, std::int16_t(-50));
    QVERIFY(b.records[0].filters.empty());
    QCOMPARE(b.records[0].blendMode, swf::BlendMode::Normal);
    QCOMPARE(b.records[1].characterId, swf::CharacterId(11));
    QCOMPARE(b.records[1].filters.size(), std::size_t(2));
    QVERIFY(std::holds_alternative<swf::GlowFilter>(b.records[1].filters[1]));
    QCOMPARE(b.records[1].blendMode, swf::BlendMode::Add);

    QCOMPARE(b.actions.size(), actions.size());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        QCOMPARE(b.actions[i].conditions, actions[i].conditions);
        QCOMPARE(b.actions[i].keyCode, actions[i].keyCode);
        QCOMPARE(b.actions[i].actions, actions[i].actions);
    }
}

void ButtonTest::defineButton2WithoutActions()
{
    auto result =
        parseTag(kDefineButton2, swfwriter::defineButton2Body(3, false, twoRecords(), {}));
    QVERIFY(result.ok());
    QCOMPARE(result->records.size(), std::size_t(2));
    QVERIFY(result->actions.empty());
}

void ButtonTest::damagedButtons_data()
{
    QTest::addColumn<std::uint16_t>("code");
    QTest::addColumn<Bytes>("body");
    QTest::addColumn<int>("error");
    const std::vector<swfwriter::ButtonCondAction> two = {{swf::IdleToOverUp, 0, kStop},
                                                          {swf::OverUpToIdle, 0, kPlay}};
    const Bytes good = swfwriter::defineButton2Body(3, false, twoRecords(), two);
    // Body offsets: id (2), flags (1), ActionOffset (2), then the records.
    const std::size_t actionOffset = good[3] | (good[4] << 8);
    const std::size_t firstCondAction = 3 + actionOffset;

    Bytes sizeTooSmall = good;
    sizeTooSmall[firstCondAction] = 2;
    QTest::newRow("CondActionSize below its own fields")
        << kDefineButton2 << sizeTooSmall << int(ErrorCode::BadValue);
    Bytes sizePastEnd = good;
    sizePastEnd[firstCondAction] = 0xff;
    QTest::newRow("CondActionSize past the end")
        << kDefineButton2 << sizePastEnd << int(ErrorCode::BadValue);
    Bytes offsetPastEnd = good;
    offsetPastEnd[4] = 0x7f;
    QTest::newRow("ActionOffset past the end")
        << kDefineButton2 << offsetPastEnd << int(ErrorCode::BadValue);
    Bytes condCut(good.begin(), good.begin() + std::ptrdiff_t(firstCondAction + 3));
    QTest::newRow("BUTTONCONDACTION cut") << kDefineButton2 << condCut << int(ErrorCode::Truncated);

    const Bytes one = swfwriter::defineButtonBody(3, twoRecords(), kStop);
    // The records run to the end without their CharacterEndFlag.
    const Bytes recordsOnly(one.begin(), one.end() - std::ptrdiff_t(kStop.size() + 1));
    QTest::newRow("CharacterEndFlag missing")
        << kDefineButton << recordsOnly << int(ErrorCode::Truncated);
    const Bytes recordCut(one.begin(), one.begin() + 6);
    QTest::newRow("BUTTONRECORD cut") << kDefineButton << recordCut << int(ErrorCode::Truncated);
    auto badFilters = twoRecords();
    badFilters[0].filterListBytes = swfwriter::FilterListWriter().addRaw(200, {}).bytes();
    QTest::newRow("unknown filter in a record")
        << kDefineButton2 << swfwriter::defineButton2Body(3, false, badFilters, {})
        << int(ErrorCode::BadValue);
    QTest::newRow("ActionOffset cut")
        << kDefineButton2 << Bytes{3, 0, 0, 5} << int(ErrorCode::Truncated);
}

void ButtonTest::damagedButtons()
{
    QFETCH(std::uint16_t, code);
    QFETCH(Bytes, body);
    QFETCH(int, error);
    auto result = parseTag(code, body);
    QVERIFY(!result.ok());
    QCOMPARE(int(result.error().code), error);
}

void ButtonTest::buttonCxform_data()
{
    QTest::addColumn<int>("transforms");
    QTest::newRow("one for every record") << 1;
    QTest::newRow("one a record") << 2;
    QTest::newRow("more than the records") << 3;
}

void ButtonTest::buttonCxform()
{
    QFETCH(int, transforms);
    auto button = parseTag(kDefineButton, swfwriter::defineButtonBody(3, twoRecords(), {}));
    QVERIFY(button.ok());
    std::vector<swfwriter::ColorTransform> cx(static_cast<std::size_t>(transforms));
    for (int i = 0; i < transforms; ++i) {
        cx[std::size_t(i)].gMul = static_cast<std::int16_t>(100 + i);
        cx[std::size_t(i)].bAdd = static_cast<std::int16_t>(-10 - i);
    }
    swfwriter::TagList tags;
    tags.add(kDefineButtonCxform, swfwriter::defineButtonCxformBody(3, cx));
    const auto body = tagbodies::first(tags.bytes(), kDefineButtonCxform);
    ByteReader in(body);
    QCOMPARE(in.u16(), std::uint16_t(3));
    QVERIFY(swf::applyButtonCxform(in, *button).ok());
    QCOMPARE(button->records[0].colorTransform.gMul, std::int16_t(100));
    QCOMPARE(button->records[0].colorTransform.bAdd, std::int16_t(-10));
    // A lone transform covers every record; more than one go to the records in order.
    const std::int16_t secondMul = transforms == 1 ? 100 : 101;
    QCOMPARE(button->records[1].colorTransform.gMul, secondMul);
    // CXFORM has no alpha terms.
    QCOMPARE(button->records[1].colorTransform.aMul, std::int16_t(256));
}

QTEST_APPLESS_MAIN(ButtonTest)
#include "ButtonTest.moc"
