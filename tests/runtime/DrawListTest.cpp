// What the runtime hands the renderer: painting order, clip spans, composed transforms
// and content versions.
#include "TestMovie.h"
#include "runtime/EditTextObject.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace testmovie;
using runtime::DrawCommand;
using runtime::DrawList;
using runtime::MoviePlayer;

namespace {

// G/g: BeginGroup/EndGroup, M/m: BeginMask/EndMask, E: EndClip, c: Character, d: Drawing.
std::string kinds(const DrawList& list)
{
    std::string out;
    for (const DrawCommand& command : list.commands) {
        switch (command.kind) {
        case DrawCommand::Kind::Character:
            out += 'c';
            break;
        case DrawCommand::Kind::BeginMask:
            out += 'M';
            break;
        case DrawCommand::Kind::EndMask:
            out += 'm';
            break;
        case DrawCommand::Kind::EndClip:
            out += 'E';
            break;
        case DrawCommand::Kind::BeginGroup:
            out += 'G';
            break;
        case DrawCommand::Kind::EndGroup:
            out += 'g';
            break;
        case DrawCommand::Kind::Drawing:
            out += 'd';
            break;
        }
    }
    return out;
}

const DrawCommand* commandFor(const DrawList& list, const runtime::DisplayObject* object)
{
    for (const DrawCommand& command : list.commands) {
        if (command.objectId == object->id() && (command.kind == DrawCommand::Kind::Character ||
                                                 command.kind == DrawCommand::Kind::BeginGroup))
            return &command;
    }
    return nullptr;
}

} // namespace

class DrawListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clipSpans_data();
    void clipSpans();
    void transformsCompose();
    void groupAndCharacterFields();
    void editTextKeepsItsTextInTheList();
    void contentVersions();
};

void DrawListTest::clipSpans_data()
{
    // Placements on the main timeline, in depth order: "depth" for a square,
    // "depth:clipDepth" for a mask, a trailing "s" for a sprite holding a square, a
    // leading "!" for an invisible object.
    QTest::addColumn<QString>("placements");
    QTest::addColumn<QString>("commands");

    QTest::newRow("no masks") << "1 2s 3"
                              << "GcGcgcg";
    QTest::newRow("mask up to its clip depth") << "1:3 2 3 4"
                                               << "GMcmccEcg";
    QTest::newRow("mask over nothing") << "5:9"
                                       << "GMcmEg";
    QTest::newRow("inner span ends with the outer") << "1:5 2:10 3 6"
                                                    << "GMcmMcmcEEcg";
    QTest::newRow("spans one after the other") << "1:2 2 3:4 4 5"
                                               << "GMcmcEMcmcEcg";
    QTest::newRow("sprite as mask") << "1:2s 2"
                                    << "GMGcgmcEg";
    QTest::newRow("invisible objects are left out") << "1 !2 !3s 4"
                                                    << "Gccg";
    QTest::newRow("an invisible mask still masks") << "!1:2 2"
                                                   << "GMcmcEg";
}

void DrawListTest::clipSpans()
{
    QFETCH(QString, placements);
    QFETCH(QString, commands);

    FrameTags tags;
    for (QString item : placements.split(' ')) {
        const bool invisible = item.startsWith('!');
        const bool sprite = item.endsWith('s');
        item.remove('!').remove('s');
        const QStringList parts = item.split(':');
        swf::PlaceObject tag = place(std::uint16_t(parts[0].toInt()), sprite ? 20 : 10);
        if (parts.size() > 1)
            tag.clipDepth = std::uint16_t(parts[1].toInt());
        if (invisible)
            tag.visible = false;
        tags.push_back(tag);
    }
    RecordingHost host;
    MoviePlayer player(
        Builder().square(10).sprite(20, timeline({{place(1, 10)}})).main(timeline({tags})).build(),
        host);
    QCOMPARE(QString::fromStdString(kinds(player.buildDrawList())), commands);
}

void DrawListTest::transformsCompose()
{
    auto outer = place(1, 20);
    outer.matrix = swf::Matrix{2, 0, 0, 2, 100, 50};
    outer.colorTransform = swf::ColorTransform{128, 256, 256, 256, 0, 0, 0, 0};
    auto inner = place(1, 10);
    inner.matrix = swf::Matrix::translation(10, 20);
    inner.colorTransform = swf::ColorTransform{256, 256, 256, 256, 20, 0, 0, 0};
    RecordingHost host;
    MoviePlayer player(
        Builder().square(10).sprite(20, timeline({{inner}})).main(timeline({{outer}})).build(),
        host);

    const DrawList list = player.buildDrawList();
    QCOMPARE(list.stage, player.stage());
    QCOMPARE(kinds(list), std::string("GGcgg"));
    const DrawCommand& group = list.commands[1];
    QCOMPARE(group.matrix, (swf::Matrix{2, 0, 0, 2, 100, 50}));
    const DrawCommand& square = list.commands[2];
    QCOMPARE(square.matrix, (swf::Matrix{2, 0, 0, 2, 120, 90}));
    QCOMPARE(square.character, player.movie().character(10));
    // Red 200: the child adds 20, then the parent halves: 110.
    QCOMPARE(int(square.colorTransform.apply({200, 0, 0, 255}).r), 110);
    QCOMPARE(int(group.colorTransform.apply({200, 0, 0, 255}).r), 100);
}

