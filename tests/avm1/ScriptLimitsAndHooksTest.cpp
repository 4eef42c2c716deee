// How scripts meet the interpreter's limits and hooks, as the reference has them:
// the recursion cap, circular prototype chains, accessor properties that nest, watchers
// of accessors, DefineFunction2's preloaded _parent, Delete2's paths, what SWF 4 code
// sees of the globals, and fscommand("quit").
#include "ScriptCases.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;
using scriptrun::run;
using scriptrun::runCases;

namespace {

// o.addProperty(name, getter, setter), with the accessors' bodies given.
void addAccessor(ActionWriter& a, const std::string& object, const std::string& name,
                 const ActionWriter& getter, const ActionWriter& setter)
{
    // The arguments go on the stack last first.
    a.defineFunction("", {"v"}, setter);
    a.defineFunction("", {}, getter);
    a.push({name, 3, object}).op(Op::GetVariable).push({"addProperty"}).op(Op::CallMethod);
    a.op(Op::Pop);
}

// A counter variable `name` increased by one.
void count(ActionWriter& a, const std::string& name)
{
    a.push({name, name}).op(Op::GetVariable).op(Op::Increment).op(Op::SetVariable);
}

} // namespace

class ScriptLimitsAndHooksTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recursionCapCountsTheBlock();
    void circularPrototypeChainEndsTheScripts();
    void accessorsNestPerProperty();
    void watchersAndPaths();
    void swf4CodeHasNoGlobals();
    void quitEndsThePlayback();
    void watchersFireAgainInsideThemselves();
    void aMovieShortOfFramesWaitsAtItsLast();
};

// A ScriptLimits of 5 lets four calls nest: the running block is the first level, and
// reaching the cap ends every script of the block, catch blocks included.
void ScriptLimitsAndHooksTest::recursionCapCountsTheBlock()
{
    MovieWriter movie(8);
    movie.fileAttributes();
    movie.scriptLimits(5, 10);
    ActionWriter body;
    body.push({"call"}).op(Op::Trace).push({0, "down"}).op(Op::CallFunction).op(Op::Pop);
    ActionWriter a;
    a.defineFunction("down", {}, body);
    ActionWriter tryBody;
    tryBody.push({0, "down"}).op(Op::CallFunction).op(Op::Pop);
    ActionWriter catchBody;
    catchBody.push({"caught"}).op(Op::Trace);
    a.tryBlock(tryBody, CatchTarget{std::string("e")}, catchBody);
    a.push({"after"}).op(Op::Trace);
    addScriptFrames(movie, std::span<const ActionWriter>(&a, 1));
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(movie))),
             QStringLiteral("call\ncall\ncall\ncall"));
}

void ScriptLimitsAndHooksTest::circularPrototypeChainEndsTheScripts()
{
    runCases({
        {"looking a missing name up a circular chain stops the block", 6,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__", "o"}).op(Op::GetVariable);
             a.op(Op::SetMember);
             a.push({"before"}).op(Op::Trace);
             a.push({"o"}).op(Op::GetVariable).push({"missing"}).op(Op::GetMember).op(Op::Pop);
             a.push({"after"}).op(Op::Trace);
         },
         "before"},
        {"a name found before the circle is read as usual", 6,
         [](ActionWriter& a) {
             a.push({"o", "x", 1, 1}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__", "o"}).op(Op::GetVariable);
             a.op(Op::SetMember);
             a.push({"o"}).op(Op::GetVariable).push({"x"}).op(Op::GetMember).op(Op::Trace);
         },
         "1"},
    });
}

