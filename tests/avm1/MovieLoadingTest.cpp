// Movies scripts load, as scripts see them: loadMovieNum and loadMovie through the
// GetURL actions and MovieClip's methods, what _root and _levelN name inside and
// outside a loaded movie, _lockroot, the version rules a loaded movie's code keeps,
// MovieClipLoader's events and getProgress, and unloading.
#include "ScriptRun.h"
#include "runtime/MoviePlayer.h"

#include <QtTest>

using swfwriter::ActionWriter;
using swfwriter::Op;
using swfwriter::PushValue;

namespace {

// A little language over ActionWriter for the scripts below.
struct Code {
    ActionWriter a;

    Code& text(const std::string& line)
    {
        a.push({line}).op(Op::Trace);
        return *this;
    }
    // trace(<the variable or path `name`>)
    Code& show(const std::string& name)
    {
        a.push({name}).op(Op::GetVariable).op(Op::Trace);
        return *this;
    }
    // trace(prefix + <name>)
    Code& show(const std::string& prefix, const std::string& name)
    {
        a.push({prefix, name}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
        return *this;
    }
    // trace(typeof <name>)
    Code& showType(const std::string& name)
    {
        a.push({name}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
        return *this;
    }
    Code& set(const std::string& name, PushValue value)
    {
        a.push({name, value}).op(Op::SetVariable);
        return *this;
    }
    // <object>.<member> = value
    Code& setMember(const std::string& object, const std::string& member, PushValue value)
    {
        a.push({object}).op(Op::GetVariable).push({member, value}).op(Op::SetMember);
        return *this;
    }
    // GetURL2 with `target` as a string.
    Code& getUrl2(const std::string& url, const std::string& target, std::uint8_t flags)
    {
        a.push({url, target}).getUrl2(flags);
        return *this;
    }
    // <object>.<method>(args), the result dropped.
    Code& call(const std::string& object, const std::string& method, std::vector<PushValue> args)
    {
        std::vector<PushValue> pushed(args.rbegin(), args.rend());
        pushed.emplace_back(static_cast<int>(args.size()));
        pushed.emplace_back(object);
        a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod).op(Op::Pop);
        return *this;
    }
    // <object>.<name> = function(params) { body }
    Code& handler(const std::string& object, const std::string& name,
                  const std::vector<std::string>& params, const Code& body)
    {
        a.push({object}).op(Op::GetVariable).push({name});
        a.defineFunction("", params, body.a).op(Op::SetMember);
        return *this;
    }
};

// trace(<parts joined by spaces>): each part a variable name, or text in quotes.
Code traceJoined(const std::vector<std::string>& parts)
{
    Code c;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.size() >= 2 && part.front() == '"')
            c.a.push({part.substr(1, part.size() - 2)});
        else
            c.a.push({part}).op(Op::GetVariable);
        // acc, part -> acc + " " + part
        if (i > 0)
            c.a.push({" "}).op(Op::StackSwap).op(Op::Add2).op(Op::Add2);
    }
    c.a.op(Op::Trace);
    return c;
}

std::string movieBytes(int version, const std::vector<Code>& frames)
{
    std::vector<ActionWriter> code;
    for (const Code& frame : frames)
        code.push_back(frame.a);
    const std::vector<std::uint8_t> bytes = swfwriter::scriptMovie(version, code).bytes();
    return std::string(bytes.begin(), bytes.end());
}

std::string run(int version, const std::vector<Code>& frames,
                const std::map<std::string, std::string>& files, int steps)
{
    std::vector<ActionWriter> code;
    for (const Code& frame : frames)
        code.push_back(frame.a);
    scriptrun::Options options;
    options.frames = steps;
    options.files = files;
    return scriptrun::joined(scriptrun::traces(swfwriter::scriptMovie(version, code), options));
}

} // namespace

class MovieLoadingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void levelsAreRootsOfTheirOwn();
    void loadedCodeKeepsItsVersion();
    void swf5CodeCallsLaterFunctionsAsItsOwn();
    void clipsTakeMoviesWithVariables();
    void lockRootConvertsLikeABoolean();
    void movieClipLoaderEvents();
    void getProgressTargets();
    void levelZeroTakesTheNewMoviesStage();
    void anyFileLoadsIntoAClip();
    void anUnloadInTheSameStepCancelsTheLoad();
    void handlersWithoutRegistersStillHaveFour();
    void loaderCallsWithoutArguments();
    void unloadingALevel();
    void everyClipReachesGlobal();
    void versionGroupsKeepTheirOwnBuiltins();
};

void MovieLoadingTest::levelsAreRootsOfTheirOwn()
{
    Code child;
    child.show("_root").show("_level0").show("this").set("fromChild", "set");
    Code first;
    first.text("main 1").getUrl2("child.swf", "_level1", 0);
    Code second;
    second.text("main 2").showType("_level1");
    Code third;
    third.show("_level1.fromChild").showType("_level5").show("/:fromChild");
    const std::string got =
        run(8, {first, second, third}, {{"child.swf", movieBytes(8, {child})}}, 3);
    // The load is carried out after the frame code of the step after the request.
    QCOMPARE(QString::fromStdString(got),
             QString("main 1\nmain 2\nundefined\n_level1\n_level0\n_level1\nset\nundefined\n"
                     "undefined"));
}

void MovieLoadingTest::loadedCodeKeepsItsVersion()
{
    // SWF 6: names ignore case, and undefined converts to "".
    Code child;
    child.set("Abc", 1).show("abc");
    child.a.push({"x"}).push({swfwriter::Undefined{}}).op(Op::Add2).op(Op::Trace);
    Code first;
    first.getUrl2("six.swf", "_level1", 0);
    Code later;
    // The main movie's SWF 8 code keeps its own rules, on the child's variables too.
    later.show("_level1.ABC").show("_level1.Abc");
    later.a.push({"x"}).push({swfwriter::Undefined{}}).op(Op::Add2).op(Op::Trace);
    const std::string got =
        run(8, {first, Code(), later}, {{"six.swf", movieBytes(6, {child})}}, 3);
    QCOMPARE(QString::fromStdString(got), QString("1\nx\nundefined\n1\nxundefined"));
}

