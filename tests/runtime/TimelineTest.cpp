// Placement semantics, frame advance, jumps and labels of the runtime's timelines.
#include "TestMovie.h"
#include "format/Limits.h"
#include "runtime/MoviePlayer.h"
#include "runtime/ShapeObject.h"

#include <QtTest>

using namespace testmovie;
using runtime::MoviePlayer;
using runtime::SpriteObject;

Q_DECLARE_METATYPE(swf::Timeline)

namespace {

swf::PlaceObject withMatrix(swf::PlaceObject tag, double tx)
{
    tag.matrix = swf::Matrix::translation(tx, 0);
    return tag;
}

swf::PlaceObject withRedMul(swf::PlaceObject tag, std::int16_t rMul)
{
    swf::ColorTransform cx;
    cx.rMul = rMul;
    tag.colorTransform = cx;
    return tag;
}

swf::PlaceObject withName(swf::PlaceObject tag, std::string name)
{
    tag.name = std::move(name);
    return tag;
}

swf::PlaceObject withCharacter(swf::PlaceObject tag, swf::CharacterId id)
{
    tag.characterId = id;
    return tag;
}

Builder standardCharacters()
{
    Builder movie;
    movie.square(10).square(11).font(12).sprite(20, timeline({{}}));
    return movie;
}

// Sprites placed on the main timeline, by name.
SpriteObject* clip(const MoviePlayer& player, const char* path)
{
    auto* object = player.findByPath(path);
    return object && object->kind() == runtime::ObjectKind::Sprite
               ? static_cast<SpriteObject*>(object)
               : nullptr;
}

// The deepest chain of sprites under `sprite`, counting it.
int chainLength(const runtime::ContainerObject& sprite)
{
    int deepest = 0;
    for (const auto& [depth, child] : sprite.children()) {
        if (child->kind() == runtime::ObjectKind::Sprite)
            deepest = std::max(deepest,
                               chainLength(static_cast<const runtime::ContainerObject&>(*child)));
    }
    return deepest + 1;
}

} // namespace

class TimelineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placement_data();
    void placement();
    void moveKeepsObjectReplaceMakesNew();
    void mainTimelineLoopsOrStops();
    void nestedSpriteAdvancesOnItsOwn();
    void spritePlacedMidwayStartsAtItsFirstFrame();
    void backwardJumpKeepsSameCharacter();
    void forwardJumpPlacesInBetween();
    void labels();
    void nextAndPrevFrame();
    void frameCounts_data();
    void frameCounts();
    void anUnfinishedTimelineWaitsAtItsLastFrame();
    void selfNestingStopsAtCap();
    void selfNestingTwiceStopsAtObjectCap();
    void backgroundColor();
};

