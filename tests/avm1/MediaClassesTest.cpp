// Sound, Key, Mouse, Stage and Color called by movies as scripts call them: the levels
// a Sound keeps for its clip or for every sound, the conversions of odd arguments, the
// Key constants and their flags, Stage's full screen and Color's offsets.
#include "InputSession.h"

#include <QtTest>
#include <functional>

using inputsession::Code;
using inputsession::Session;
using swfwriter::Op;
using swfwriter::PushValue;
using swfwriter::Undefined;

namespace {

// name = new cls(args)
Code& construct(Code& c, const std::string& name, const std::string& cls,
                std::vector<PushValue> args = {})
{
    std::vector<PushValue> pushed{name};
    pushed.insert(pushed.end(), args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back(cls);
    c.a.push(pushed).op(Op::NewObject).op(Op::SetVariable);
    return c;
}

// name = {key: value, ...}
Code& object(Code& c, const std::string& name,
             const std::vector<std::pair<std::string, PushValue>>& fields)
{
    std::vector<PushValue> pushed{name};
    for (const auto& [key, value] : fields) {
        pushed.emplace_back(key);
        pushed.push_back(value);
    }
    pushed.emplace_back(static_cast<int>(fields.size()));
    c.a.push(pushed).op(Op::InitObject).op(Op::SetVariable);
    return c;
}

// trace(object.method(args)[field]) for each field
Code& traceFields(Code& c, const std::string& object, const std::string& method,
                  const std::vector<std::string>& fields)
{
    for (const std::string& field : fields) {
        c.call(object, method, {});
        c.a.push({field}).op(Op::GetMember).op(Op::Trace);
    }
    return c;
}

Code& traceTypeOf(Code& c, const std::string& object, const std::string& name)
{
    c.get(object);
    c.a.push({name}).op(Op::GetMember).op(Op::TypeOf).op(Op::Trace);
    return c;
}

// _root.createEmptyMovieClip(name, depth)
Code& emptyClip(Code& c, const std::string& name, int depth)
{
    return c.callStatement("_root", "createEmptyMovieClip", {name, depth});
}

// typeof of Sound's members by the prototype, then of checkPolicyFile on the prototype
// and on an object.
void traceSoundMembers(Code& c)
{
    for (const char* name :
         {"attachSound", "setVolume", "loadSound", "getBytesLoaded", "getBytesTotal", "getDuration",
          "setDuration", "getPosition", "setPosition"}) {
        c.get("Sound");
        c.a.push({"prototype"}).op(Op::GetMember).push({name}).op(Op::GetMember);
        c.a.op(Op::TypeOf).op(Op::Trace);
    }
    c.get("Sound");
    c.a.push({"prototype"}).op(Op::GetMember).push({"checkPolicyFile"}).op(Op::GetMember);
    c.a.op(Op::TypeOf).op(Op::Trace);
    construct(c, "s", "Sound");
    traceTypeOf(c, "s", "checkPolicyFile");
}

struct Case {
    const char* name;
    std::function<void(Code&)> code;
    const char* expected;
    int version = 8;
};

void runCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Code frame;
        c.code(frame);
        Session session(inputsession::scriptMovie({frame}, c.version));
        const QString got = session.take();
        if (got != QString::fromUtf8(c.expected))
            qWarning("case %s", c.name);
        QCOMPARE(got, QString::fromUtf8(c.expected));
    }
}

} // namespace

class MediaClassesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void soundLevels();
    void soundWithoutASound();
    void keyConstantsAndQueries();
    void keyQueriesWhileAKeyIsDown();
    void stageFullScreen();
    void colorOffsetsAndTransforms();
    void mouseListenersHearClicks();
};

