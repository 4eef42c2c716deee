// What scripts do to display lists (attachMovie, createEmptyMovieClip,
// duplicateMovieClip, removeMovieClip, swapDepths), and how the timeline's rebuilds
// treat what scripts own.
#include "TestMovie.h"
#include "runtime/Limits.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace testmovie;
using runtime::DisplayObject;
using runtime::MoviePlayer;
using runtime::SpriteObject;

namespace {

constexpr int kOffset = runtime::limits::kScriptDepthOffset;

SpriteObject* clip(const MoviePlayer& player, const char* path)
{
    DisplayObject* object = player.findByPath(path);
    return object && object->kind() == runtime::ObjectKind::Sprite
               ? static_cast<SpriteObject*>(object)
               : nullptr;
}

swf::PlaceObject at(swf::PlaceObject tag, double tx)
{
    tag.matrix = swf::Matrix::translation(tx, 0);
    return tag;
}

} // namespace

class ScriptDisplayListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void attachAndCreate();
    void depthRange_data();
    void depthRange();
    void duplicate();
    void removeOnlyFromScriptDepths_data();
    void removeOnlyFromScriptDepths();
    void swapDepths();
    void rebuildLeavesScriptDepthsAlone();
    void timelineLetsSwappedClipsBe();
    void rebuildKeepsTheSameInstance_data();
    void rebuildKeepsTheSameInstance();
    void rebuildMakesWhatComesAndGoes();
    void scriptTransformOutlastsTheTimeline();
    void moveNamingAnotherSpriteKeepsTheClip();
};

void ScriptDisplayListTest::attachAndCreate()
{
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(
        Builder().sprite(20, timeline({{action(5)}, {}})).main(timeline({{}})).build(), host);
    player.setScriptEngine(&engine);
    player.runActions();
    engine.clear();

    auto first = player.root().attachCharacter(20, "a", 0);
    QVERIFY(first);
    QCOMPARE(first->depth(), kOffset);
    QCOMPARE(first->scriptDepth(), 0);
    QVERIFY(first->isScriptPlaced());
    QCOMPARE(player.findByPath("a"), first.get());
    // The same depth again replaces the clip: the first one's queued code is dropped.
    auto second = player.root().attachCharacter(20, "a", 0);
    QVERIFY(!first->onStage());
    QCOMPARE(player.root().childAtScriptDepth(0), second.get());
    player.runActions();
    QCOMPARE(engine.joined(), std::string("f5@_level0.a"));
    // Attached clips play from the next step, as placed ones do.
    player.advance();
    QCOMPARE(static_cast<SpriteObject&>(*second).currentFrame(), std::size_t(1));

    auto empty = player.root().createEmptyClip("holder", 3);
    QVERIFY(empty);
    QCOMPARE(empty->frameCount(), std::size_t(1));
    QVERIFY(empty->children().empty());
    QVERIFY(empty->isScriptPlaced());
    // Empty clips hold what scripts put in them.
    auto inside = empty->attachCharacter(20, "inside", 0);
    QCOMPARE(player.findByPath("holder.inside"), inside.get());
    QVERIFY(!player.root().attachCharacter(99, "unknown", 4));
}

void ScriptDisplayListTest::depthRange_data()
{
    QTest::addColumn<qlonglong>("depth");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("lowest") << qlonglong(runtime::limits::kMinScriptDepth) << true;
    QTest::newRow("below the lowest") << qlonglong(-16385) << false;
    QTest::newRow("highest") << qlonglong(2130690044) << true;
    QTest::newRow("above the highest") << qlonglong(2130690045) << false;
    QTest::newRow("past 32 bits") << qlonglong(4294967297LL) << false;
}

void ScriptDisplayListTest::depthRange()
{
    QFETCH(qlonglong, depth);
    QFETCH(bool, accepted);

    RecordingHost host;
    MoviePlayer player(Builder().sprite(20, timeline({{}})).main(timeline({{}})).build(), host);
    QCOMPARE(player.root().attachCharacter(20, "a", depth) != nullptr, accepted);
    QCOMPARE(player.root().createEmptyClip("b", depth) != nullptr, accepted);
    auto mover = player.root().createEmptyClip("mover", 100);
    QCOMPARE(mover->swapDepths(depth), accepted);
    QCOMPARE(mover->scriptDepth(), accepted ? int(depth) : 100);
}