// Each accessor property bounds its own nesting to 65 calls; past it the getter or
// setter is not run and the value last assigned stands in, which the property keeps
// once each setter call is done.
void ScriptLimitsAndHooksTest::accessorsNestPerProperty()
{
    runCases({
        {"a setter assigning its own property runs 65 times and keeps the first value", 7,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"sets", 0}).op(Op::SetVariable);
             ActionWriter getter;
             getter.push({"o"}).op(Op::GetVariable).push({"p"}).op(Op::GetMember);
             getter.op(Op::Return);
             ActionWriter setter;
             count(setter, "sets");
             setter.push({"o"}).op(Op::GetVariable).push({"p", "inner"}).op(Op::SetMember);
             addAccessor(a, "o", "p", getter, setter);
             a.push({"o"}).op(Op::GetVariable).push({"p", "outer"}).op(Op::SetMember);
             a.push({"sets"}).op(Op::GetVariable).op(Op::Trace);
             // The getter reads itself down to the limit, where the kept value answers.
             a.push({"o"}).op(Op::GetVariable).push({"p"}).op(Op::GetMember).op(Op::Trace);
         },
         "65\nouter"},
        {"two properties setting each other each get their own 65 calls", 7,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"sets", 0}).op(Op::SetVariable);
             ActionWriter getter;
             getter.push({"got"}).op(Op::Return);
             ActionWriter setA;
             count(setA, "sets");
             setA.push({"o"}).op(Op::GetVariable).push({"b", 1}).op(Op::SetMember);
             ActionWriter setB;
             count(setB, "sets");
             setB.push({"o"}).op(Op::GetVariable).push({"a", 1}).op(Op::SetMember);
             addAccessor(a, "o", "a", getter, setA);
             addAccessor(a, "o", "b", getter, setB);
             a.push({"o"}).op(Op::GetVariable).push({"a", 1}).op(Op::SetMember);
             a.push({"sets"}).op(Op::GetVariable).op(Op::Trace);
         },
         "130"},
        {"instances sharing an inherited accessor share its count", 7,
         [](ActionWriter& a) {
             a.push({"p", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"x", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"y", 0}).op(Op::InitObject).op(Op::SetVariable);
             for (const char* o : {"x", "y"})
                 a.push({o})
                     .op(Op::GetVariable)
                     .push({"__proto__", "p"})
                     .op(Op::GetVariable)
                     .op(Op::SetMember);
             a.push({"sets", 0}).op(Op::SetVariable);
             ActionWriter getter;
             getter.push({"got"}).op(Op::Return);
             // Each assignment goes to the other object.
             ActionWriter setter;
             count(setter, "sets");
             auto toX = setter.label();
             auto done = setter.label();
             setter.push({"this"}).op(Op::GetVariable).push({"y"}).op(Op::GetVariable);
             setter.op(Op::Equals2).ifTrue(toX);
             setter.push({"y"}).op(Op::GetVariable).push({"v", 1}).op(Op::SetMember).jump(done);
             setter.bind(toX).push({"x"}).op(Op::GetVariable).push({"v", 1}).op(Op::SetMember);
             setter.bind(done);
             addAccessor(a, "p", "v", getter, setter);
             a.push({"x"}).op(Op::GetVariable).push({"v", 1}).op(Op::SetMember);
             a.push({"sets"}).op(Op::GetVariable).op(Op::Trace);
         },
         "65"},
    });
}