void MediaClassesTest::soundLevels()
{
    runCases({
        {"volume whole numbers, odd values as the processor converts them, undefined 0",
         [](Code& c) {
             construct(c, "s", "Sound");
             c.traceCall("s", "getVolume");
             for (const PushValue& v : std::vector<PushValue>{50.9, -7.5, "x", 3e10, Undefined{}}) {
                 c.callStatement("s", "setVolume", {v});
                 c.traceCall("s", "getVolume");
             }
             c.callStatement("s", "setVolume", {});
             c.traceCall("s", "getVolume");
         },
         "100\n50\n-7\n-2147483648\n-2147483648\n0\n0"},
        {"pan leans by lowering the other side",
         [](Code& c) {
             construct(c, "s", "Sound");
             c.traceCall("s", "getPan");
             c.callStatement("s", "setPan", {-30});
             c.traceCall("s", "getPan");
             traceFields(c, "s", "getTransform", {"ll", "lr", "rr", "rl"});
             c.callStatement("s", "setPan", {40.8});
             c.traceCall("s", "getPan");
             traceFields(c, "s", "getTransform", {"ll", "rr"});
         },
         "0\n-30\n100\n0\n70\n0\n40\n60\n100"},
        {"setTransform changes only the levels given",
         [](Code& c) {
             construct(c, "s", "Sound");
             object(c, "t", {{"ll", 50}, {"rl", 25.7}});
             // A text is no transform object: nothing changes.
             c.callStatement("s", "setTransform", {PushValue("t")});
             c.a.push({"t"}).op(Op::GetVariable).push({1, "s"}).op(Op::GetVariable);
             c.a.push({"setTransform"}).op(Op::CallMethod).op(Op::Pop);
             traceFields(c, "s", "getTransform", {"ll", "lr", "rr", "rl"});
             c.callStatement("s", "setTransform", {});
             traceFields(c, "s", "getTransform", {"ll"});
             c.traceCall("s", "getPan");
         },
         "50\n0\n100\n25\n50\n50"},
        {"levels belong to the clip, shared by its Sound objects",
         [](Code& c) {
             emptyClip(c, "m", 1);
             construct(c, "all", "Sound");
             c.a.push({"clipSound", "m"}).op(Op::GetVariable).push({1, "Sound"});
             c.a.op(Op::NewObject).op(Op::SetVariable);
             c.callStatement("clipSound", "setVolume", {20});
             c.traceCall("all", "getVolume");
             c.traceCall("clipSound", "getVolume");
             // A target path names the same clip.
             construct(c, "byPath", "Sound", {"m"});
             c.traceCall("byPath", "getVolume");
             c.callStatement("all", "setVolume", {70});
             construct(c, "again", "Sound");
             c.traceCall("again", "getVolume");
             c.traceCall("clipSound", "getVolume");
         },
         "100\n20\n20\n70\n20"},
        {"constructing again keeps the first target",
         [](Code& c) {
             emptyClip(c, "m", 1);
             construct(c, "s", "Sound", {"m"});
             // Sound.call(s): a second construction, with no target.
             c.get("s");
             c.a.push({1, "Sound"}).op(Op::GetVariable).push({"call"}).op(Op::CallMethod);
             c.a.op(Op::Pop);
             c.callStatement("s", "setVolume", {20});
             construct(c, "byClip", "Sound", {"m"});
             construct(c, "all", "Sound");
             c.traceCall("byClip", "getVolume").traceCall("all", "getVolume");
         },
         "20\n100"},
        {"a Sound whose clip is gone has no levels",
         [](Code& c) {
             emptyClip(c, "m", 1);
             construct(c, "s", "Sound", {"m"});
             c.callStatement("m", "removeMovieClip");
             c.traceCall("s", "getVolume");
             c.callStatement("s", "setVolume", {5});
             c.traceCall("s", "getPan");
         },
         "undefined\nundefined"},
    });
}

