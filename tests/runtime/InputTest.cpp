// Pointer and key input as the player hands it out: clips acting as buttons, nested
// buttons, the order of what one event queues, key presses, the focus and Tab, and
// dragging.
#include "TestMovie.h"
#include "runtime/ButtonObject.h"
#include "runtime/KeyCodes.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using namespace testmovie;
using runtime::ClipEvent;
using runtime::MoviePlayer;

namespace {

constexpr std::uint32_t kPressEvents =
    0x00000400u | 0x00000800u | 0x00001000u | 0x00002000u | 0x00004000u;
constexpr std::uint32_t kMouseDownEvent = 0x00000010u;
constexpr std::uint8_t kKeyA = 'a';

swf::ButtonRecord record(std::uint8_t states, swf::CharacterId id, std::uint16_t depth)
{
    swf::ButtonRecord r;
    r.states = states;
    r.characterId = id;
    r.depth = depth;
    return r;
}

// A button over square 10: press (block 1), release (2), the key 'a' (3), and the key
// press condition `extraKey` (4) when given.
swf::Button squareButton(std::uint8_t extraKey = 0)
{
    swf::Button button;
    button.records = {
        record(swf::ButtonUp | swf::ButtonOver | swf::ButtonDown | swf::ButtonHitTest, 10, 1)};
    button.actions = {swf::ButtonAction{swf::OverUpToOverDown, 0, {1}},
                      swf::ButtonAction{swf::OverDownToOverUp, 0, {2}},
                      swf::ButtonAction{0, kKeyA, {3}}};
    if (extraKey)
        button.actions.push_back(swf::ButtonAction{0, extraKey, {4}});
    return button;
}

swf::PlaceObject placedAt(std::uint16_t depth, swf::CharacterId id, std::string name, int x, int y)
{
    auto tag = named(place(depth, id), std::move(name));
    tag.matrix = swf::Matrix::translation(x, y);
    return tag;
}

// Square 10 is 1000 twips a side; sprite 20 holds it.
Builder inputBuilder()
{
    Builder builder;
    builder.square(10, 1000).sprite(20, timeline({{place(1, 10)}}));
    return builder;
}

struct Run {
    RecordingHost host;
    RecordingEngine engine;
    MoviePlayer player;

    explicit Run(swf::MoviePtr movie) : player(std::move(movie), host)
    {
        player.setScriptEngine(&engine);
        engine.recordAllEvents();
        // Every clip hears every frame; only input events matter here.
        engine.recordEvents.erase(
            std::remove_if(engine.recordEvents.begin(), engine.recordEvents.end(),
                           [](ClipEvent event) {
                               return event == ClipEvent::EnterFrame || event == ClipEvent::Load ||
                                      event == ClipEvent::Initialize ||
                                      event == ClipEvent::Construct ||
                                      event == ClipEvent::MouseMove;
                           }),
            engine.recordEvents.end());
        engine.recordInput = true;
        player.runActions();
        engine.clear();
    }
    std::string take()
    {
        std::string out = engine.joined();
        engine.clear();
        return out;
    }
};

} // namespace

class InputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyCodes();
    void keyboardState();
    void clipWithButtonHandlersActsAsButton();
    void clipActingAsButtonAnswersForWhatItHolds();
    void innerButtonTakesThePointerFirst();
    void pointerEventOrder();
    void pointerStillOverWhatAFrameBrings();
    void replacedButtonKeepsThePointer();
    void keyEventOrder();
    void tabMovesFocusFromTopToBottom();
    void keyPressConditionTakesTheKey();
    void enterPressesTheFocusedButton();
    void dragFollowsThePointer();
    void dropTargetIsTheClipUnderThePointer();
};