void ScriptDisplayListTest::duplicate()
{
    swf::ColorTransform tint;
    tint.rMul = 128;
    auto source = withClipAction(at(named(place(1, 20), "src"), 500), swf::ClipEventLoad, 7);
    source.colorTransform = tint;
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{action(1)}, {action(2)}}))
                           .main(timeline({{source}}))
                           .build(),
                       host);
    player.setScriptEngine(&engine);
    engine.recordEvents = {runtime::ClipEvent::Load};
    SpriteObject* src = clip(player, "src");
    src->gotoFrame(1);
    src->setX(50);
    player.runActions();
    engine.clear();

    auto copy = src->duplicateAs("copy", 1);
    QVERIFY(copy);
    QCOMPARE(copy->parent(), &player.root());
    QCOMPARE(copy->characterId(), src->characterId());
    QCOMPARE(copy->scriptDepth(), 1);
    // The source's matrix as it is now, its tint and its clip actions; its own first
    // frame, and its Load since it has clip actions.
    QCOMPARE(copy->x(), 50.0);
    QCOMPARE(copy->colorTransform(), src->colorTransform());
    QCOMPARE(copy->clipActions(), src->clipActions());
    QCOMPARE(copy->currentFrame(), std::size_t(0));
    QVERIFY(copy->isScriptPlaced());
    player.runActions();
    QCOMPARE(engine.joined(), std::string("load@_level0.copy f1@_level0.copy"));
    // The main timeline has no parent to hold a copy; an empty clip copies as empty.
    QVERIFY(!player.root().duplicateAs("root2", 2));
    auto empty = player.root().createEmptyClip("e", 3);
    auto emptyCopy = empty->duplicateAs("e2", 4);
    QVERIFY(emptyCopy);
    QVERIFY(!emptyCopy->character());
}

void ScriptDisplayListTest::removeOnlyFromScriptDepths_data()
{
    QTest::addColumn<bool>("scriptPlaced");
    QTest::addColumn<qlonglong>("depth"); // script depth
    QTest::addColumn<bool>("removed");

    QTest::newRow("timeline clip") << false << qlonglong(-16383) << false;
    QTest::newRow("script clip at 0") << true << qlonglong(0) << true;
    QTest::newRow("script clip below 0") << true << qlonglong(-1) << false;
    QTest::newRow("highest removable") << true << qlonglong(2130690031) << true;
    QTest::newRow("reserved top") << true << qlonglong(2130690032) << false;
    QTest::newRow("timeline clip moved to 0") << false << qlonglong(0) << true;
}

void ScriptDisplayListTest::removeOnlyFromScriptDepths()
{
    QFETCH(bool, scriptPlaced);
    QFETCH(qlonglong, depth);
    QFETCH(bool, removed);

    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}}))
                           .main(timeline({{named(place(1, 20), "clip")}}))
                           .build(),
                       host);
    std::shared_ptr<DisplayObject> target = scriptPlaced
                                                ? player.root().attachCharacter(20, "mine", depth)
                                                : player.findByPath("clip")->shared_from_this();
    if (!scriptPlaced && depth != target->scriptDepth())
        QVERIFY(target->swapDepths(depth));
    QCOMPARE(target->removeByScript(), removed);
    QCOMPARE(target->onStage(), !removed);
}

void ScriptDisplayListTest::swapDepths()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}}))
                           .sprite(21, timeline({{named(place(1, 20), "inner")}}))
                           .main(timeline({{named(place(1, 20), "a"), named(place(3, 21), "b")}}))
                           .build(),
                       host);
    // Held, so that a removed one can still be asked.
    const auto aHeld = player.findByPath("a")->shared_from_this();
    DisplayObject* a = aHeld.get();
    DisplayObject* b = player.findByPath("b");
    QCOMPARE(player.root().nextHighestScriptDepth(), 0LL);
    QVERIFY(a->swapDepths(999));
    QCOMPARE(a->scriptDepth(), 999);
    QCOMPARE(player.root().nextHighestScriptDepth(), 1000LL);
    QVERIFY(!player.root().childAt(1));
    // Onto an occupied depth: the two trade places.
    QVERIFY(b->swapDepths(999));
    QCOMPARE(b->scriptDepth(), 999);
    QCOMPARE(a->scriptDepth(), -16381);
    QVERIFY(a->swapDepths(*b));
    QCOMPARE(a->scriptDepth(), 999);
    QCOMPARE(b->scriptDepth(), -16381);
    QVERIFY(a->swapDepths(-1));
    QCOMPARE(player.root().nextHighestScriptDepth(), 0LL);
    // Only siblings trade; the main timeline has no depth to trade.
    QVERIFY(!a->swapDepths(*player.findByPath("b.inner")));
    QVERIFY(!player.root().swapDepths(5));
    QCOMPARE(player.root().childAtScriptDepth(-1), a);
}

