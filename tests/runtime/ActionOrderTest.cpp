// The order in which timelines, clip events and buttons hand work to the script engine,
// as the reference player orders it (the rules are written out in FrameStep.cpp).
#include "TestMovie.h"
#include "runtime/Limits.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>
#include <functional>

using namespace testmovie;
using runtime::ClipEvent;
using runtime::MoviePlayer;

Q_DECLARE_METATYPE(swf::MoviePtr)

namespace {

// Runs a callback before recording each block of code (not the events), so that a
// block can change the stage, and counts `cost` actions for every block.
class ScriptedEngine : public RecordingEngine {
public:
    std::function<void(const runtime::QueuedAction&)> before;
    std::size_t cost = 1;
    std::size_t runAction(const runtime::QueuedAction& action) override
    {
        if (before && !action.code.empty())
            before(action);
        const std::size_t counted = RecordingEngine::runAction(action);
        return counted ? cost : 0;
    }
};

// A sprite whose frames each hold one action block with the given markers.
swf::Timeline markedFrames(std::initializer_list<std::uint8_t> markers)
{
    swf::Timeline result;
    for (std::uint8_t marker : markers)
        result.frames.push_back(swf::Frame{{action(marker)}, {}, {}});
    return result;
}

} // namespace

class ActionOrderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stepOrder_data();
    void stepOrder();
    void clipEventsFromPlacementToRemoval();
    void loadWithoutClipActionsWaitsForTheStep();
    void removedClipWithUnloadHandlerStaysReachable_data();
    void removedClipWithUnloadHandlerStaysReachable();
    void removedTargetsDoNotRun();
    void nothingRunsWithoutEngine();
    void jumpsFromScripts();
    void jumpPastTheEndSkipsTheLastFramesCode();
    void endlessScriptsStopAtActionCap();
    void engineHooks();
};

void ActionOrderTest::stepOrder_data()
{
    QTest::addColumn<swf::MoviePtr>("movie");
    // What runs on the first frame, then in each step after it.
    QTest::addColumn<QStringList>("steps");

    // A frame's code is queued where its tag stands: before a child placed after it;
    // init blocks first even when their tag comes last. After that the newer clip steps
    // first, and the main timeline, the oldest, last.
    QTest::newRow("frame code, init code, children")
        << Builder()
               .sprite(20, markedFrames({2, 4}))
               .sprite(40, timeline({{}}))
               .main(timeline({{action(1), named(place(1, 20), "clip"), initAction(40, 9)},
                               {action(3), initAction(40, 8)}}))
               .build()
        << QStringList{"i9@_level0 f1@_level0 f2@_level0.clip", "f4@_level0.clip f3@_level0",
                       // Both loop: the clip is kept, and init blocks never run twice.
                       "f2@_level0.clip f1@_level0"};

    // Siblings run their first frames in placement order, and then the one placed
    // last first, whatever their depths.
    QTest::newRow("siblings: the last placed first")
        << Builder()
               .sprite(20, markedFrames({10, 20}))
               .sprite(21, markedFrames({12, 22}))
               .sprite(22, markedFrames({11, 21}))
               .main(timeline({{named(place(10, 20), "a"), named(place(12, 21), "b"),
                                named(place(11, 22), "c")}}))
               .build()
        << QStringList{"f10@_level0.a f12@_level0.b f11@_level0.c",
                       "f21@_level0.c f22@_level0.b f20@_level0.a"};

    // The order is by when clips were made, not by the tree: a clip made inside the
    // older sibling runs before the younger one.
    QTest::newRow("a clip made later runs first, wherever it is")
        << Builder()
               .sprite(30, markedFrames({7, 8, 9}))
               .sprite(20,
                       timeline({{action(1)}, {action(2), named(place(1, 30), "g")}, {action(3)}}))
               .sprite(21, markedFrames({4, 5, 6}))
               .main(timeline({{named(place(1, 20), "a"), named(place(2, 21), "b")}}))
               .build()
        << QStringList{"f1@_level0.a f4@_level0.b", "f5@_level0.b f2@_level0.a f7@_level0.a.g",
                       "f8@_level0.a.g f6@_level0.b f3@_level0.a"};
}