void InputTest::keyCodes()
{
    QCOMPARE(runtime::keyCodeForCharacter(U'a'), 65);
    QCOMPARE(runtime::keyCodeForCharacter(U'Z'), 90);
    QCOMPARE(runtime::keyCodeForCharacter(U'7'), 55);
    QCOMPARE(runtime::keyCodeForCharacter(U'&'), 55);
    QCOMPARE(runtime::keyCodeForCharacter(U';'), 186);
    QCOMPARE(runtime::keyCodeForCharacter(U'"'), 222);
    QCOMPARE(runtime::keyCodeForCharacter(U'\u00e9'), 0);
    QCOMPARE(runtime::asciiOfKey(runtime::key::Enter), 13);
    QCOMPARE(runtime::asciiOfKey(runtime::key::Delete), 127);
    QCOMPARE(runtime::asciiOfKey(runtime::key::Left), 0);
    // Button conditions name special keys by codes of their own, others by character.
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Left, 0)), 1);
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Delete, 127)), 6);
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Tab, 9)), 18);
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Escape, 27)), 19);
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Space, 32)), 32);
    QCOMPARE(int(runtime::buttonKeyCode(65, 'a')), int('a'));
    QCOMPARE(int(runtime::buttonKeyCode(runtime::key::Shift, 0)), 0);
}

void InputTest::keyboardState()
{
    runtime::KeyboardState keys;
    keys.press(65, 'a');
    QVERIFY(keys.isDown(65));
    QVERIFY(keys.isToggled(65));
    QCOMPARE(keys.lastCode(), 65);
    QCOMPARE(keys.lastAscii(), int('a'));
    keys.release(65, 'a');
    QVERIFY(!keys.isDown(65));
    QVERIFY(keys.isToggled(65));
    keys.press(65, 'a');
    QVERIFY(!keys.isToggled(65));
    // A release is the last key heard of too.
    keys.press(runtime::key::Shift, 0);
    keys.release(66, 'b');
    QCOMPARE(keys.lastCode(), 66);
    QVERIFY(keys.isDown(runtime::key::Shift));
    // Codes past a byte name no key.
    keys.press(300, 0);
    QVERIFY(!keys.isDown(300));
    QVERIFY(!keys.isDown(-1));
    QCOMPARE(keys.lastCode(), 300);
}

void InputTest::clipWithButtonHandlersActsAsButton()
{
    Run run(inputBuilder()
                .main(timeline({{withClipAction(placedAt(1, 20, "clip", 2000, 0), kPressEvents, 9),
                                 placedAt(2, 20, "plain", 5000, 0)}}))
                .build());
    MoviePlayer& player = run.player;
    player.pointerMove(2100, 100);
    QCOMPARE(run.take(), std::string("l:mousemove@_level0 rollover@_level0.clip"));
    player.pointerDown(2100, 100);
    player.pointerUp(2100, 100);
    QCOMPARE(run.take(), std::string("mousedown@_level0.plain mousedown@_level0.clip "
                                     "mousedown@_level0 l:mousedown@_level0 press@_level0.clip "
                                     "mouseup@_level0.plain mouseup@_level0.clip "
                                     "mouseup@_level0 l:mouseup@_level0 release@_level0.clip"));
    player.pointerDown(2100, 100);
    player.pointerMove(4000, 100);
    player.pointerUp(4000, 100);
    QCOMPARE(run.take(), std::string("mousedown@_level0.plain mousedown@_level0.clip "
                                     "mousedown@_level0 l:mousedown@_level0 press@_level0.clip "
                                     "l:mousemove@_level0 dragout@_level0.clip "
                                     "mouseup@_level0.plain mouseup@_level0.clip "
                                     "mouseup@_level0 l:mouseup@_level0 "
                                     "releaseoutside@_level0.clip"));
    // A clip with no button handler is no target.
    player.pointerMove(5100, 100);
    QVERIFY(!player.buttons().hovered());
}

void InputTest::clipActingAsButtonAnswersForWhatItHolds()
{
    Run run(inputBuilder()
                .button(50, squareButton())
                .sprite(21, timeline({{named(place(1, 50), "inner")}}))
                .main(timeline({{withClipAction(placedAt(1, 21, "clip", 0, 0), kPressEvents, 9)}}))
                .build());
    run.player.pointerMove(100, 100);
    QCOMPARE(run.player.buttons().hovered().get(), run.player.findByPath("clip"));
    // Without the clip's handlers the button inside is reached.
    Run plain(inputBuilder()
                  .button(50, squareButton())
                  .sprite(21, timeline({{named(place(1, 50), "inner")}}))
                  .main(timeline({{placedAt(1, 21, "clip", 0, 0)}}))
                  .build());
    plain.player.pointerMove(100, 100);
    QCOMPARE(plain.player.buttons().hovered().get(), plain.player.findByPath("clip.inner"));
}