void ScriptLimitsAndHooksTest::watchersAndPaths()
{
    runCases({
        {"a watcher of an accessor is shown the value the property had before", 7,
         [](ActionWriter& a) {
             a.push({"o", "x", 3, 1}).op(Op::InitObject).op(Op::SetVariable);
             ActionWriter getter;
             getter.push({"getter ran"}).op(Op::Trace).push({0}).op(Op::Return);
             ActionWriter setter;
             setter.push({"set "}).push({"v"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
             addAccessor(a, "o", "x", getter, setter);
             ActionWriter watcher;
             watcher.push({"old "}).push({"old"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
             watcher.push({"new"}).op(Op::GetVariable).op(Op::Return);
             a.push({"child", "__proto__", "o"}).op(Op::GetVariable).push({1}).op(Op::InitObject);
             a.op(Op::SetVariable);
             a.defineFunction("", {"name", "old", "new"}, watcher);
             a.push({"x", 2, "child"}).op(Op::GetVariable).push({"watch"}).op(Op::CallMethod);
             a.op(Op::Pop);
             a.push({"child"}).op(Op::GetVariable).push({"x", 4}).op(Op::SetMember);
         },
         "old 3\nset 4"},
        {"DefineFunction2's _parent is the display parent, not a variable", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{1}}).op(Op::Trace);
             a.defineFunction2("f", 2,
                               FunctionFlag::PreloadParent | FunctionFlag::SuppressThis |
                                   FunctionFlag::SuppressArguments | FunctionFlag::SuppressSuper,
                               {}, body);
             a.push({"_parent", "fake"}).op(Op::SetVariable);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
         },
         "undefined"},
        {"Delete2 takes the name after the last colon or dot", 7,
         [](ActionWriter& a) {
             a.push({"o", "c", "f", 1, 1}).op(Op::InitObject).push({1}).op(Op::InitObject);
             a.op(Op::SetVariable);
             a.push({"o:c.f"}).op(Op::Delete2).op(Op::Trace);
             a.push({"o"}).op(Op::GetVariable).push({"c"}).op(Op::GetMember);
             a.push({"f"}).op(Op::GetMember).op(Op::Trace);
         },
         "true\nundefined"},
    });
}

// SWF 4 code reads no global object: NaN and Infinity are unset variables there, which
// its comparisons take as 0.
void ScriptLimitsAndHooksTest::swf4CodeHasNoGlobals()
{
    runCases({
        {"NaN is an unset variable", 4,
         [](ActionWriter& a) {
             a.push({"NaN"}).op(Op::GetVariable).push({0}).op(Op::Equals).op(Op::Trace);
         },
         "1"},
        {"Infinity is one too", 4,
         [](ActionWriter& a) {
             a.push({0, "Infinity"}).op(Op::GetVariable).op(Op::Less).op(Op::Trace);
         },
         "0"},
        {"SWF 5 code sees them", 5,
         [](ActionWriter& a) {
             a.push({"NaN"}).op(Op::GetVariable).push({0}).op(Op::Equals).op(Op::Trace);
         },
         "false"},
    });
}

// fscommand("quit") lets the step that asked finish, and no frame follows.
void ScriptLimitsAndHooksTest::quitEndsThePlayback()
{
    ActionWriter first;
    first.push({"frame 1"}).op(Op::Trace);
    ActionWriter second;
    second.push({"frame 2"}).op(Op::Trace).getUrl("FSCommand:quit", "");
    second.push({"rest of frame 2"}).op(Op::Trace);
    ActionWriter third;
    third.push({"frame 3"}).op(Op::Trace);
    const std::vector<ActionWriter> frames{first, second, third};
    scriptrun::Options options;
    options.frames = 6;
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(scriptMovie(6, frames), options))),
             QStringLiteral("frame 1\nframe 2\nrest of frame 2"));
    // A host that keeps movies playing (the launcher's) ignores the command.
    options.honoursQuit = false;
    options.frames = 4;
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(scriptMovie(6, frames), options))),
             QStringLiteral("frame 1\nframe 2\nrest of frame 2\nframe 3\nframe 1"));
}

// Two watchers that assign each other's property nest 65 calls each: a watcher fires
// again inside its own call, up to the property's nesting limit.
void ScriptLimitsAndHooksTest::watchersFireAgainInsideThemselves()
{
    runCases({
        {"watchers of two properties setting each other", 7,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"calls", 0}).op(Op::SetVariable);
             for (const auto& [watched, other] : {std::pair{"a", "b"}, {"b", "a"}}) {
                 ActionWriter watcher;
                 count(watcher, "calls");
                 watcher.push({"o"}).op(Op::GetVariable).push({other, 1}).op(Op::SetMember);
                 watcher.push({"new"}).op(Op::GetVariable).op(Op::Return);
                 a.defineFunction("", {"name", "old", "new"}, watcher);
                 a.push({watched, 2, "o"}).op(Op::GetVariable).push({"watch"});
                 a.op(Op::CallMethod).op(Op::Pop);
             }
             a.push({"o"}).op(Op::GetVariable).push({"a", 1}).op(Op::SetMember);
             a.push({"calls"}).op(Op::GetVariable).op(Op::Trace);
         },
         "130"},
    });
}

// A movie whose last frame is unfinished (tags after its last ShowFrame) waits at that
// frame for the rest, which never comes: its script runs once and the movie never loops.
void ScriptLimitsAndHooksTest::aMovieShortOfFramesWaitsAtItsLast()
{
    ActionWriter first;
    first.push({"first"}).op(Op::Trace);
    ActionWriter second;
    second.push({"second"}).op(Op::Trace);
    const std::vector<ActionWriter> frames{first, second};
    MovieWriter movie = scriptMovie(6, frames);
    ActionWriter unfinished;
    unfinished.push({"unfinished"}).op(Op::Trace).end();
    movie.doAction(unfinished.bytes());
    scriptrun::Options options;
    options.frames = 8;
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(movie, options))),
             QStringLiteral("first\nsecond\nunfinished"));
}

QTEST_GUILESS_MAIN(ScriptLimitsAndHooksTest)
#include "ScriptLimitsAndHooksTest.moc"