void ActionOrderTest::stepOrder()
{
    QFETCH(swf::MoviePtr, movie);
    QFETCH(QStringList, steps);

    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(movie, host);
    player.setScriptEngine(&engine);
    player.runActions();
    for (int step = 0; step < steps.size(); ++step) {
        if (step > 0)
            player.advance();
        QCOMPARE(QString::fromStdString(engine.joined()), steps[step]);
        engine.clear();
    }
    QCOMPARE(player.queuedActions(), std::size_t(0));
}

void ActionOrderTest::clipEventsFromPlacementToRemoval()
{
    const auto handlers = [](swf::PlaceObject tag) {
        for (std::uint32_t event :
             {swf::ClipEventInitialize, swf::ClipEventConstruct, swf::ClipEventLoad,
              swf::ClipEventEnterFrame, swf::ClipEventUnload})
            tag = withClipAction(tag, event, 0);
        return tag;
    };
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(
        Builder()
            .sprite(31, markedFrames({6}))
            .sprite(30, timeline({{action(5), handlers(named(place(2, 31), "child"))}}))
            .main(timeline({{action(1)},
                            {action(2), handlers(named(place(1, 30), "clip"))},
                            {action(3)},
                            {remove(1), action(4)}}))
            .build(),
        host);
    player.setScriptEngine(&engine);
    engine.recordEvents = {ClipEvent::Initialize, ClipEvent::Construct, ClipEvent::Load,
                           ClipEvent::EnterFrame, ClipEvent::Unload};
    player.runActions();
    // The main timeline's Load follows its first frame's code.
    QCOMPARE(engine.joined(), std::string("f1@_level0 load@_level0"));
    engine.clear();

    player.advance();
    // Initialize handlers, then Construct handlers, before any frame code; then the
    // frame in tag order: the parent's code, each clip's Load before its first frame.
    QCOMPARE(engine.joined(),
             std::string("initialize@_level0.clip initialize@_level0.clip.child "
                         "construct@_level0.clip construct@_level0.clip.child "
                         "enterframe@_level0 f2@_level0 load@_level0.clip f5@_level0.clip "
                         "load@_level0.clip.child f6@_level0.clip.child"));
    engine.clear();

    player.advance();
    // Each clip's enterFrame comes with its own step: the newest first.
    QCOMPARE(engine.joined(), std::string("enterframe@_level0.clip.child enterframe@_level0.clip "
                                          "enterframe@_level0 f3@_level0"));
    engine.clear();

    player.advance();
    // The removal drops the enterFrame the clips queued before it; inner clips unload
    // first, and the clip is still reachable by its path while they do.
    QCOMPARE(engine.joined(), std::string("enterframe@_level0 unload@_level0.clip.child "
                                          "unload@_level0.clip f4@_level0"));
    QVERIFY(!player.findByPath("clip"));
}

void ActionOrderTest::loadWithoutClipActionsWaitsForTheStep()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(
        Builder()
            .sprite(20, timeline({{}}))
            .main(timeline({{},
                            {named(place(1, 20), "plain"),
                             withClipAction(named(place(2, 20), "handled"), swf::ClipEventLoad, 0),
                             action(1)}}))
            .build(),
        host);
    player.setScriptEngine(&engine);
    engine.recordEvents = {ClipEvent::Load};
    player.runActions();
    engine.clear();
    player.advance();
    QCOMPARE(engine.joined(), std::string("load@_level0.handled f1@_level0 load@_level0.plain"));
}