void MediaClassesTest::soundWithoutASound()
{
    runCases({
        {"nothing attached: no duration, position or bytes",
         [](Code& c) {
             construct(c, "s", "Sound");
             c.member("s", "duration").member("s", "position");
             c.traceCall("s", "getDuration").traceCall("s", "getPosition");
             c.traceCall("s", "getBytesLoaded").traceCall("s", "getBytesTotal");
             c.traceCall("s", "start", {0, 2});
             c.traceCall("s", "attachSound", {"no such sound"});
             c.member("s", "duration");
         },
         "undefined\nundefined\nundefined\nundefined\nundefined\nundefined\nundefined\nundefined\n"
         "undefined"},
        {"the prototype's members in SWF 5: no loading, no time readouts",
         [](Code& c) { traceSoundMembers(c); },
         "function\nfunction\nundefined\nundefined\nundefined\nundefined\nundefined\n"
         "undefined\nundefined\nundefined\nboolean",
         5},
        {"the prototype's members from SWF 6", [](Code& c) { traceSoundMembers(c); },
         "function\nfunction\nfunction\nfunction\nfunction\nfunction\nfunction\nfunction\n"
         "function\nundefined\nboolean",
         6},
        {"setDuration and setPosition change nothing; checkPolicyFile is each object's",
         [](Code& c) {
             construct(c, "s", "Sound");
             c.traceCall("s", "setDuration", {500}).traceCall("s", "setPosition", {5});
             c.traceCall("s", "getDuration").traceCall("s", "getPosition");
             c.member("s", "checkPolicyFile");
             c.set("s", "checkPolicyFile", true).member("s", "checkPolicyFile");
             construct(c, "t", "Sound");
             c.member("t", "checkPolicyFile");
         },
         "undefined\nundefined\nundefined\nundefined\nfalse\ntrue\nfalse"},
    });
}

void MediaClassesTest::keyConstantsAndQueries()
{
    runCases({
        {"the key codes",
         [](Code& c) {
             for (const char* name : {"ALT", "BACKSPACE", "CAPSLOCK", "CONTROL", "DELETEKEY",
                                      "DOWN", "END", "ENTER", "ESCAPE", "HOME", "INSERT", "LEFT",
                                      "PGDN", "PGUP", "RIGHT", "SHIFT", "SPACE", "TAB", "UP"})
                 c.member("Key", name);
         },
         "18\n8\n20\n17\n46\n40\n35\n13\n27\n36\n45\n37\n34\n33\n39\n16\n32\n9\n38"},
        {"constants are read-only and stay",
         [](Code& c) {
             c.set("Key", "UP", 5).member("Key", "UP");
             c.get("Key");
             c.a.push({"ENTER"}).op(Op::Delete).op(Op::Trace);
             c.member("Key", "ENTER");
         },
         "38\nfalse\n13"},
        {"queries before any key and with odd codes",
         [](Code& c) {
             c.traceCall("Key", "getCode").traceCall("Key", "getAscii");
             c.traceCall("Key", "isDown").traceCall("Key", "isDown", {-1});
             c.traceCall("Key", "isDown", {"x"}).traceCall("Key", "isDown", {99999});
             c.traceCall("Key", "isToggled", {Undefined{}});
             c.traceCall("Key", "isAccessible");
             traceTypeOf(c, "Key", "addListener");
             traceTypeOf(c, "Mouse", "removeListener");
         },
         "0\n0\nfalse\nfalse\nfalse\nfalse\nfalse\ntrue\nfunction\nfunction"},
    });
}

void MediaClassesTest::keyQueriesWhileAKeyIsDown()
{
    Code down;
    // Codes are converted and truncated: 65.9 and "65" name A.
    down.traceCall("Key", "isDown", {65.9}).traceCall("Key", "isDown", {"65"});
    down.traceCall("Key", "isDown", {66});
    Code up;
    up.traceCall("Key", "isDown", {65}).traceCall("Key", "getCode").traceCall("Key", "getAscii");
    Code frame;
    frame.listener("w", "Key").handler("w", "onKeyDown", down).handler("w", "onKeyUp", up);
    Session session(inputsession::scriptMovie({frame}));
    session.take();
    session.player->keyDown(65, 'a');
    QCOMPARE(session.take(), QString("true\ntrue\nfalse"));
    // Released, the key is no longer down but stays the last one heard of.
    session.player->keyUp(65, 'a');
    QCOMPARE(session.take(), QString("false\n65\n97"));
}