void TimelineTest::placement_data()
{
    QTest::addColumn<swf::Timeline>("frames");
    QTest::addColumn<int>("character"); // at depth 1 after the last frame; 0: none
    QTest::addColumn<double>("tx");
    QTest::addColumn<int>("rMul");
    QTest::addColumn<QString>("name");

    const auto placed = withName(withRedMul(withMatrix(place(1, 10), 100), 128), "a");
    QTest::newRow("place") << timeline({{placed}}) << 10 << 100.0 << 128 << "a";
    QTest::newRow("move matrix keeps colour")
        << timeline({{placed}, {withMatrix(move(1), 300)}}) << 10 << 300.0 << 128 << "a";
    QTest::newRow("move colour keeps matrix")
        << timeline({{placed}, {withRedMul(move(1), 64)}}) << 10 << 100.0 << 64 << "a";
    QTest::newRow("move renames") << timeline({{placed}, {withName(move(1), "b")}}) << 10 << 100.0
                                  << 128 << "b";
    QTest::newRow("replace keeps properties")
        << timeline({{placed}, {withCharacter(move(1), 11)}}) << 11 << 100.0 << 128 << "a";
    QTest::newRow("replace with its own matrix")
        << timeline({{placed}, {withMatrix(withCharacter(move(1), 11), 50)}}) << 11 << 50.0 << 128
        << "a";
    QTest::newRow("place on occupied depth starts afresh")
        << timeline({{placed}, {place(1, 11)}}) << 11 << 0.0 << 256 << "";
    QTest::newRow("move of empty depth")
        << timeline({{withMatrix(withCharacter(move(1), 10), 5)}}) << 0 << 0.0 << 256 << "";
    QTest::newRow("remove") << timeline({{placed}, {remove(1)}}) << 0 << 0.0 << 256 << "";
    QTest::newRow("remove then place")
        << timeline({{placed}, {remove(1), place(1, 11)}}) << 11 << 0.0 << 256 << "";
    QTest::newRow("unknown id") << timeline({{place(1, 99)}}) << 0 << 0.0 << 256 << "";
    QTest::newRow("font is not placed") << timeline({{place(1, 12)}}) << 0 << 0.0 << 256 << "";
    QTest::newRow("replace by unknown id keeps the old")
        << timeline({{placed}, {withMatrix(withCharacter(move(1), 99), 7)}}) << 10 << 100.0 << 128
        << "a";
    swf::PlaceObject noCharacter;
    noCharacter.depth = 1;
    QTest::newRow("placement without character")
        << timeline({{noCharacter}}) << 0 << 0.0 << 256 << "";
}

void TimelineTest::placement()
{
    QFETCH(swf::Timeline, frames);
    QFETCH(int, character);
    QFETCH(double, tx);
    QFETCH(int, rMul);
    QFETCH(QString, name);

    const std::size_t count = frames.frames.size();
    RecordingHost host;
    MoviePlayer player(standardCharacters().main(std::move(frames)).build(), host);
    for (std::size_t i = 1; i < count; ++i)
        player.advance();
    QCOMPARE(player.currentFrame(), count - 1);

    runtime::DisplayObject* object = player.root().childAt(1);
    if (character == 0) {
        QVERIFY(!object);
        return;
    }
    QVERIFY(object);
    QCOMPARE(int(object->characterId()), character);
    QCOMPARE(object->matrix().tx, tx);
    QCOMPARE(int(object->colorTransform().rMul), rMul);
    QCOMPARE(QString::fromStdString(object->name()), name);
}

void TimelineTest::moveKeepsObjectReplaceMakesNew()
{
    auto ratioAndClip = move(1);
    ratioAndClip.ratio = 500;
    ratioAndClip.clipDepth = 4;
    RecordingHost host;
    MoviePlayer player(
        standardCharacters()
            .main(timeline({{place(1, 10)}, {ratioAndClip}, {withCharacter(move(1), 11)}}))
            .build(),
        host);
    const std::uint64_t first = player.root().childAt(1)->id();
    player.advance();
    QCOMPARE(player.root().childAt(1)->id(), first);
    QCOMPARE(int(player.root().childAt(1)->ratio()), 500);
    QCOMPARE(int(player.root().childAt(1)->clipDepth()), 4);
    player.advance();
    QVERIFY(player.root().childAt(1)->id() != first);
    QCOMPARE(int(player.root().childAt(1)->ratio()), 500);
    QCOMPARE(int(player.root().childAt(1)->clipDepth()), 4);
}