void ActionOrderTest::removedClipWithUnloadHandlerStaysReachable_data()
{
    QTest::addColumn<bool>("clipAction");    // onClipEvent(unload) on the removed clip
    QTest::addColumn<bool>("innerHandler");  // ... or on a clip inside it
    QTest::addColumn<bool>("scriptHandler"); // onUnload set by a script
    QTest::addColumn<bool>("reachable");

    QTest::newRow("no handler") << false << false << false << false;
    QTest::newRow("clip action") << true << false << false << true;
    QTest::newRow("inner clip's handler") << false << true << false << true;
    QTest::newRow("script handler") << false << false << true << true;
}

void ActionOrderTest::removedClipWithUnloadHandlerStaysReachable()
{
    QFETCH(bool, clipAction);
    QFETCH(bool, innerHandler);
    QFETCH(bool, scriptHandler);
    QFETCH(bool, reachable);

    class UnloadingEngine : public ScriptedEngine {
    public:
        bool scriptHandler = false;
        bool hasUnloadHandler(const runtime::DisplayObject& clip) const override
        {
            return scriptHandler && clip.name() == "clip";
        }
    };

    auto inner = named(place(1, 21), "inner");
    if (innerHandler)
        inner = withClipAction(inner, swf::ClipEventUnload, 0);
    auto outer = named(place(1, 20), "clip");
    if (clipAction)
        outer = withClipAction(outer, swf::ClipEventUnload, 0);
    RecordingHost host;
    UnloadingEngine engine;
    engine.scriptHandler = scriptHandler;
    MoviePlayer player(
        Builder()
            .sprite(21, timeline({{}}))
            .sprite(20, timeline({{inner}}))
            .main(timeline({{outer}, {remove(1), named(place(1, 21), "clip"), action(2)}}))
            .build(),
        host);
    player.setScriptEngine(&engine);
    player.runActions();
    const std::shared_ptr<runtime::DisplayObject> removedClip =
        player.findByPath("clip")->shared_from_this();
    // The frame code after the removal finds the removed clip by name, before the clip
    // placed at its depth since, if it is kept for its handlers.
    runtime::DisplayObject* found = nullptr;
    bool foundUnloading = false;
    int foundDepth = 0;
    engine.before = [&](const runtime::QueuedAction&) {
        found = player.findByPath("clip");
        foundUnloading = found && found->isUnloading();
        foundDepth = found ? found->scriptDepth() : 0;
    };
    engine.removed.clear();
    player.advance();
    QVERIFY(found);
    QCOMPARE(found == removedClip.get(), reachable);
    QCOMPARE(foundUnloading, reachable);
    if (reachable)
        QVERIFY(foundDepth < runtime::limits::kMinScriptDepth);
    // Gone once the step is over, and then the engine hears of it, inner clip too.
    QVERIFY(!removedClip->parent());
    QCOMPARE(player.root().children().size(), std::size_t(1));
    QCOMPARE(engine.removed, (std::vector<std::string>{"_level0.clip", "_level0.clip.inner"}));
}

void ActionOrderTest::removedTargetsDoNotRun()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(
        Builder()
            .sprite(20, timeline({{action(2)}}))
            .main(timeline({{named(place(1, 20), "clip"), action(1), initAction(20, 9)}}))
            .build(),
        host);
    player.setScriptEngine(&engine);
    // The init block takes the clip away before the clip's frame code runs.
    engine.before = [&](const runtime::QueuedAction& action) {
        if (action.kind == runtime::QueuedAction::Kind::Init)
            player.root().removeChild(1);
    };
    player.runActions();
    QCOMPARE(engine.joined(), std::string("i9@_level0 f1@_level0"));
}

void ActionOrderTest::nothingRunsWithoutEngine()
{
    RecordingHost host;
    MoviePlayer player(Builder().main(timeline({{action(1)}, {action(2)}})).build(), host);
    // The first frame's code and the main timeline's Load.
    QCOMPARE(player.queuedActions(), std::size_t(2));
    player.advance();
    QCOMPARE(player.queuedActions(), std::size_t(0));
    QVERIFY(host.logged("no script engine"));
}