void ScriptDisplayListTest::rebuildLeavesScriptDepthsAlone()
{
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}}))
                           .main(timeline({{named(place(1, 20), "timeline_child")}, {}, {}}))
                           .build(),
                       host);
    player.advance();
    auto original = player.findByPath("timeline_child")->shared_from_this();
    auto empty = player.root().createEmptyClip("empty", 2);
    auto low = player.root().createEmptyClip("low", -100);
    QVERIFY(original->swapDepths(*empty));
    player.gotoFrame(0);
    // The timeline's depths are rebuilt: what scripts left there goes (even a clip they
    // made), and the timeline's own clip is made again where it belongs. The clip that
    // moved up to a script depth stays as it is.
    DisplayObject* rebuilt = player.root().childAtScriptDepth(-16383);
    QVERIFY(rebuilt);
    QVERIFY(rebuilt != original.get());
    QCOMPARE(rebuilt->name(), std::string("timeline_child"));
    QCOMPARE(player.root().childAtScriptDepth(2), original.get());
    QVERIFY(!empty->onStage());
    QVERIFY(!low->onStage());
    // Names find the lower depth first.
    QCOMPARE(player.findByPath("timeline_child"), rebuilt);
    // A loop rebuilds the same way.
    player.advance();
    player.advance();
    player.advance();
    QCOMPARE(player.currentFrame(), std::size_t(0));
    QCOMPARE(player.root().childAtScriptDepth(2), original.get());
}

// A timeline clip a script swapped to another depth is the script's: the timeline's
// moves leave it, its placements do not replace it, and a jump back keeps it where the
// frame jumped to places something (and takes it away where nothing is placed).
// Swapping to the depth it has changes nothing.
void ScriptDisplayListTest::timelineLetsSwappedClipsBe()
{
    RecordingHost host;
    MoviePlayer player(
        Builder()
            .sprite(20, timeline({{}}))
            .sprite(21, timeline({{}}))
            .sprite(22, timeline({{}}))
            .main(timeline({{named(place(1, 20), "a"), named(place(2, 21), "b")},
                            {named(place(3, 22), "c"), at(move(1), 2000), at(move(2), 2000)}}))
            .build(),
        host);
    // Held, so that a removed one can still be asked.
    const auto aHeld = player.findByPath("a")->shared_from_this();
    DisplayObject* a = aHeld.get();
    DisplayObject* b = player.findByPath("b");
    QVERIFY(b->swapDepths(b->scriptDepth()));
    QVERIFY(!b->isDepthScripted());
    QVERIFY(a->swapDepths(*b));
    player.advance();
    // b, swapped to depth 1, is not moved by the move of depth 1; nor a at depth 2.
    QCOMPARE(b->x(), 0.0);
    QCOMPARE(a->x(), 0.0);
    DisplayObject* c = player.findByPath("c");
    QVERIFY(c->swapDepths(*a)); // c goes to depth 2, a to depth 3
    player.gotoFrame(0);
    // Depths 1 and 2 have placements in frame 0: b and c stay there, and are not
    // replaced; depth 3 has none: a goes.
    QCOMPARE(player.root().childAtScriptDepth(1 - kOffset), b);
    QCOMPARE(player.root().childAtScriptDepth(2 - kOffset), c);
    QVERIFY(!a->onStage());
    QVERIFY(!player.root().childAtScriptDepth(3 - kOffset));
}

void ScriptDisplayListTest::rebuildKeepsTheSameInstance_data()
{
    QTest::addColumn<swf::Timeline>("frames");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("firstFrameAgain"); // a clip is made again, running its code

    QTest::newRow("placed by the same tag")
        << timeline({{}, {withRatio(place(1, 20), 1)}, {}, {at(move(1), 60)}}) << 3 << 1 << true
        << false;
    // Other objects came and went at the depth before the clip was placed.
    QTest::newRow("placed after another object there")
        << timeline({{place(1, 10)}, {remove(1), withRatio(place(1, 20), 1)}, {}, {}}) << 3 << 1
        << true << false;
    QTest::newRow("gone again by the target frame")
        << timeline({{}, {withRatio(place(1, 20), 1)}, {remove(1)}, {withRatio(place(1, 20), 1)}})
        << 3 << 2 << false << false;
    QTest::newRow("same sprite, another instance")
        << timeline({{}, {withRatio(place(1, 20), 1)}, {remove(1)}, {withRatio(place(1, 20), 3)}})
        << 3 << 1 << false << true;
    // A clip cannot change character: one the replay places again under the same
    // instance number stays, whatever sprite the tag names.
    QTest::newRow("another sprite, same instance number")
        << timeline({{place(1, 21)}, {remove(1), place(1, 20)}}) << 1 << 0 << true << false;
    QTest::newRow("a shape for a clip")
        << timeline({{place(1, 10)}, {remove(1), place(1, 20)}}) << 1 << 0 << false << false;
}