void MediaClassesTest::stageFullScreen()
{
    runCases({
        {"displayState: either name in any case; a change tells the listeners",
         [](Code& c) {
             c.listener("w", "Stage");
             c.handler("w", "onFullScreen", Code().traceWith("full ", "f"), {"f"});
             c.member("Stage", "displayState");
             c.set("Stage", "displayState", "FULLSCREEN").member("Stage", "displayState");
             c.set("Stage", "displayState", "fullScreen");
             c.set("Stage", "displayState", "bogus").member("Stage", "displayState");
             c.set("Stage", "displayState", "Normal").member("Stage", "displayState");
             c.set("Stage", "displayState", "normal");
         },
         "normal\nfull true\nfullScreen\nfullScreen\nfull false\nnormal"},
        {"read-only sizes",
         [](Code& c) {
             c.set("Stage", "width", 10).member("Stage", "width");
             c.member("Stage", "fullScreenWidth").member("Stage", "fullScreenHeight");
             c.member("Stage", "fullScreenSourceRect");
         },
         "550\n550\n400\nnull"},
    });
}

void MediaClassesTest::colorOffsetsAndTransforms()
{
    runCases({
        {"setRGB keeps the low 24 bits as offsets, multipliers 0",
         [](Code& c) {
             emptyClip(c, "m", 1);
             construct(c, "col", "Color", {"m"});
             for (const PushValue& v : std::vector<PushValue>{0x123456, -1, 0x1ABCDEF, "x"}) {
                 c.callStatement("col", "setRGB", {v});
                 c.traceCall("col", "getRGB");
             }
             c.callStatement("col", "setRGB", {0x123456});
             traceFields(c, "col", "getTransform", {"ra", "rb", "gb", "bb", "aa", "ab"});
         },
         "1193046\n16777215\n11259375\n0\n0\n18\n52\n86\n100\n0"},
        {"setTransform: only the fields given; percentages truncated to 1/256",
         [](Code& c) {
             emptyClip(c, "m", 1);
             construct(c, "col", "Color", {"m"});
             object(c, "t", {{"ra", 50.9}, {"gb", -300}, {"aa", 25}});
             c.a.push({"t"}).op(Op::GetVariable).push({1, "col"}).op(Op::GetVariable);
             c.a.push({"setTransform"}).op(Op::CallMethod).op(Op::Pop);
             traceFields(c, "col", "getTransform", {"ra", "rb", "ga", "gb", "aa"});
             c.member("m", "_alpha");
         },
         "50.78125\n0\n100\n-300\n25\n25"},
        {"no clip, or one gone: undefined",
         [](Code& c) {
             construct(c, "none", "Color");
             c.traceCall("none", "getRGB");
             emptyClip(c, "m", 1);
             construct(c, "col", "Color", {"m"});
             c.callStatement("m", "removeMovieClip");
             c.traceCall("col", "getRGB").traceCall("col", "getTransform");
         },
         "undefined\nundefined\nundefined"},
    });
}

void MediaClassesTest::mouseListenersHearClicks()
{
    Code frame;
    frame.listener("w", "Mouse");
    frame.handler("w", "onMouseDown", Code().text("down"));
    frame.handler("w", "onMouseUp", Code().text("up"));
    Session session(inputsession::scriptMovie({frame}));
    QCOMPARE(session.take(), QString());
    session.click(10, 10);
    QCOMPARE(session.take(), QString("down\nup"));
}

QTEST_APPLESS_MAIN(MediaClassesTest)
#include "MediaClassesTest.moc"