void TimelineTest::mainTimelineLoopsOrStops()
{
    auto frames = timeline({{withName(place(1, 20), "clip")}, {place(2, 10)}, {remove(2)}});
    for (const bool loop : {true, false}) {
        RecordingHost host;
        MoviePlayer player(standardCharacters().main(frames).build(), host);
        player.setLoop(loop);
        const std::uint64_t clipId = player.root().childAt(1)->id();
        player.advance();
        QVERIFY(player.root().childAt(2));
        player.advance();
        QVERIFY(!player.root().childAt(2));
        player.advance();
        if (loop) {
            QCOMPARE(player.currentFrame(), std::size_t(0));
            QVERIFY(player.isPlaying());
            // The clip at frame 0 stays the same object across the loop.
            QCOMPARE(player.root().childAt(1)->id(), clipId);
            player.advance();
            QCOMPARE(player.currentFrame(), std::size_t(1));
            QVERIFY(player.root().childAt(2));
        } else {
            QCOMPARE(player.currentFrame(), std::size_t(2));
            QVERIFY(!player.isPlaying());
            player.advance();
            QCOMPARE(player.currentFrame(), std::size_t(2));
        }
    }
}

void TimelineTest::nestedSpriteAdvancesOnItsOwn()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}, {}, {}}))
                           .main(timeline({{withName(place(1, 20), "clip")}}))
                           .build(),
                       host);
    SpriteObject* inner = clip(player, "_level0.clip");
    QVERIFY(inner);
    for (std::size_t step = 1; step <= 4; ++step) {
        player.advance();
        QCOMPARE(inner->currentFrame(), step % 3);
        QCOMPARE(player.currentFrame(), std::size_t(0));
    }
    // Stopping the parent does not stop the child, nor the other way round.
    player.stop();
    player.advance();
    QCOMPARE(inner->currentFrame(), std::size_t(2));
    inner->stop();
    player.advance();
    QCOMPARE(inner->currentFrame(), std::size_t(2));
}

void TimelineTest::spritePlacedMidwayStartsAtItsFirstFrame()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}, {}, {}}))
                           .main(timeline({{}, {withName(place(1, 20), "clip")}, {}}))
                           .build(),
                       host);
    player.advance();
    QVERIFY(clip(player, "clip"));
    QCOMPARE(clip(player, "clip")->currentFrame(), std::size_t(0));
    player.advance();
    QCOMPARE(clip(player, "clip")->currentFrame(), std::size_t(1));
}

void TimelineTest::backwardJumpKeepsSameCharacter()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .square(10)
                           .square(11)
                           .sprite(20, timeline({{}, {}, {}, {}}))
                           .main(timeline({
                               {withName(place(1, 20), "clip"), withMatrix(place(2, 10), 100)},
                               {withMatrix(move(2), 200), withMatrix(move(1), 50)},
                               {remove(2), place(2, 11)},
                           }))
                           .build(),
                       host);
    player.stop();
    const std::uint64_t clipId = player.root().childAt(1)->id();
    player.gotoFrame(1);
    const std::uint64_t squareId = player.root().childAt(2)->id();
    QCOMPARE(player.root().childAt(2)->matrix().tx, 200.0);
    QCOMPARE(player.root().childAt(1)->matrix().tx, 50.0);

    // Same character at the same depth: the object stays, set back to frame 0's state.
    player.gotoFrame(0);
    QCOMPARE(player.root().childAt(2)->id(), squareId);
    QCOMPARE(player.root().childAt(2)->matrix().tx, 100.0);
    QCOMPARE(player.root().childAt(1)->id(), clipId);
    QCOMPARE(player.root().childAt(1)->matrix().tx, 0.0);

    // A nested clip kept by the jump keeps its own frame.
    player.play();
    player.advance();
    player.advance();
    QCOMPARE(player.currentFrame(), std::size_t(2));
    QCOMPARE(clip(player, "clip")->currentFrame(), std::size_t(2));
    QCOMPARE(int(player.root().childAt(2)->characterId()), 11);
    player.gotoFrame(0);
    QCOMPARE(player.root().childAt(1)->id(), clipId);
    QCOMPARE(clip(player, "clip")->currentFrame(), std::size_t(2));
    // Another character was at depth 2: a new object with frame 0's properties.
    QCOMPARE(int(player.root().childAt(2)->characterId()), 10);
    QVERIFY(player.root().childAt(2)->id() != squareId);
    QCOMPARE(player.root().childAt(2)->matrix().tx, 100.0);
}