Q_DECLARE_METATYPE(swf::Timeline)

void ScriptDisplayListTest::rebuildKeepsTheSameInstance()
{
    QFETCH(swf::Timeline, frames);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, kept);
    QFETCH(bool, firstFrameAgain);

    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(Builder()
                           .square(10)
                           .sprite(20, timeline({{action(5)}}))
                           .sprite(21, timeline({{action(6)}}))
                           .main(std::move(frames))
                           .build(),
                       host);
    player.setScriptEngine(&engine);
    player.stop();
    player.gotoFrame(std::size_t(from));
    auto before = player.root().childAt(1)->shared_from_this();
    engine.clear();
    player.gotoFrame(std::size_t(to));
    QCOMPARE(player.root().childAt(1) == before.get(), kept);
    // A clip made again runs its first frame again; a kept one does not.
    QCOMPARE(!engine.ran.empty(), firstFrameAgain);
}

void ScriptDisplayListTest::rebuildMakesWhatComesAndGoes()
{
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}}))
                           .main(timeline({{},
                                           {withClipAction(named(place(3, 20), "passing"),
                                                           swf::ClipEventUnload, 0)},
                                           {remove(3)},
                                           {},
                                           {}}))
                           .build(),
                       host);
    player.setScriptEngine(&engine);
    engine.recordEvents = {runtime::ClipEvent::Construct, runtime::ClipEvent::Unload};
    player.stop();
    player.gotoFrame(4);
    player.runActions();
    engine.clear();
    // Going back to frame 3 replays frames 1 and 2: the clip is made (and constructed)
    // and removed again, and stays reachable until its Unload has run.
    DisplayObject* seen = nullptr;
    player.root().gotoFrame(3);
    seen = player.findByPath("passing");
    QVERIFY(seen && seen->isUnloading());
    player.runActions();
    QCOMPARE(engine.joined(), std::string("construct@_level0.passing unload@_level0.passing"));
    QVERIFY(!player.findByPath("passing"));
}

void ScriptDisplayListTest::scriptTransformOutlastsTheTimeline()
{
    auto moved = at(move(1), 4000);
    moved.matrix->a = 2;
    swf::ColorTransform red;
    red.rAdd = 255;
    moved.colorTransform = red;
    auto movedToo = moved;
    movedToo.depth = 2;
    RecordingHost host;
    MoviePlayer player(
        Builder()
            .sprite(20, timeline({{}}))
            .main(timeline({{named(place(1, 20), "scripted"), named(place(2, 20), "plain")},
                            {moved, movedToo}}))
            .build(),
        host);
    DisplayObject* scripted = player.findByPath("scripted");
    DisplayObject* plain = player.findByPath("plain");
    scripted->setX(200);
    scripted->setAlpha(25);
    QVERIFY(scripted->isScriptTransformed());
    QVERIFY(!plain->isScriptTransformed());
    player.advance();
    // The timeline's move reaches only the object no script has touched.
    QCOMPARE(scripted->x(), 200.0);
    QCOMPARE(scripted->xScale(), 100.0);
    QCOMPARE(scripted->alpha(), 25.0);
    QCOMPARE(scripted->colorTransform().rAdd, std::int16_t(0));
    QCOMPARE(plain->x(), 200.0);
    QCOMPARE(plain->xScale(), 200.0);
    QCOMPARE(plain->colorTransform().rAdd, std::int16_t(255));
    // The loop's rebuild keeps both objects, and the script's transform.
    player.advance();
    QCOMPARE(player.findByPath("scripted"), scripted);
    QCOMPARE(scripted->x(), 200.0);
    QCOMPARE(plain->x(), 0.0);
}

void ScriptDisplayListTest::moveNamingAnotherSpriteKeepsTheClip()
{
    auto replace = at(move(1), 2600);
    replace.characterId = 21;
    replace.name = "other";
    RecordingHost host;
    MoviePlayer player(Builder()
                           .sprite(20, timeline({{}}))
                           .sprite(21, timeline({{}}))
                           .main(timeline({{named(place(1, 20), "static1")}, {replace}}))
                           .build(),
                       host);
    DisplayObject* before = player.findByPath("static1");
    player.advance();
    QCOMPARE(player.findByPath("static1"), before);
    QCOMPARE(before->characterId(), swf::CharacterId(20));
    QCOMPARE(before->x(), 130.0);
    QVERIFY(!player.findByPath("other"));
}

QTEST_APPLESS_MAIN(ScriptDisplayListTest)
#include "ScriptDisplayListTest.moc"
