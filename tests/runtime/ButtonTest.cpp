// Buttons driven by pointer input: tracking states, the state shown, the hit area and
// the action blocks each transition queues.
#include "TestMovie.h"
#include "runtime/ButtonObject.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace testmovie;
using runtime::MoviePlayer;

namespace {

// A 1000-twip square with a 500-twip hole, one fill path: even-odd leaves the hole out.
swf::Shape ringShape()
{
    swf::Shape shape = squareShape(0, 0, 1000);
    const swf::Path hole = squarePath(250, 250, 500);
    auto& segments = shape.layers[0].fillPaths[0].path.segments;
    segments.insert(segments.end(), hole.segments.begin(), hole.segments.end());
    return shape;
}

swf::ButtonRecord record(std::uint8_t states, swf::CharacterId id, std::uint16_t depth)
{
    swf::ButtonRecord r;
    r.states = states;
    r.characterId = id;
    r.depth = depth;
    return r;
}

swf::ButtonAction block(std::uint16_t conditions, std::uint8_t marker)
{
    return swf::ButtonAction{conditions, 0, {marker}};
}

swf::Button testButton(bool trackAsMenu)
{
    swf::Button button;
    button.trackAsMenu = trackAsMenu;
    button.records = {record(swf::ButtonUp, 10, 1), record(swf::ButtonOver, 11, 1),
                      record(swf::ButtonDown, 13, 1), record(swf::ButtonHitTest, 14, 1),
                      record(swf::ButtonUp | swf::ButtonOver, 20, 2)};
    button.actions = {block(swf::IdleToOverUp, 1),
                      block(swf::OverUpToOverDown, 2),
                      block(swf::OverDownToOverUp, 3),
                      block(swf::OutDownToIdle, 4),
                      block(swf::OverDownToOutDown | swf::OutDownToOverDown, 5),
                      block(swf::OverUpToIdle, 6),
                      block(swf::IdleToOverDown, 7),
                      block(swf::OverDownToIdle, 8)};
    return button;
}

// The button at depth 1 of the main timeline, twice its size, at (2000, 1000): its
// ring covers 2000 to 4000 across, with the hole from 2500 to 3500.
swf::MoviePtr buttonMovie(bool trackAsMenu)
{
    auto placed = place(1, 50);
    placed.matrix = swf::Matrix{2, 0, 0, 2, 2000, 1000};
    placed.name = "button";
    return Builder()
        .square(10)
        .square(11)
        .square(13)
        .shape(14, ringShape())
        .sprite(20, timeline({{}, {}}))
        .button(50, testButton(trackAsMenu))
        .main(timeline({{placed}}))
        .build();
}

QPointF point(const QString& name)
{
    if (name == "in")
        return {2100, 1100};
    if (name == "hole")
        return {3000, 2000};
    return {4500, 4500};
}

} // namespace

class ButtonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pointer_data();
    void pointer();
    void actionsRunOnTheButtonsParent();
    void recordInSeveralStatesKeepsItsObject();
    void topmostButtonTakesThePointer();
    void disabledOrRemovedButtonsIgnoreThePointer();
};

void ButtonTest::pointer_data()
{
    // Events: m (move), d (down), u (up), each at a point: in (the ring), hole, out.
    QTest::addColumn<bool>("trackAsMenu");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("shown");   // u, o or d: the state the button shows at the end
    QTest::addColumn<QString>("actions"); // the blocks run, by marker

    QTest::newRow("hover") << false << "m:in"
                           << "o"
                           << "1";
    QTest::newRow("hover and leave") << false << "m:in m:out"
                                     << "u"
                                     << "1 6";
    QTest::newRow("the hole is outside") << false << "m:hole"
                                         << "u"
                                         << "";
    QTest::newRow("click") << false << "m:in d:in u:in"
                           << "o"
                           << "1 2 3";
    QTest::newRow("click without moving first") << false << "d:in u:in"
                                                << "o"
                                                << "1 2 3";
    QTest::newRow("dragged out shows over") << false << "m:in d:in m:hole"
                                            << "o"
                                            << "1 2 5";
    QTest::newRow("dragged out and back") << false << "m:in d:in m:out m:in"
                                          << "d"
                                          << "1 2 5 5";
    QTest::newRow("released outside") << false << "m:in d:in m:out u:out"
                                      << "u"
                                      << "1 2 5 4";
    QTest::newRow("pressed elsewhere, dragged in") << false << "d:out m:in"
                                                   << "u"
                                                   << "";
    QTest::newRow("pressed elsewhere, released in") << false << "d:out m:in u:in"
                                                    << "o"
                                                    << "1";
    QTest::newRow("menu: pressed elsewhere, dragged in") << true << "d:out m:in"
                                                         << "d"
                                                         << "7";
    QTest::newRow("menu: released in") << true << "d:out m:in u:in"
                                       << "o"
                                       << "7 3";
    QTest::newRow("menu: dragged out lets go") << true << "m:in d:in m:out u:out"
                                               << "u"
                                               << "1 2 8";
}

