// The order in which timelines and buttons hand action blocks to the script engine.
#include "TestMovie.h"
#include "format/Limits.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>
#include <functional>

using namespace testmovie;
using runtime::MoviePlayer;

namespace {

// Runs a callback before recording, so that a block can change the stage.
class ScriptedEngine : public RecordingEngine {
public:
    std::function<void(const runtime::QueuedAction&)> before;
    void runAction(const runtime::QueuedAction& action) override
    {
        if (before)
            before(action);
        RecordingEngine::runAction(action);
    }
};

swf::PlaceObject named(swf::PlaceObject tag, std::string name)
{
    tag.name = std::move(name);
    return tag;
}

} // namespace

class ActionOrderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framesInitsAndChildren();
    void removedTargetsDoNotRun();
    void nothingRunsWithoutEngine();
    void actionsQueuedByScriptsRunInTheSameStep();
    void endlessScriptsStopAtCap();
};

void ActionOrderTest::framesInitsAndChildren()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(
        Builder()
            .sprite(20, timeline({{action(2)}, {action(4)}}))
            .sprite(40, timeline({{}}))
            .main(timeline({{action(1), named(place(1, 20), "clip"), initAction(40, 9)},
                            {action(3), initAction(40, 8)}}))
            .build(),
        host);
    QCOMPARE(player.queuedActions(), std::size_t(3));
    player.setScriptEngine(&engine);
    player.runActions();
    // Init blocks first; a frame's children before the frame's own actions.
    QCOMPARE(engine.joined(), std::string("i9@_level0 f2@_level0.clip f1@_level0"));
    engine.clear();
    player.advance();
    QCOMPARE(engine.joined(), std::string("f4@_level0.clip f3@_level0"));
    engine.clear();
    // The loop back enters both first frames again; init blocks never run twice.
    player.advance();
    QCOMPARE(engine.joined(), std::string("f2@_level0.clip f1@_level0"));
    QCOMPARE(engine.actions.front().target.get(), player.findByPath("clip"));
    QCOMPARE(player.queuedActions(), std::size_t(0));
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
    QCOMPARE(player.queuedActions(), std::size_t(1));
    player.advance();
    QCOMPARE(player.queuedActions(), std::size_t(0));
    QVERIFY(host.logged("no script engine"));
}

void ActionOrderTest::actionsQueuedByScriptsRunInTheSameStep()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(Builder().main(timeline({{action(1)}, {action(2)}, {action(3)}})).build(),
                       host);
    player.setScriptEngine(&engine);
    // Frame 1's code jumps to frame 3 (index 2), as gotoAndStop would.
    engine.before = [&](const runtime::QueuedAction& action) {
        if (action.code[0] == 1) {
            player.root().gotoFrame(2);
            player.stop();
        }
    };
    player.runActions();
    QCOMPARE(engine.joined(), std::string("f1@_level0 f3@_level0"));
    QCOMPARE(player.currentFrame(), std::size_t(2));
}

void ActionOrderTest::endlessScriptsStopAtCap()
{
    RecordingHost host;
    ScriptedEngine engine;
    MoviePlayer player(Builder().main(timeline({{action(1)}, {action(2)}})).build(), host);
    player.setScriptEngine(&engine);
    // Each frame's code jumps to the other frame: without the cap this never ends.
    engine.before = [&](const runtime::QueuedAction& action) {
        player.root().gotoFrame(action.code[0] == 1 ? 1 : 0);
    };
    player.runActions();
    QCOMPARE(engine.ran.size(), swf::limits::kMaxActionsPerFrame);
    QVERIFY(host.logged("too many actions"));
    QCOMPARE(player.queuedActions(), std::size_t(0));
}

QTEST_APPLESS_MAIN(ActionOrderTest)
#include "ActionOrderTest.moc"