void InputTest::innerButtonTakesThePointerFirst()
{
    swf::Button outer = squareButton();
    outer.records.push_back(record(swf::ButtonUp | swf::ButtonOver | swf::ButtonDown, 50, 2));
    Run run(inputBuilder()
                .button(50, squareButton())
                .button(51, outer)
                .main(timeline({{placedAt(1, 51, "outer", 0, 0)}}))
                .build());
    run.player.pointerMove(100, 100);
    const auto hovered = run.player.buttons().hovered();
    QVERIFY(hovered);
    QCOMPARE(static_cast<runtime::DisplayObject*>(hovered->parent()),
             run.player.findByPath("outer"));
    run.player.pointerDown(100, 100);
    // The inner button's press runs on its parent, the outer button.
    const std::string ran = run.take();
    QVERIFY2(ran.find("b1@_level0.outer") != std::string::npos, ran.c_str());
}

void InputTest::pointerEventOrder()
{
    Run run(
        inputBuilder()
            .main(timeline({{withClipAction(placedAt(1, 20, "a", 0, 0), kMouseDownEvent, 9),
                             withClipAction(placedAt(2, 20, "b", 0, 3000), kMouseDownEvent, 9)}}))
            .build());
    run.engine.recordEvents = {ClipEvent::MouseDown};
    run.player.pointerDown(9000, 9000);
    // Every clip hears it, the newest first and the main timeline last; the listeners
    // after them.
    QCOMPARE(run.take(), std::string("mousedown@_level0.b mousedown@_level0.a mousedown@_level0 "
                                     "l:mousedown@_level0"));
    // The other buttons are keys alone.
    run.player.pointerDown(9000, 9000, MoviePlayer::MouseButton::Right);
    QCOMPARE(run.take(), std::string());
    QVERIFY(run.player.input().keyboard().isDown(runtime::key::MouseRight));
    QVERIFY(run.player.input().keyboard().isDown(runtime::key::MouseLeft));
    run.player.pointerUp(9000, 9000);
    QVERIFY(!run.player.input().keyboard().isDown(runtime::key::MouseLeft));
}

void InputTest::pointerStillOverWhatAFrameBrings()
{
    Run run(inputBuilder()
                .button(50, squareButton())
                .main(timeline({{}, {placedAt(1, 50, "button", 0, 0)}}))
                .build());
    run.player.pointerMove(100, 100);
    QVERIFY(!run.player.buttons().hovered());
    run.player.advance();
    QCOMPARE(run.player.buttons().hovered().get(), run.player.findByPath("button"));
}

void InputTest::replacedButtonKeepsThePointer()
{
    // Frame 2 takes the button away and places the same character again.
    Run run(inputBuilder()
                .button(50, squareButton())
                .main(timeline({{placedAt(1, 50, "button", 0, 0)},
                                {remove(1), placedAt(1, 50, "button", 0, 0)}}))
                .build());
    MoviePlayer& player = run.player;
    player.pointerMove(100, 100);
    const auto first = player.buttons().hovered();
    run.take();
    player.advance();
    const auto second = player.buttons().hovered();
    QVERIFY(second && second != first);
    QCOMPARE(static_cast<runtime::ButtonObject&>(*second).tracking(),
             runtime::ButtonTracking::OverUp);
    // Taking over makes no transition.
    QCOMPARE(run.take(), std::string());
    player.pointerDown(100, 100);
    QCOMPARE(run.engine.actions.back().button, second);
    run.take();
    // Back to frame 1 (which keeps the button), then frame 2 replaces it again.
    player.advance();
    player.advance();
    // Away from the pointer the replacement still holds the press.
    player.pointerMove(5000, 5000);
    const auto third = player.findByPath("button")->shared_from_this();
    QVERIFY(third != second);
    QCOMPARE(run.engine.actions.back().condition, std::uint16_t(swf::OverDownToOutDown));
    QCOMPARE(run.engine.actions.back().button, third);
    // Another character at the depth is another object.
    Run other(inputBuilder()
                  .button(50, squareButton())
                  .button(51, squareButton())
                  .main(timeline({{placedAt(1, 50, "button", 0, 0)},
                                  {remove(1), placedAt(1, 51, "button", 0, 0)}}))
                  .build());
    other.player.pointerMove(100, 100);
    other.player.advance();
    const auto replaced = other.player.buttons().hovered();
    QVERIFY(replaced);
    QCOMPARE(other.engine.actions.back().condition, std::uint16_t(swf::IdleToOverUp));
    QCOMPARE(other.engine.actions.back().button, replaced);
}

