// A clip's scroll rectangle and opaque background, as the draw list hands them to the
// renderer: the group cut to the rectangle and its contents scrolled, the background
// filling what the clip shows.
#include "TestMovie.h"
#include "runtime/ContainerObject.h"
#include "runtime/EditTextObject.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace testmovie;
using runtime::DrawCommand;
using runtime::DrawList;
using runtime::MoviePlayer;

namespace {

swf::Rect rect(int xMin, int xMax, int yMin, int yMax)
{
    return swf::Rect{swf::Twips{xMin}, swf::Twips{xMax}, swf::Twips{yMin}, swf::Twips{yMax}};
}

// A clip at (1000, 2000) holding a 100-twip square at (30, 40).
swf::MoviePtr clipMovie(std::optional<swf::Rgba> placedBackground = std::nullopt)
{
    auto square = place(1, 10);
    square.matrix = swf::Matrix::translation(30, 40);
    auto clip = place(1, 20);
    clip.matrix = swf::Matrix::translation(1000, 2000);
    clip.version = 3;
    clip.backgroundColor = placedBackground;
    return Builder().square(10).sprite(20, timeline({{square}})).main(timeline({{clip}})).build();
}

const DrawCommand& commandOf(const DrawList& list, DrawCommand::Kind kind, std::size_t nth = 0)
{
    for (const DrawCommand& command : list.commands)
        if (command.kind == kind && nth-- == 0)
            return command;
    static const DrawCommand none;
    return none;
}

// The clip's own group: the second one, the main timeline's being the first.
const DrawCommand& clipGroup(const DrawList& list)
{
    return commandOf(list, DrawCommand::Kind::BeginGroup, 1);
}

} // namespace

class DisplaySettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scrollRectCutsAndScrollsTheClip()
    {
        RecordingHost host;
        MoviePlayer player(clipMovie(), host);
        runtime::DisplayObject* clip = player.root().childAt(1);
        const DrawList plain = player.buildDrawList();
        QVERIFY(!clipGroup(plain).clipRect);
        QCOMPARE(commandOf(plain, DrawCommand::Kind::Character).matrix.tx, 1030.0);

        clip->setScrollRect(rect(10, 60, 20, 90));
        const DrawList scrolled = player.buildDrawList();
        const DrawCommand& group = clipGroup(scrolled);
        QVERIFY(group.clipRect);
        // The rectangle of the clip's own space it shows, put at its origin.
        QCOMPARE(*group.clipRect, rect(0, 50, 0, 70));
        QCOMPARE(group.matrix.tx, 1000.0);
        QCOMPARE(group.matrix.ty, 2000.0);
        const DrawCommand& square = commandOf(scrolled, DrawCommand::Kind::Character);
        QCOMPARE(square.matrix.tx, 1000.0 + 30 - 10);
        QCOMPARE(square.matrix.ty, 2000.0 + 40 - 20);
        QVERIFY(group.contentVersion != clipGroup(plain).contentVersion);

        clip->setScrollRect(std::nullopt);
        const DrawList back = player.buildDrawList();
        QVERIFY(!clipGroup(back).clipRect);
        QCOMPARE(commandOf(back, DrawCommand::Kind::Character).matrix.tx, 1030.0);
    }

    void opaqueBackgroundFillsWhatTheClipShows()
    {
        RecordingHost host;
        MoviePlayer player(clipMovie(), host);
        runtime::DisplayObject* clip = player.root().childAt(1);
        QVERIFY(!clipGroup(player.buildDrawList()).background);

        const swf::Rgba green{0, 255, 0, 255};
        clip->setOpaqueBackground(green);
        DrawList list = player.buildDrawList();
        QVERIFY(clipGroup(list).background);
        QCOMPARE(*clipGroup(list).background, green);
        // The clip's bounds, in its own space.
        QCOMPARE(clipGroup(list).backgroundBox, rect(30, 130, 40, 140));

        // With a scroll rectangle it fills the rectangle shown.
        clip->setScrollRect(rect(0, 500, 0, 300));
        list = player.buildDrawList();
        QCOMPARE(clipGroup(list).backgroundBox, rect(0, 500, 0, 300));

        const std::uint64_t before = clipGroup(list).contentVersion;
        clip->setOpaqueBackground(std::nullopt);
        list = player.buildDrawList();
        QVERIFY(!clipGroup(list).background);
        QVERIFY(clipGroup(list).contentVersion != before);
    }

    void textFieldBoxesComeInTheirColours()
    {
        RecordingHost host;
        MoviePlayer player(Builder().editText(30, "hi").main(timeline({{place(1, 30)}})).build(),
                           host);
        auto* field = static_cast<runtime::EditTextObject*>(player.root().childAt(1));
        const DrawList before = player.buildDrawList();
        const DrawCommand& plain = commandOf(before, DrawCommand::Kind::Character);
        QVERIFY(!plain.boxBackground);
        QVERIFY(!plain.boxBorder);

        field->extras().background = true;
        field->extras().backgroundColor = 0x00FFFF;
        field->extras().borderColor = 0xFF0000;
        field->setBorder(true);
        const DrawList list = player.buildDrawList();
        const DrawCommand& boxed = commandOf(list, DrawCommand::Kind::Character);
        QVERIFY(boxed.boxBackground);
        QCOMPARE(*boxed.boxBackground, (swf::Rgba{0, 255, 255, 255}));
        QVERIFY(boxed.boxBorder);
        QCOMPARE(*boxed.boxBorder, (swf::Rgba{255, 0, 0, 255}));
    }

    void placementGivesAnOpaqueBackground()
    {
        RecordingHost host;
        MoviePlayer player(clipMovie(swf::Rgba{10, 20, 30, 0}), host);
        const runtime::DisplayObject* clip = player.root().childAt(1);
        QVERIFY(clip->opaqueBackground());
        // Opaque whatever alpha the tag carries.
        QCOMPARE(*clip->opaqueBackground(), (swf::Rgba{10, 20, 30, 255}));
        QVERIFY(clipGroup(player.buildDrawList()).background);
    }
};

QTEST_APPLESS_MAIN(DisplaySettingsTest)
#include "DisplaySettingsTest.moc"