void TimelineTest::forwardJumpPlacesInBetween()
{
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(standardCharacters()
                           .main(timeline({{action(1)},
                                           {action(2), place(1, 10)},
                                           {action(3), place(2, 11), remove(1)},
                                           {action(4), place(3, 10)}}))
                           .build(),
                       host);
    player.setScriptEngine(&engine);
    player.gotoFrame(3);
    QCOMPARE(player.currentFrame(), std::size_t(3));
    QVERIFY(!player.root().childAt(1));
    QVERIFY(player.root().childAt(2));
    QVERIFY(player.root().childAt(3));
    // Only the target frame's actions run (after the first frame's, still queued).
    QCOMPARE(engine.joined(), std::string("f1@_level0 f4@_level0"));
    // Past the end means the last frame; the current frame is no jump at all.
    player.gotoFrame(99);
    QCOMPARE(player.currentFrame(), std::size_t(3));
    QCOMPARE(engine.ran.size(), std::size_t(2));
}

void TimelineTest::labels()
{
    auto frames = timeline({{}, {}, {}, {}});
    frames.frames[1].labels = {"Intro"};
    frames.frames[3].labels = {"End", "Finish"};
    RecordingHost host;
    MoviePlayer player(Builder().main(frames).build(), host);
    QCOMPARE(player.currentLabel(), std::string());
    QVERIFY(player.gotoLabel("intro"));
    QCOMPARE(player.currentFrame(), std::size_t(1));
    QVERIFY(!player.gotoLabel("missing"));
    QCOMPARE(player.currentFrame(), std::size_t(1));
    player.gotoFrame(2);
    QCOMPARE(player.currentLabel(), std::string("Intro"));
    QVERIFY(player.currentLabels().empty());
    QVERIFY(player.gotoLabel("FINISH"));
    QCOMPARE(player.currentFrame(), std::size_t(3));
    QCOMPARE(player.currentLabels(), (std::vector<std::string>{"End", "Finish"}));
    QCOMPARE(player.root().frameForLabel("end"), 3L);
}

void TimelineTest::nextAndPrevFrame()
{
    RecordingHost host;
    MoviePlayer player(Builder().main(timeline({{}, {}, {}})).build(), host);
    player.nextFrame();
    QCOMPARE(player.currentFrame(), std::size_t(1));
    QVERIFY(!player.isPlaying());
    player.nextFrame();
    player.nextFrame();
    QCOMPARE(player.currentFrame(), std::size_t(2));
    player.prevFrame();
    player.prevFrame();
    player.prevFrame();
    QCOMPARE(player.currentFrame(), std::size_t(0));
    player.advance();
    QCOMPARE(player.currentFrame(), std::size_t(0));
}

void TimelineTest::frameCounts_data()
{
    QTest::addColumn<int>("declared");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("frameCount");
    QTest::addColumn<int>("played"); // the frames playing goes through before it loops

    QTest::newRow("declared as stored") << 3 << 3 << 3 << 3;
    // The count says 5, but playing goes through the frames the file holds.
    QTest::newRow("fewer stored than declared") << 5 << 2 << 5 << 2;
    QTest::newRow("more stored than declared") << 1 << 3 << 3 << 3;
    QTest::newRow("none declared, none stored") << 0 << 0 << 1 << 1;
}

