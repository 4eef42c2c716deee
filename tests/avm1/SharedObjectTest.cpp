// SharedObject as movies at an address use it: which names and local paths getLocal
// takes, which calls give the same object, and the data's size, flush and clear.
#include "ScriptCases.h"

#include <QtTest>

using swfwriter::ActionWriter;
using swfwriter::Op;
using swfwriter::PushValue;
using swfwriter::Undefined;

namespace {

constexpr const char* kMovieUrl = "file:///games/pong.swf";

// Pushes SharedObject.getLocal(args...).
void getLocal(ActionWriter& a, const std::vector<PushValue>& args)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back("SharedObject");
    a.push(pushed).op(Op::GetVariable).push({"getLocal"}).op(Op::CallMethod);
}

// trace(typeof SharedObject.getLocal(args...))
scriptrun::Case typeOf(const char* name, int version, std::vector<PushValue> args,
                       const char* expected)
{
    return {name, version,
            [args](ActionWriter& a) {
                getLocal(a, args);
                a.op(Op::TypeOf).op(Op::Trace);
            },
            expected};
}

// trace(getLocal(first...) == getLocal(second...))
scriptrun::Case same(const char* name, std::vector<PushValue> first, std::vector<PushValue> second,
                     const char* expected)
{
    return {name, 8,
            [first, second](ActionWriter& a) {
                getLocal(a, first);
                getLocal(a, second);
                a.op(Op::StrictEquals).op(Op::Trace);
            },
            expected};
}

void runAtTheAddress(const std::vector<scriptrun::Case>& cases)
{
    for (const scriptrun::Case& c : cases) {
        ActionWriter a;
        c.code(a);
        scriptrun::Options options;
        options.movieUrl = kMovieUrl;
        const std::string got = scriptrun::joined(scriptrun::run(c.version, a, options));
        if (got != c.expected)
            qWarning("case %s", c.name);
        QCOMPARE(QString::fromStdString(got), QString::fromUtf8(c.expected));
    }
}

} // namespace

class SharedObjectTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAndPaths();
    void whichCallsShareAnObject();
    void dataSizeFlushAndClear();
};

void SharedObjectTest::namesAndPaths()
{
    runAtTheAddress({
        typeOf("a plain name", 8, {"prefs"}, "object"),
        typeOf("folders in a name", 8, {"a/b"}, "object"),
        typeOf("an empty name", 8, {""}, "null"),
        typeOf("a space", 8, {"a b"}, "null"),
        typeOf("a colon", 8, {"a:b"}, "null"),
        typeOf("a question mark", 8, {"x?"}, "null"),
        typeOf("a tilde", 8, {"~home"}, "null"),
        typeOf("a hash", 8, {"a#b"}, "null"),
        typeOf("a quote", 8, {"a'b"}, "null"),
        typeOf("a backslash", 8, {"a\\b"}, "null"),
        // No name is "undefined" from SWF 7, and empty before.
        typeOf("no name in SWF 7", 7, {}, "object"),
        typeOf("no name in SWF 6", 6, {}, "null"),
        typeOf("the root folder", 8, {"prefs", "/"}, "object"),
        typeOf("the movie's folder", 8, {"prefs", "/games"}, "object"),
        typeOf("the movie's folder with a slash", 8, {"prefs", "/games/"}, "object"),
        typeOf("the movie's own path", 8, {"prefs", "/games/pong.swf"}, "object"),
        typeOf("null is no path", 8, {"prefs", nullptr}, "object"),
        typeOf("undefined is no path", 8, {"prefs", Undefined{}}, "object"),
        typeOf("part of a folder's name", 8, {"prefs", "/gam"}, "null"),
        typeOf("another folder", 8, {"prefs", "/other"}, "null"),
        typeOf("below the movie", 8, {"prefs", "/games/pong.swf/x"}, "null"),
    });
}

void SharedObjectTest::whichCallsShareAnObject()
{
    runAtTheAddress({
        same("the same name", {"a"}, {"a"}, "true"),
        same("another name", {"a"}, {"b"}, "false"),
        // Without a path the object is the movie's own, not the root folder's.
        same("no path and the root", {"a"}, {"a", "/"}, "false"),
        same("no path and the movie's path", {"a"}, {"a", "/games/pong.swf"}, "true"),
        same("a folder with and without its slash", {"a", "/games"}, {"a", "/games/"}, "true"),
        same("two folders", {"a", "/"}, {"a", "/games"}, "false"),
    });
}

void SharedObjectTest::dataSizeFlushAndClear()
{
    scriptrun::runCases({
        {"size, flush and clear", 8,
         [](ActionWriter& a) {
             getLocal(a, {"prefs"});
             a.push({"so"}).op(Op::StackSwap).op(Op::SetVariable);
             // so.data.score = 10; so.data.name = "ab"; so.data.f = function() {}
             for (const auto& [member, value] :
                  {std::pair<const char*, PushValue>{"score", 10}, {"name", "ab"}}) {
                 a.push({"so"}).op(Op::GetVariable).push({"data"}).op(Op::GetMember);
                 a.push({member, value}).op(Op::SetMember);
             }
             a.push({"so"}).op(Op::GetVariable).push({"data"}).op(Op::GetMember).push({"f"});
             a.defineFunction("", {}, ActionWriter()).op(Op::SetMember);
             auto callSo = [&](const char* method) {
                 a.push({0, "so"}).op(Op::GetVariable).push({method}).op(Op::CallMethod);
             };
             // 2+5+9+1 for score, 2+4+5+1 for name; functions are not kept.
             callSo("getSize");
             a.op(Op::Trace);
             callSo("flush");
             a.op(Op::Trace);
             // data cannot be deleted.
             a.push({"so"}).op(Op::GetVariable).push({"data"}).op(Op::Delete).op(Op::Trace);
             callSo("clear");
             a.op(Op::Pop);
             callSo("getSize");
             a.op(Op::Trace);
             a.push({"so"}).op(Op::GetVariable).push({"data"}).op(Op::GetMember).op(Op::TypeOf);
             a.op(Op::Trace);
         },
         "29\ntrue\nfalse\n0\nobject"},
    });
}

QTEST_GUILESS_MAIN(SharedObjectTest)
#include "SharedObjectTest.moc"