void ButtonTest::pointer()
{
    QFETCH(bool, trackAsMenu);
    QFETCH(QString, events);
    QFETCH(QString, shown);
    QFETCH(QString, actions);

    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(buttonMovie(trackAsMenu), host);
    player.setScriptEngine(&engine);
    for (const QString& event : events.split(' ')) {
        const QPointF at = point(event.mid(2));
        if (event[0] == 'm')
            player.pointerMove(at.x(), at.y());
        else if (event[0] == 'd')
            player.pointerDown(at.x(), at.y());
        else
            player.pointerUp(at.x(), at.y());
    }

    auto* button = static_cast<runtime::ButtonObject*>(player.root().childAt(1));
    const char state = button->shownState() == swf::ButtonUp     ? 'u'
                       : button->shownState() == swf::ButtonOver ? 'o'
                                                                 : 'd';
    QCOMPARE(QString(state), shown);
    // The character of the state shown is what the draw list draws.
    const swf::CharacterId expected = state == 'u' ? 10 : state == 'o' ? 11 : 13;
    const runtime::DrawList list = player.buildDrawList();
    QCOMPARE(list.commands[2].character, player.movie().character(expected));

    QStringList ran;
    int transitions = 0;
    for (const runtime::QueuedAction& action : engine.actions) {
        if (action.kind == runtime::QueuedAction::Kind::ButtonEvent) {
            QVERIFY(action.code.empty());
            ++transitions;
            continue;
        }
        QCOMPARE(action.kind, runtime::QueuedAction::Kind::Button);
        ran << QString::number(action.code[0]);
    }
    QCOMPARE(ran.join(' '), actions);
    // Each transition is reported; every block above answers exactly one of them.
    QCOMPARE(transitions, int(ran.size()));
}

void ButtonTest::actionsRunOnTheButtonsParent()
{
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player(buttonMovie(false), host);
    player.setScriptEngine(&engine);
    const int repaints = host.repaints;
    player.pointerMove(2100, 1100);
    QCOMPARE(engine.joined(), std::string("b1@_level0 e-1@_level0"));
    for (const runtime::QueuedAction& action : engine.actions) {
        QCOMPARE(action.button.get(), player.findByPath("button"));
        QCOMPARE(action.condition, std::uint16_t(swf::IdleToOverUp));
    }
    QCOMPARE(host.repaints, repaints + 1);
}

void ButtonTest::recordInSeveralStatesKeepsItsObject()
{
    RecordingHost host;
    MoviePlayer player(buttonMovie(false), host);
    auto* button = static_cast<runtime::ButtonObject*>(player.root().childAt(1));
    const std::uint64_t clipId = button->childAt(2)->id();
    player.advance();
    player.pointerMove(2100, 1100);
    QCOMPARE(button->childAt(2)->id(), clipId);
    // The clip in the button keeps playing through the change of state.
    QCOMPARE(static_cast<runtime::SpriteObject*>(button->childAt(2))->currentFrame(),
             std::size_t(1));
    player.pointerDown(2100, 1100);
    QVERIFY(!button->childAt(2));
}

void ButtonTest::topmostButtonTakesThePointer()
{
    auto lower = place(1, 50);
    lower.matrix = swf::Matrix::translation(0, 0);
    auto upper = place(2, 50);
    upper.matrix = swf::Matrix::translation(500, 0);
    upper.name = "upper";
    lower.name = "lower";
    RecordingHost host;
    MoviePlayer player(Builder()
                           .square(10)
                           .square(11)
                           .square(13)
                           .shape(14, ringShape())
                           .sprite(20, timeline({{}}))
                           .button(50, testButton(false))
                           .main(timeline({{lower, upper}}))
                           .build(),
                       host);
    // (600, 100) is on both rings; (100, 100) on the lower one only.
    player.pointerMove(600, 100);
    QCOMPARE(player.buttons().hovered().get(), player.findByPath("upper"));
    player.pointerMove(100, 100);
    QCOMPARE(player.buttons().hovered().get(), player.findByPath("lower"));
    auto* upperButton = static_cast<runtime::ButtonObject*>(player.findByPath("upper"));
    QCOMPARE(upperButton->tracking(), runtime::ButtonTracking::Idle);
}

void ButtonTest::disabledOrRemovedButtonsIgnoreThePointer()
{
    RecordingHost host;
    MoviePlayer player(buttonMovie(false), host);
    auto* button = static_cast<runtime::ButtonObject*>(player.root().childAt(1));
    button->setEnabled(false);
    player.pointerMove(2100, 1100);
    QCOMPARE(button->tracking(), runtime::ButtonTracking::Idle);
    button->setEnabled(true);
    player.pointerMove(2101, 1100);
    player.pointerDown(2101, 1100);
    QCOMPARE(button->tracking(), runtime::ButtonTracking::OverDown);
    const auto removed = player.root().removeChild(1);
    QVERIFY(!player.buttons().pressed());
    player.pointerUp(2101, 1100);
    QCOMPARE(button->tracking(), runtime::ButtonTracking::OverDown);
}

QTEST_APPLESS_MAIN(ButtonTest)
#include "ButtonTest.moc"