void TimelineTest::frameCounts()
{
    QFETCH(int, declared);
    QFETCH(int, stored);
    QFETCH(int, frameCount);
    QFETCH(int, played);

    // Stored frame 0 places a square; stored frame 1 removes it.
    swf::Timeline frames;
    for (int i = 0; i < stored; ++i)
        frames.frames.push_back({i == 0   ? FrameTags{place(1, 10)}
                                 : i == 1 ? FrameTags{remove(1)}
                                          : FrameTags{},
                                 {},
                                 {}});
    for (const bool asSprite : {false, true}) {
        Builder builder;
        builder.square(10);
        if (asSprite) {
            builder.sprite(20, frames, std::uint16_t(declared))
                .main(timeline({{withName(place(1, 20), "clip")}}));
        } else {
            builder.declaredFrames(std::uint16_t(declared)).main(frames);
        }
        RecordingHost host;
        MoviePlayer player(builder.build(), host);
        SpriteObject* sprite = asSprite ? clip(player, "clip") : &player.root();
        QVERIFY(sprite);
        QCOMPARE(sprite->frameCount(), std::size_t(frameCount));
        for (int step = 1; step <= played; ++step) {
            player.advance();
            QCOMPARE(sprite->currentFrame(), std::size_t(step % played));
        }
        // Back at frame 0 after the loop: what frame 0 places is there again.
        QCOMPARE(sprite->childAt(1) != nullptr, stored > 0);
    }
}

// A timeline whose last frame is unfinished (no End after its last ShowFrame) stays on
// it: it neither loops nor plays that frame again; a whole one loops.
void TimelineTest::anUnfinishedTimelineWaitsAtItsLastFrame()
{
    for (const bool complete : {false, true}) {
        swf::Timeline frames = timeline({{place(1, 10)}, {remove(1)}});
        frames.complete = complete;
        RecordingHost host;
        MoviePlayer player(Builder().square(10).main(frames).build(), host);
        for (int step = 0; step < 3; ++step)
            player.advance();
        QCOMPARE(player.currentFrame(), std::size_t(1));
        player.advance();
        QCOMPARE(player.currentFrame(), complete ? std::size_t(0) : std::size_t(1));
        QCOMPARE(player.root().childAt(1) != nullptr, complete);
    }
}

void TimelineTest::selfNestingStopsAtCap()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(30, timeline({{place(1, 30)}, {}}))
                           .main(timeline({{place(1, 30)}}))
                           .build(),
                       host);
    // The main timeline at level 0, then sprites down to the last level the cap allows.
    QCOMPARE(chainLength(player.root()), swf::limits::kMaxDisplayNesting);
    QVERIFY(host.logged("nested too deep"));
    player.advance();
    player.advance();
    QCOMPARE(chainLength(player.root()), swf::limits::kMaxDisplayNesting);
    QVERIFY(!player.buildDrawList().commands.empty());
}

void TimelineTest::selfNestingTwiceStopsAtObjectCap()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(31, timeline({{place(1, 31), place(2, 31)}}))
                           .main(timeline({{place(1, 31)}}))
                           .build(),
                       host);
    QVERIFY(host.logged("too many display objects"));
    player.advance();
    QCOMPARE(chainLength(player.root()), swf::limits::kMaxDisplayNesting);
}

void TimelineTest::backgroundColor()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .main(timeline({{},
                                           {swf::SetBackgroundColor{{255, 0, 0, 255}}},
                                           {},
                                           {swf::SetBackgroundColor{{0, 0, 255, 255}}}}))
                           .build(),
                       host);
    QCOMPARE(player.background(), (swf::Rgba{255, 255, 255, 255}));
    QCOMPARE(host.repaints, 1);
    player.advance();
    QCOMPARE(player.background(), (swf::Rgba{255, 0, 0, 255}));
    QCOMPARE(player.buildDrawList().background, (swf::Rgba{255, 0, 0, 255}));
    QCOMPARE(host.repaints, 2);
    // Nothing changes on frame 2: no repaint is asked for.
    player.advance();
    QCOMPARE(host.repaints, 2);
    // Only the first colour counts: the one on frame 3 is ignored.
    player.advance();
    QCOMPARE(player.background(), (swf::Rgba{255, 0, 0, 255}));
}

QTEST_APPLESS_MAIN(TimelineTest)
#include "TimelineTest.moc"