void InputTest::keyEventOrder()
{
    Run run(inputBuilder()
                .button(50, squareButton())
                .main(timeline({{placedAt(1, 50, "button", 0, 0), placedAt(2, 20, "clip", 0, 0)}}))
                .build());
    runtime::InputState& input = run.player.input();
    input.focus().setFocus(run.player.root(), run.player.findByPath("button")->shared_from_this());
    run.player.runActions();
    // The button the keys focus rolls over, then the move is announced.
    QCOMPARE(run.take(), std::string("e-1@_level0 focus:none>_level0.button"));
    run.player.keyDown(65, 'a');
    QCOMPARE(run.take(), std::string("keydown@_level0.clip keydown@_level0 "
                                     "h:keydown@_level0.button l:keydown@_level0 b3@_level0"));
    QVERIFY(input.keyboard().isDown(65));
    run.player.keyUp(65, 'a');
    QCOMPARE(run.take(), std::string("keyup@_level0.clip keyup@_level0 h:keyup@_level0.button "
                                     "l:keyup@_level0"));
    // A key no condition names goes no further than the listeners.
    run.player.keyDown(66, 'b');
    QCOMPARE(run.take(), std::string("keydown@_level0.clip keydown@_level0 "
                                     "h:keydown@_level0.button l:keydown@_level0"));
}

void InputTest::tabMovesFocusFromTopToBottom()
{
    // Placed bottom first: the order goes by place on the stage, not by depth.
    Run run(inputBuilder()
                .button(50, squareButton())
                .main(timeline({{placedAt(1, 50, "low", 0, 4000), placedAt(2, 50, "right", 3000, 0),
                                 placedAt(3, 50, "left", 0, 0),
                                 withClipAction(placedAt(4, 20, "clip", 0, 6000), kPressEvents, 9),
                                 placedAt(5, 20, "plain", 0, 2000)}}))
                .build());
    MoviePlayer& player = run.player;
    const auto focused = [&] {
        const auto object = player.input().focus().focused();
        return object ? object->path() : std::string("none");
    };
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.left"));
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.right"));
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.low"));
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.clip"));
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.left"));
    // Shift held goes back, round the start.
    player.keyDown(runtime::key::Shift, 0);
    player.keyDown(runtime::key::Tab, 9);
    QCOMPARE(focused(), std::string("_level0.clip"));
    const std::string ran = run.take();
    QVERIFY2(ran.find("focus:_level0.low>_level0.clip") != std::string::npos, ran.c_str());
}

void InputTest::keyPressConditionTakesTheKey()
{
    // Button key code 18 is Tab: the first button with it (the lower depth) takes it,
    // and the focus stays.
    Run run(
        inputBuilder()
            .button(50, squareButton(18))
            .main(timeline({{placedAt(1, 50, "first", 0, 0), placedAt(2, 50, "second", 0, 2000)}}))
            .build());
    run.player.keyDown(runtime::key::Tab, 9);
    QVERIFY(!run.player.input().focus().focused());
    QCOMPARE(run.engine.actions.back().button.get(), run.player.findByPath("first"));
    QCOMPARE(run.take(), std::string("keydown@_level0 l:keydown@_level0 b4@_level0"));
}

