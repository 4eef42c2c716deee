// Input as scripts meet it: the Key object and key listeners, mouse listeners and
// _xmouse, button and clip handlers with the broadcast events before them, the focus
// through Selection, and dragging with _droptarget. Each case plays a movie made here
// and sends it input between frames.
#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"
#include "swfwriter/ActionWriter.h"
#include "swfwriter/ButtonWriter.h"
#include "swfwriter/ShapeWriter.h"

#include <QtTest>
#include <memory>

using namespace swfwriter;

namespace {

constexpr std::uint16_t kSquare = 1; // 100 by 100 pixels from the origin
constexpr std::uint16_t kBox = 2;    // the square
constexpr std::uint16_t kButton = 3; // over the square; its press traces "press action"
constexpr std::uint16_t kTagDefineButton2 = 34;

// Code building helpers, each a statement.
struct Code {
    ActionWriter a;

    Code& get(const std::string& name)
    {
        a.push({name}).op(Op::GetVariable);
        return *this;
    }
    Code& text(const std::string& line)
    {
        a.push({line}).op(Op::Trace);
        return *this;
    }
    // trace(object.member)
    Code& member(const std::string& object, const std::string& name)
    {
        get(object);
        a.push({name}).op(Op::GetMember).op(Op::Trace);
        return *this;
    }
    // trace(object.method(args))
    Code& call(const std::string& object, const std::string& method, std::vector<PushValue> args)
    {
        std::vector<PushValue> pushed(args.rbegin(), args.rend());
        pushed.emplace_back(static_cast<int>(args.size()));
        pushed.emplace_back(object);
        a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
        return *this;
    }
    Code& traceCall(const std::string& object, const std::string& method,
                    std::vector<PushValue> args = {})
    {
        call(object, method, std::move(args));
        a.op(Op::Trace);
        return *this;
    }
    Code& callStatement(const std::string& object, const std::string& method,
                        std::vector<PushValue> args = {})
    {
        call(object, method, std::move(args));
        a.op(Op::Pop);
        return *this;
    }
    // object.name = function(params) { body }
    Code& handler(const std::string& object, const std::string& name, const Code& body,
                  const std::vector<std::string>& params = {})
    {
        get(object);
        a.push({name}).defineFunction("", params, body.a).op(Op::SetMember);
        return *this;
    }
    Code& set(const std::string& object, const std::string& name, PushValue value)
    {
        get(object);
        a.push({name, value}).op(Op::SetMember);
        return *this;
    }
    // name = new Object(); broadcaster.addListener(name)
    Code& listener(const std::string& name, const std::string& broadcaster)
    {
        a.push({name, 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
        get(name);
        a.push({1, broadcaster}).op(Op::GetVariable).push({"addListener"}).op(Op::CallMethod);
        a.op(Op::Pop);
        return *this;
    }
};

class TraceHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

Place placed(std::uint16_t depth, std::uint16_t id, const std::string& name, int x, int y)
{
    Place p;
    p.depth = depth;
    p.characterId = id;
    p.name = name;
    p.matrix = Matrix::translate(x, y);
    return p;
}

// On the main timeline: a box "clip" at (0, 0), the button "button" at (200, 0) and a
// box "target" at (0, 200), pixels; then one frame for each script.
std::vector<std::uint8_t> inputMovie(const std::vector<Code>& frames)
{
    MovieWriter movie(8);
    movie.fileAttributes();
    ShapeWriter square;
    square.fill1(square.addFill(FillStyle::solid({255, 0, 0, 255}))).rect(0, 0, 2000, 2000);
    movie.add(square.tagCode(), square.body(kSquare));
    TagList box;
    Place face;
    face.characterId = kSquare;
    box.place2(face);
    box.showFrame();
    movie.defineSprite(kBox, box);
    ActionWriter pressAction;
    pressAction.push({"press action"}).op(Op::Trace).end();
    movie.add(kTagDefineButton2,
              defineButton2Body(kButton, false, {ButtonRecord{0x0f, kSquare, 1, {}}},
                                {ButtonCondAction{0x0004, 0, pressAction.bytes()}}));
    movie.place2(placed(1, kBox, "clip", 0, 0));
    movie.place2(placed(2, kButton, "button", 4000, 0));
    movie.place2(placed(3, kBox, "target", 0, 4000));
    for (const Code& frame : frames) {
        ActionWriter code = frame.a;
        code.end();
        movie.doAction(code.bytes());
        movie.showFrame();
    }
    return movie.bytes();
}

// The movie played with the interpreter; input goes to the player between frames.
class Session {
public:
    explicit Session(const std::vector<Code>& frames)
    {
        auto loaded = swf::loadMovie(inputMovie(frames));
        if (!loaded)
            qFatal("the test movie does not load");
        player = std::make_unique<runtime::MoviePlayer>(*loaded, host);
        engine = std::make_unique<avm1::Engine>(*player, host);
        player->runActions();
    }
    ~Session()
    {
        engine.reset();
        player.reset();
    }
    // What was traced since the last call, a line each.
    QString take()
    {
        QStringList out;
        for (const std::string& line : host.lines)
            out << QString::fromStdString(line);
        host.lines.clear();
        return out.join('\n');
    }
    // A click at (x, y) pixels.
    void click(double x, double y)
    {
        player->pointerDown(x * 20, y * 20);
        player->pointerUp(x * 20, y * 20);
    }

    TraceHost host;
    std::unique_ptr<runtime::MoviePlayer> player;
    std::unique_ptr<avm1::Engine> engine;
};

} // namespace

class InputEventsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keyObjectAndKeyListeners();
    void mouseListenersAndPointerPosition();
    void buttonHandlersFollowItsActions();
    void clipHandlersAfterTheBroadcast();
    void disabledClipTakesNoPress();
    void scriptMaskLimitsWhereAClipIsPressed();
    void focusTakesTheKeys();
    void dragAndDropTarget();
};

void InputEventsTest::keyObjectAndKeyListeners()
{
    Code keyDown;
    keyDown.traceCall("Key", "getCode")
        .traceCall("Key", "getAscii")
        .traceCall("Key", "isDown", {65})
        .traceCall("Key", "isToggled", {65});
    Code keyUp;
    keyUp.traceCall("Key", "isDown", {65}).traceCall("Key", "isDown", {1});
    Code frame;
    frame.listener("listener", "Key")
        .handler("listener", "onKeyDown", keyDown)
        .handler("listener", "onKeyUp", keyUp);
    Session session({frame});
    session.take();
    session.player->keyDown(65, 'a');
    QCOMPARE(session.take(), QString("65\n97\ntrue\ntrue"));
    session.player->pointerDown(9000, 9000);
    session.player->keyUp(65, 'a');
    // The mouse's left button is a key too.
    QCOMPARE(session.take(), QString("false\ntrue"));
    // Listeners no longer listed hear nothing.
    Code removed;
    removed.get("listener");
    removed.a.push({1, "Key"}).op(Op::GetVariable).push({"removeListener"}).op(Op::CallMethod);
    removed.a.op(Op::Pop);
    Session quiet({frame, removed});
    quiet.player->advance();
    quiet.take();
    quiet.player->keyDown(65, 'a');
    QCOMPARE(quiet.take(), QString());
}

void InputEventsTest::mouseListenersAndPointerPosition()
{
    Code moved;
    moved.member("_root", "_xmouse").member("_root", "_ymouse").member("button", "_xmouse");
    Code frame;
    frame.listener("listener", "Mouse").handler("listener", "onMouseMove", moved);
    Session session({frame});
    session.take();
    session.player->pointerMove(5010, 3000);
    QCOMPARE(session.take(), QString("250.5\n150\n50.5"));
}

void InputEventsTest::buttonHandlersFollowItsActions()
{
    Code frame;
    frame.handler("button", "onRollOver", Code().text("rollOver"))
        .handler("button", "onPress", Code().text("press"))
        .handler("button", "onRelease", Code().text("release"))
        .handler("button", "onRollOut", Code().text("rollOut"));
    Session session({frame});
    session.player->pointerMove(4100, 100);
    session.click(205, 5);
    session.player->pointerMove(9000, 7000);
    QCOMPARE(session.take(), QString("rollOver\npress action\npress\nrelease\nrollOut"));
}

void InputEventsTest::clipHandlersAfterTheBroadcast()
{
    Code frame;
    frame.handler("clip", "onPress", Code().text("press"))
        .handler("clip", "onRelease", Code().text("release"))
        .handler("clip", "onMouseDown", Code().text("mouseDown"))
        // Event handlers are looked up without it.
        .handler("clip", "__resolve", Code().text("resolve"));
    Session session({frame, Code()});
    session.click(5, 5);
    session.player->advance();
    QCOMPARE(session.take(), QString("mouseDown\npress\nrelease"));
}

void InputEventsTest::disabledClipTakesNoPress()
{
    Code frame;
    frame.handler("clip", "onPress", Code().text("press"))
        .handler("clip", "onMouseDown", Code().text("mouseDown"))
        .set("clip", "enabled", false);
    Session session({frame});
    session.click(5, 5);
    QCOMPARE(session.take(), QString("mouseDown"));
}

void InputEventsTest::scriptMaskLimitsWhereAClipIsPressed()
{
    // A 20 by 20 mask over the corner of the 100 by 100 clip.
    Code frame;
    frame.handler("clip", "onPress", Code().text("press"));
    frame.call("_root", "createEmptyMovieClip", {"m", 50}).a.op(Op::Pop);
    frame.call("m", "beginFill", {0}).a.op(Op::Pop);
    for (const auto& [x, y] : {std::pair{20, 0}, {20, 20}, {0, 20}, {0, 0}})
        frame.call("m", "lineTo", {x, y}).a.op(Op::Pop);
    frame.call("m", "endFill", {}).a.op(Op::Pop);
    frame.a.push({"m"}).op(Op::GetVariable).push({1, "clip"}).op(Op::GetVariable);
    frame.a.push({"setMask"}).op(Op::CallMethod).op(Op::Pop);
    Session session({frame, Code(), Code()});
    session.click(50, 50); // on the clip, outside its mask
    QCOMPARE(session.take(), QString());
    session.player->advance();
    session.click(5, 5);
    QCOMPARE(session.take(), QString("press"));
}

void InputEventsTest::focusTakesTheKeys()
{
    Code onKey;
    onKey.a.push({"button key "});
    onKey.call("Key", "getCode", {});
    onKey.a.op(Op::Add2).op(Op::Trace);
    Code focusMoved;
    focusMoved.a.push({"newFocus"})
        .op(Op::GetVariable)
        .push({"_name"})
        .op(Op::GetMember)
        .op(Op::Trace);
    Code frame;
    frame.handler("button", "onKeyDown", onKey)
        .handler("button", "onSetFocus", Code().text("set focus"))
        .listener("watcher", "Selection")
        .handler("watcher", "onSetFocus", focusMoved, {"oldFocus", "newFocus"})
        .callStatement("Selection", "setFocus", {"button"})
        .traceCall("Selection", "getFocus");
    Session session({frame});
    // A script's move of the focus is announced before setFocus returns.
    QCOMPARE(session.take(), QString("set focus\nbutton\n_level0.button"));
    session.player->keyDown(66, 'b');
    // Enter presses the focused button.
    session.player->keyDown(13, 13);
    QCOMPARE(session.take(), QString("button key 66\nbutton key 13\npress action"));
}

void InputEventsTest::dragAndDropTarget()
{
    Code first;
    first.a.push({0, 1, "clip"}).op(Op::StartDrag);
    Code second;
    second.member("clip", "_x").member("clip", "_y");
    second.a.op(Op::EndDrag);
    second.member("clip", "_droptarget");
    // The method form, within a box.
    second.callStatement("clip", "startDrag", {true, 0, 0, 20, 30})
        .member("clip", "_x")
        .member("clip", "_y")
        .callStatement("clip", "stopDrag");
    Session session({first, second});
    session.player->pointerMove(1000, 5000);
    session.player->advance();
    QCOMPARE(session.take(), QString("50\n250\n/target\n20\n30"));
}

QTEST_APPLESS_MAIN(InputEventsTest)
#include "InputEventsTest.moc"