// A SWF 6 function that SWF 5 code calls by name runs as a SWF 5 function would: on
// the caller's timeline, by SWF 5's rules, with no "this"; called as a method, or from
// its own movie, it runs as its own.
void MovieLoadingTest::swf5CodeCallsLaterFunctionsAsItsOwn()
{
    Code body;
    body.a.push({"this"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    body.a.push({"", 11}).op(Op::GetProperty).op(Op::Trace);
    body.a.push({"getDepth"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    Code child;
    child.a.push({"f"}).defineFunction("", {}, body.a).op(Op::SetVariable);
    Code first;
    first.getUrl2("six.swf", "_level1", 0);
    Code later;
    later.a.push({"f", "_level1"}).op(Op::GetVariable).push({"f"}).op(Op::GetMember);
    later.a.op(Op::SetVariable);
    later.a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
    later.call("_level1", "f", {});
    const std::string got =
        run(5, {first, Code(), later}, {{"six.swf", movieBytes(6, {child})}}, 3);
    QCOMPARE(QString::fromStdString(got),
             QString("undefined\n/\nundefined\nmovieclip\n_level1\nfunction"));
}

void MovieLoadingTest::clipsTakeMoviesWithVariables()
{
    Code child;
    child.a.push({"this"}).op(Op::GetVariable).op(Op::Trace);
    child.show("_root").show("x").show("y").show("kept");
    Code first;
    first.call("_root", "createEmptyMovieClip", {"a", 1});
    first.call("_root", "createEmptyMovieClip", {"b", 2});
    first.setMember("b", "_lockroot", true).setMember("a", "kept", "gone");
    first.call("a", "loadMovie", {"child.swf?x=1&y=two%20words"});
    first.getUrl2("child.swf", "b", 0x40);
    const std::string got = run(8, {first, Code()}, {{"child.swf", movieBytes(8, {child})}}, 2);
    // The clip's variables went with its old content; _lockroot stays, and makes the
    // clip the loaded movie's _root.
    QCOMPARE(QString::fromStdString(got),
             QString("_level0.a\n_level0\n1\ntwo words\nundefined\n"
                     "_level0.b\n_level0.b\nundefined\nundefined\nundefined"));
}

void MovieLoadingTest::lockRootConvertsLikeABoolean()
{
    Code code;
    code.show("_root._lockroot");
    for (PushValue value : {PushValue(""), PushValue("0"), PushValue(0), PushValue(7)}) {
        code.setMember("_root", "_lockroot", value);
        code.show("_root._lockroot");
    }
    const std::string got = run(8, {code}, {}, 1);
    QCOMPARE(QString::fromStdString(got), QString("false\nfalse\ntrue\nfalse\ntrue"));
}

void MovieLoadingTest::movieClipLoaderEvents()
{
    Code child;
    child.set("v", "from child").text("child frame");
    const std::string childFile = movieBytes(8, {child});

    Code first;
    first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    first.handler("mcl", "onLoadStart", {"t"}, traceJoined({"\"start\"", "t"}));
    first.handler("mcl", "onLoadProgress", {"t", "l", "n"},
                  traceJoined({"\"progress\"", "t", "l", "n"}));
    first.handler("mcl", "onLoadComplete", {"t", "s"}, traceJoined({"\"complete\"", "t", "s"}));
    first.handler("mcl", "onLoadInit", {"t"}, traceJoined({"\"init\"", "t", "t.v"}));
    first.handler("mcl", "onLoadError", {"t", "code"}, traceJoined({"\"error\"", "t", "code"}));
    first.a.push({"listener", 0}).op(Op::InitObject).op(Op::SetVariable);
    first.handler("listener", "onLoadInit", {}, Code().text("listener init"));
    first.a.push({"listener"}).op(Op::GetVariable).push({1, "mcl"}).op(Op::GetVariable);
    first.a.push({"addListener"}).op(Op::CallMethod).op(Op::Pop);
    first.call("_root", "createEmptyMovieClip", {"c", 1});
    first.a.push({"c"}).op(Op::GetVariable).push({"child.swf", 2, "mcl"}).op(Op::GetVariable);
    first.a.push({"loadClip"}).op(Op::CallMethod).op(Op::Trace);
    first.call("mcl", "loadClip", {"missing.swf", "_level3"});
    first.text("frame 1 done");
    Code second;
    second.text("frame 2");
    const std::string got = run(8, {first, second}, {{"child.swf", childFile}}, 2);
    const QString size = QString::number(childFile.size());
    QCOMPARE(QString::fromStdString(got),
             QString("true\nframe 1 done\nerror undefined URLNotFound\nframe 2\n"
                     "start _level0.c\nprogress _level0.c %1 %1\ncomplete _level0.c 0\n"
                     "child frame\ninit _level0.c from child\nlistener init")
                 .arg(size));
}

void MovieLoadingTest::getProgressTargets()
{
    Code child;
    child.text("loaded");
    const std::string childFile = movieBytes(8, {child});
    Code first;
    first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    first.call("_root", "createEmptyMovieClip", {"c", 1});
    first.a.push({"c"}).op(Op::GetVariable).push({"child.swf", 2, "mcl"}).op(Op::GetVariable);
    first.a.push({"loadClip"}).op(Op::CallMethod).op(Op::Pop);
    Code third;
    auto progress = [&](const std::function<void(ActionWriter&)>& pushTarget, bool bytes) {
        pushTarget(third.a);
        third.a.push({1, "mcl"}).op(Op::GetVariable).push({"getProgress"}).op(Op::CallMethod);
        third.a.push({"p"}).op(Op::StackSwap).op(Op::SetVariable);
        third.showType("p");
        if (bytes)
            third.show("p.bytesLoaded");
    };
    progress([](ActionWriter& a) { a.push({"c"}).op(Op::GetVariable); }, true);
    progress([](ActionWriter& a) { a.push({"c"}); }, true);
    progress([](ActionWriter& a) { a.push({"nothing"}); }, true);
    progress([](ActionWriter& a) { a.push({4}); }, true);
    progress([](ActionWriter& a) { a.push({0}).op(Op::InitObject); }, false);
    progress([](ActionWriter& a) { a.push({swfwriter::Undefined{}}); }, false);
    // Level 0 gives the main movie's length, as getBytesTotal does.
    progress([](ActionWriter& a) { a.push({0.5}); }, false);
    third.a.push({"p"}).op(Op::GetVariable).push({"bytesTotal"}).op(Op::GetMember);
    third.a.push({0, "_root"}).op(Op::GetVariable).push({"getBytesTotal"}).op(Op::CallMethod);
    third.a.op(Op::Equals2).op(Op::Trace);
    const std::string got = run(8, {first, Code(), third}, {{"child.swf", childFile}}, 3);
    const QString size = QString::number(childFile.size());
    QCOMPARE(QString::fromStdString(got),
             QString("loaded\nobject\n%1\nobject\n%1\nobject\nundefined\nobject\nundefined\n"
                     "undefined\nundefined\nobject\ntrue")
                 .arg(size));
}

// The movie loaded into level 0 gives the stage its size and frame rate; _root's
// variables go with the old movie, _global's stay. A load into another level changes
// nothing of the stage.
void MovieLoadingTest::levelZeroTakesTheNewMoviesStage()
{
    Code child;
    child.show("Stage.width").show("Stage.height").showType("v").show("_global.kept");
    swfwriter::MovieWriter childMovie(8, 320, 240, 12);
    childMovie.fileAttributes();
    swfwriter::addScriptFrames(childMovie, std::span<const ActionWriter>(&child.a, 1));
    const std::vector<std::uint8_t> childBytes = childMovie.bytes();
    const std::string childFile(childBytes.begin(), childBytes.end());

    for (const char* level : {"_level0", "_level2"}) {
        Code first;
        first.set("v", "old").set("_global.kept", "yes").show("Stage.width");
        first.getUrl2("child.swf", level, 0);
        double rate = 0;
        swf::Rect stage;
        scriptrun::Options options;
        options.frames = 3;
        options.files = {{"child.swf", childFile}};
        options.inspect = [&](const runtime::MoviePlayer& player) {
            rate = player.frameRate();
            stage = player.stage();
        };
        const std::string got = scriptrun::joined(scriptrun::traces(
            swfwriter::scriptMovie(8, std::span<const ActionWriter>(&first.a, 1)), options));
        const bool zero = std::string(level) == "_level0";
        QCOMPARE(QString::fromStdString(got),
                 zero ? QStringLiteral("550\n320\n240\nundefined\nyes")
                      : QStringLiteral("550\n550\n400\nundefined\nyes"));
        QCOMPARE(rate, zero ? 12.0 : 24.0);
        QCOMPARE(stage.width().pixels(), zero ? 320.0 : 550.0);
    }
}

// A file that is neither a movie nor an image still loads: the clip is emptied and the
// loader hears every event but onLoadError.
void MovieLoadingTest::anyFileLoadsIntoAClip()
{
    Code first;
    first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    first.handler("mcl", "onLoadStart", {"t"}, traceJoined({"\"start\"", "t"}));
    first.handler("mcl", "onLoadProgress", {"t", "l", "n"},
                  traceJoined({"\"progress\"", "t", "l", "n"}));
    first.handler("mcl", "onLoadComplete", {"t", "s"}, traceJoined({"\"complete\"", "t", "s"}));
    first.handler("mcl", "onLoadInit", {"t"}, traceJoined({"\"init\"", "t", "t._url"}));
    first.handler("mcl", "onLoadError", {"t", "code"}, traceJoined({"\"error\"", "t", "code"}));
    first.call("_root", "createEmptyMovieClip", {"c", 1});
    first.a.push({"c"}).op(Op::GetVariable).push({"vars.txt", 2, "mcl"}).op(Op::GetVariable);
    first.a.push({"loadClip"}).op(Op::CallMethod).op(Op::Trace);
    const std::string got = run(8, {first, Code(), Code()}, {{"vars.txt", "a=1&b=2"}}, 3);
    QCOMPARE(QString::fromStdString(got),
             QStringLiteral("true\nstart _level0.c\nprogress _level0.c 7 7\ncomplete _level0.c 0\n"
                            "init _level0.c vars.txt"));
}

// Asked for in one step, a load and then an unload of its target: the loader hears the
// start alone and the movie never plays. An unload asked before the load does not
// stop it.
void MovieLoadingTest::anUnloadInTheSameStepCancelsTheLoad()
{
    Code child;
    child.text("child frame");
    const std::string childFile = movieBytes(8, {child});
    for (const bool unloadFirst : {false, true}) {
        Code first;
        first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
        first.handler("mcl", "onLoadStart", {"t"}, traceJoined({"\"start\"", "t"}));
        first.handler("mcl", "onLoadComplete", {"t"}, traceJoined({"\"complete\"", "t"}));
        first.handler("mcl", "onLoadInit", {"t"}, traceJoined({"\"init\"", "t"}));
        first.call("_root", "createEmptyMovieClip", {"c", 1});
        auto unload = [&] {
            first.a.push({"c"}).op(Op::GetVariable).push({1, "mcl"}).op(Op::GetVariable);
            first.a.push({"unloadClip"}).op(Op::CallMethod).op(Op::Pop);
        };
        if (unloadFirst)
            unload();
        first.a.push({"c"}).op(Op::GetVariable).push({"child.swf", 2, "mcl"}).op(Op::GetVariable);
        first.a.push({"loadClip"}).op(Op::CallMethod).op(Op::Pop);
        if (!unloadFirst)
            unload();
        const std::string got = run(8, {first, Code(), Code()}, {{"child.swf", childFile}}, 3);
        QCOMPARE(QString::fromStdString(got),
                 unloadFirst ? QStringLiteral("start _level0.c\ncomplete _level0.c\nchild "
                                              "frame\ninit _level0.c")
                             : QStringLiteral("start _level0.c"));
    }
}

// A DefineFunction2 handler that declares no registers, called by the player with no
// script running, still keeps what it stores in r:0 for the call.
void MovieLoadingTest::handlersWithoutRegistersStillHaveFour()
{
    Code child;
    child.text("child");
    const std::string childFile = movieBytes(8, {child});
    ActionWriter body;
    body.push({"kept"}).storeRegister(0).op(Op::Pop);
    body.push({swfwriter::Register{0}}).op(Op::Trace);
    Code first;
    first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    first.a.push({"mcl"}).op(Op::GetVariable).push({"onLoadInit"});
    first.a.defineFunction2("", 0, 0, {}, body).op(Op::SetMember);
    first.call("_root", "createEmptyMovieClip", {"c", 1});
    first.a.push({"c"}).op(Op::GetVariable).push({"child.swf", 2, "mcl"}).op(Op::GetVariable);
    first.a.push({"loadClip"}).op(Op::CallMethod).op(Op::Pop);
    const std::string got = run(8, {first, Code(), Code()}, {{"child.swf", childFile}}, 3);
    QCOMPARE(QString::fromStdString(got), QStringLiteral("child\nkept"));
}

// unloadClip() answers nothing; getProgress's object has no prototype, so it lists
// only its two numbers.
void MovieLoadingTest::loaderCallsWithoutArguments()
{
    Code first;
    first.a.push({"mcl", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    first.a.push({0, "mcl"}).op(Op::GetVariable).push({"unloadClip"}).op(Op::CallMethod);
    first.a.op(Op::TypeOf).op(Op::Trace);
    first.a.push({"nowhere", 1, "mcl"}).op(Op::GetVariable).push({"unloadClip"}).op(Op::CallMethod);
    first.a.op(Op::Trace);
    first.a.push({"p", 0, 1, "mcl"}).op(Op::GetVariable).push({"getProgress"}).op(Op::CallMethod);
    first.a.op(Op::SetVariable);
    first.showType("p.__proto__").showType("p.toString").showType("p.bytesTotal");
    const std::string got = run(8, {first}, {}, 1);
    QCOMPARE(QString::fromStdString(got),
             QStringLiteral("undefined\nfalse\nundefined\nundefined\nnumber"));
}

void MovieLoadingTest::unloadingALevel()
{
    Code child;
    child.text("child");
    Code first;
    first.getUrl2("child.swf", "_level2", 0);
    Code third;
    third.showType("_level2").getUrl2("", "_level2", 0);
    Code fourth;
    fourth.showType("_level2");
    Code fifth;
    fifth.showType("_level2");
    const std::string got =
        run(8, {first, Code(), third, fourth, fifth}, {{"child.swf", movieBytes(8, {child})}}, 5);
    // The unload waits for the next step, as a load does.
    QCOMPARE(QString::fromStdString(got), QString("child\nmovieclip\nmovieclip\nundefined"));
}

void MovieLoadingTest::everyClipReachesGlobal()
{
    Code code;
    code.a.push({"this"}).op(Op::GetVariable).push({"_global"}).op(Op::GetMember);
    code.a.push({"_global"}).op(Op::GetVariable).op(Op::StrictEquals).op(Op::Trace);
    QCOMPARE(QString::fromStdString(run(6, {code}, {}, 1)), QString("true"));
    // SWF 5 has no _global.
    Code old;
    old.a.push({"this"}).op(Op::GetVariable).push({"_global"}).op(Op::GetMember);
    old.a.op(Op::TypeOf).op(Op::Trace);
    QCOMPARE(QString::fromStdString(run(5, {old}, {}, 1)), QString("undefined"));
}

void MovieLoadingTest::versionGroupsKeepTheirOwnBuiltins()
{
    // Sets _global.shared and MovieClip.prototype.tag to `value`, after showing them.
    auto mark = [](const std::string& value) {
        Code c;
        c.show("_global.shared").show("this.tag");
        c.setMember("_global", "shared", value);
        c.a.push({"MovieClip"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
        c.a.push({"tag", value}).op(Op::SetMember);
        return c;
    };
    auto runPair = [&](int mainVersion, int childVersion) {
        Code first = mark("main");
        first.getUrl2("child.swf", "_level1", 0);
        Code third;
        third.show("_global.shared").show("_level1.tag");
        third.a.push({"_level1"}).op(Op::GetVariable).push({"MovieClip"}).op(Op::GetVariable);
        third.a.op(Op::InstanceOf).op(Op::Trace);
        return QString::fromStdString(
            run(mainVersion, {first, Code(), third},
                {{"child.swf", movieBytes(childVersion, {mark("child")})}}, 3));
    };
    // SWF 6 and SWF 8 code see different globals and prototypes; each clip keeps its
    // own movie's MovieClip.prototype.
    QCOMPARE(runPair(6, 8),
             QString("undefined\nundefined\nundefined\nundefined\nmain\nchild\nfalse"));
    // SWF 8 and SWF 7 share them.
    QCOMPARE(runPair(8, 7), QString("undefined\nundefined\nmain\nmain\nchild\nchild\ntrue"));
    // SWF 9 goes with SWF 7 and 8, SWF 5 with SWF 6.
    QCOMPARE(runPair(9, 8), QString("undefined\nundefined\nmain\nmain\nchild\nchild\ntrue"));
    QCOMPARE(runPair(9, 5),
             QString("undefined\nundefined\nundefined\nundefined\nmain\nchild\nfalse"));
}

QTEST_GUILESS_MAIN(MovieLoadingTest)
#include "MovieLoadingTest.moc"