void ActionOrderTest::jumpsFromScripts()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(Builder()
                           .sprite(20, markedFrames({5}))
                           .sprite(21, markedFrames({6}))
                           .main(timeline({{action(1)},
                                           {named(place(3, 20), "deep")},
                                           {named(place(1, 21), "shallow")},
                                           {action(3)},
                                           {action(4)}}))
                           .build(),
                       host);
    player.setScriptEngine(&engine);
    std::size_t frameSeen = 0;
    engine.before = [&](const runtime::QueuedAction& action) {
        if (action.code[0] == 1) {
            player.root().gotoFrame(3);
            player.root().stop();
            // The script goes on in the new frame.
            frameSeen = player.currentFrame();
        }
    };
    player.runActions();
    QCOMPARE(frameSeen, std::size_t(3));
    // What the skipped frames place is made at once, in tag order, its first frames'
    // code queued as met; the target frame's code runs after the block that jumped.
    QCOMPARE(engine.joined(),
             std::string("f1@_level0 f5@_level0.deep f6@_level0.shallow f3@_level0"));
}

void ActionOrderTest::jumpPastTheEndSkipsTheLastFramesCode()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(
        Builder().square(10).main(timeline({{action(1)}, {action(2), place(1, 10)}})).build(),
        host);
    player.setScriptEngine(&engine);
    player.runActions();
    engine.clear();
    player.stop();
    player.root().gotoFrame(999);
    player.runActions();
    QCOMPARE(player.currentFrame(), std::size_t(1));
    QVERIFY(player.root().childAt(1));
    QCOMPARE(engine.joined(), std::string());
    // A jump within the timeline runs the target's code as usual.
    player.root().gotoFrame(0);
    player.root().gotoFrame(1);
    player.runActions();
    QCOMPARE(engine.joined(), std::string("f1@_level0 f2@_level0"));
}

void ActionOrderTest::endlessScriptsStopAtActionCap()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(Builder().main(timeline({{action(1)}, {action(2)}})).build(), host);
    player.setScriptEngine(&engine);
    // Each frame's code jumps to the other frame: without the cap this never ends. Each
    // block counts a quarter of the step's budget.
    engine.cost = runtime::limits::kMaxActionsPerStep / 4;
    engine.before = [&](const runtime::QueuedAction& action) {
        player.root().gotoFrame(action.code[0] == 1 ? 1 : 0);
    };
    player.runActions();
    QCOMPARE(engine.ran.size(), std::size_t(4));
    QVERIFY(host.logged("too much script work"));
    QCOMPARE(player.queuedActions(), std::size_t(0));
    // The budget is per step: the next one runs again.
    engine.clear();
    player.advance();
    QCOMPARE(engine.ran.size(), std::size_t(4));
}

void ActionOrderTest::engineHooks()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(Builder()
                           .square(10)
                           .sprite(20, timeline({{place(1, 10)}}))
                           .main(timeline({{named(place(1, 20), "clip")}, {remove(1)}}))
                           .build(),
                       host);
    // What stood before the engine came is announced when it does, oldest first.
    player.setScriptEngine(&engine);
    QCOMPARE(engine.created,
             (std::vector<std::string>{"_level0", "_level0.clip", "_level0.clip."}));
    QCOMPARE(engine.steps, 0);
    player.runActions();
    QCOMPARE(engine.steps, 1);
    // A removal names every object of the subtree.
    player.advance();
    QCOMPARE(engine.removed, (std::vector<std::string>{"_level0.clip", "_level0.clip."}));
    QCOMPARE(engine.steps, 2);
    player.pointerMove(10, 10);
    QCOMPARE(engine.steps, 3);
    // New placements are announced before their first frame runs: the loop back
    // places the clip again.
    engine.created.clear();
    player.advance();
    QCOMPARE(engine.created, (std::vector<std::string>{"_level0.clip", "_level0.clip."}));
}

QTEST_APPLESS_MAIN(ActionOrderTest)
#include "ActionOrderTest.moc"