void InputTest::enterPressesTheFocusedButton()
{
    Run run(inputBuilder()
                .button(50, squareButton())
                .main(timeline({{placedAt(1, 50, "button", 0, 0)}}))
                .build());
    auto* button = static_cast<runtime::ButtonObject*>(run.player.findByPath("button"));
    run.player.input().focus().setFocus(run.player.root(), button->shared_from_this());
    run.player.runActions();
    run.take();
    run.player.keyDown(runtime::key::Enter, 13);
    QCOMPARE(run.take(), std::string("keydown@_level0 h:keydown@_level0.button "
                                     "l:keydown@_level0 b1@_level0 e-1@_level0 b2@_level0 "
                                     "e-1@_level0"));
    // The focus shows the button as the pointer over it would; the press by key leaves
    // that as it is.
    QCOMPARE(button->tracking(), runtime::ButtonTracking::OverUp);
    // Other keys press nothing.
    run.player.keyDown(runtime::key::Escape, 27);
    QCOMPARE(run.take(), std::string("keydown@_level0 h:keydown@_level0.button l:keydown@_level0"));
    // Once the pointer moves away, the button rolls out and the keys no longer reach it.
    run.player.pointerMove(5000, 5000);
    run.take();
    QCOMPARE(button->tracking(), runtime::ButtonTracking::Idle);
    run.player.keyDown(runtime::key::Enter, 13);
    QCOMPARE(run.take(), std::string("keydown@_level0 l:keydown@_level0"));
    QCOMPARE(run.player.input().focus().focused().get(),
             static_cast<runtime::DisplayObject*>(button));
}

void InputTest::dragFollowsThePointer()
{
    Run run(inputBuilder()
                .sprite(21, timeline({{placedAt(1, 20, "clip", 1000, 1000)}}))
                .main(timeline({{placedAt(1, 21, "holder", 2000, 0)}}))
                .build());
    MoviePlayer& player = run.player;
    runtime::DisplayObject* clip = player.findByPath("holder.clip");
    runtime::PointerDrag& drag = player.input().drag();
    // A locked centre puts the clip's origin under the pointer, in its parent's space.
    drag.start(*clip, true, std::nullopt, 5000, 3000);
    QCOMPARE(clip->x(), 150.0);
    QCOMPARE(clip->y(), 150.0);
    QVERIFY(clip->isScriptTransformed());
    QCOMPARE(drag.dragged(), clip);
    // Otherwise it keeps its distance to the pointer.
    drag.start(*clip, false, std::nullopt, 6000, 3000);
    player.pointerMove(6500, 2000);
    QCOMPARE(clip->x(), 175.0);
    QCOMPARE(clip->y(), 100.0);
    // Within the box, edges in either order.
    drag.start(*clip, true, runtime::PointerDrag::Constraint{2000, 0, 0, 1000}, 0, 0);
    QCOMPARE(clip->x(), 0.0);
    QCOMPARE(clip->y(), 0.0);
    player.pointerMove(9000, 9000);
    QCOMPARE(clip->x(), 100.0);
    QCOMPARE(clip->y(), 50.0);
    drag.stop(9000, 9000);
    QVERIFY(!drag.dragged());
    player.pointerMove(2000, 2000);
    QCOMPARE(clip->x(), 100.0);
}

void InputTest::dropTargetIsTheClipUnderThePointer()
{
    Run run(
        inputBuilder()
            .sprite(21, timeline({{place(1, 10), placedAt(2, 20, "inner", 500, 0)}}))
            .main(timeline({{placedAt(1, 21, "target", 0, 0), placedAt(2, 20, "dragged", 0, 0)}}))
            .build());
    MoviePlayer& player = run.player;
    runtime::DisplayObject* dragged = player.findByPath("dragged");
    runtime::PointerDrag& drag = player.input().drag();
    drag.start(*dragged, true, std::nullopt, 100, 100);
    // The dragged clip itself does not count; while dragging, the target follows.
    QCOMPARE(drag.dropTarget(*dragged, 100, 100), std::string("/target"));
    QCOMPARE(drag.dropTarget(*dragged, 600, 100), std::string("/target/inner"));
    drag.stop(600, 100);
    QCOMPARE(drag.dropTarget(*dragged, 9000, 9000), std::string("/target/inner"));
    QCOMPARE(drag.dropTarget(*player.findByPath("target"), 600, 100), std::string());
    drag.start(*dragged, true, std::nullopt, 9000, 9000);
    drag.stop(9000, 9000);
    QCOMPARE(drag.dropTarget(*dragged, 600, 100), std::string());
}

QTEST_APPLESS_MAIN(InputTest)
#include "InputTest.moc"