void DrawListTest::groupAndCharacterFields()
{
    static const std::vector<swf::Filter> filters{swf::BlurFilter{4, 4, 1}};
    auto clip = place(1, 20);
    clip.version = 3;
    clip.blendMode = swf::BlendMode::Multiply;
    clip.filters = filters;
    clip.cacheAsBitmap = true;
    auto morph = place(2, 30);
    morph.ratio = 16384;
    RecordingHost host;
    MoviePlayer player(
        Builder().sprite(20, timeline({{}})).morph(30).main(timeline({{clip, morph}})).build(),
        host);
    const DrawList list = player.buildDrawList();
    QCOMPARE(kinds(list), std::string("GGgcg"));
    const DrawCommand& group = list.commands[1];
    QCOMPARE(group.blendMode, swf::BlendMode::Multiply);
    QVERIFY(group.cacheAsBitmap);
    QVERIFY(group.filters);
    QCOMPARE(group.filters->size(), std::size_t(1));
    QVERIFY(std::holds_alternative<swf::BlurFilter>(group.filters->front()));
    QCOMPARE(list.commands[3].ratio, 16384 / 65535.0);
    // The main timeline is a plain group.
    QCOMPARE(list.commands[0].blendMode, swf::BlendMode::Normal);
    QVERIFY(!list.commands[0].filters);
}

void DrawListTest::editTextKeepsItsTextInTheList()
{
    RecordingHost host;
    MoviePlayer player(
        Builder().editText(30, "hello", "score").main(timeline({{place(1, 30)}})).build(), host);
    auto* field = static_cast<runtime::EditTextObject*>(player.root().childAt(1));
    QCOMPARE(field->variableName(), std::string("score"));
    const DrawList before = player.buildDrawList();
    field->setText("bye");
    const DrawList after = player.buildDrawList();
    QCOMPARE(*before.commands[1].text, std::string("hello"));
    QCOMPARE(*after.commands[1].text, std::string("bye"));
    QVERIFY(after.commands[1].contentVersion != before.commands[1].contentVersion);
    // With filters or a blend mode the field is drawn in a layer of its own.
    field->setFilters(std::make_shared<const std::vector<swf::Filter>>(
        std::vector<swf::Filter>{swf::BlurFilter{4, 4, 1}}));
    const DrawList filtered = player.buildDrawList();
    QCOMPARE(kinds(filtered), std::string("GGcgg"));
    QVERIFY(filtered.commands[1].filters && filtered.commands[1].filters->size() == 1);
    QCOMPARE(filtered.commands[1].objectId, field->id());
    field->setFilters(nullptr);
    field->setBlendMode(swf::BlendMode::Screen);
    const DrawList blended = player.buildDrawList();
    QCOMPARE(kinds(blended), std::string("GGcgg"));
    QCOMPARE(blended.commands[1].blendMode, swf::BlendMode::Screen);
}

void DrawListTest::contentVersions()
{
    auto moveClip = move(1);
    moveClip.matrix = swf::Matrix::translation(300, 0);
    auto moveSquare = move(1);
    moveSquare.matrix = swf::Matrix::translation(40, 0);
    auto tintClip = move(1);
    tintClip.colorTransform = swf::ColorTransform{256, 128, 256, 256, 0, 0, 0, 0};
    RecordingHost host;
    MoviePlayer player(Builder()
                           .square(10)
                           .sprite(20, timeline({{place(1, 10)}, {}, {moveSquare}, {}, {}}))
                           .main(timeline({{place(1, 20)}, {moveClip}, {}, {}, {tintClip}}))
                           .build(),
                       host);
    auto* clip = static_cast<runtime::ContainerObject*>(player.root().childAt(1));
    runtime::DisplayObject* square = clip->childAt(1);
    struct Versions {
        std::uint64_t root, clip, square;
    };
    auto versions = [&] {
        const DrawList list = player.buildDrawList();
        return Versions{list.commands[0].contentVersion, commandFor(list, clip)->contentVersion,
                        commandFor(list, square)->contentVersion};
    };

    Versions before = versions();
    player.advance(); // the clip moves: its own content is unchanged
    Versions now = versions();
    QVERIFY(now.root != before.root);
    QCOMPARE(now.clip, before.clip);
    QCOMPARE(now.square, before.square);

    before = now;
    player.advance(); // the square moves inside the clip
    now = versions();
    QVERIFY(now.root != before.root);
    QVERIFY(now.clip != before.clip);
    QCOMPARE(now.square, before.square);

    before = now;
    player.advance(); // nothing changes
    now = versions();
    QCOMPARE(now.root, before.root);
    QCOMPARE(now.clip, before.clip);

    before = now;
    player.advance(); // the clip is tinted: everything in it draws in new colours
    now = versions();
    QVERIFY(now.clip != before.clip);
    QVERIFY(now.square != before.square);
    QVERIFY(now.root != before.root);
}

QTEST_APPLESS_MAIN(DrawListTest)
#include "DrawListTest.moc"
