// The interpreter's core: stack, variables, functions, scopes, exceptions, and what it
// does with damaged code. Each case is a script that traces what it computed.
#include "ScriptCases.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;
using scriptrun::run;
using scriptrun::runCases;

class InterpreterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stackAndVariables();
    void functionsAndScopes();
    void exceptions();
    void damagedCode();
    void referencePlayerRules();
    void callsAndScopes();
    void gotoFrameStopsTheTimeline();
    void runawayScriptsStop();
};

void InterpreterTest::stackAndVariables()
{
    runCases({
        {"push and trace", 6, [](ActionWriter& a) { a.push({"hello"}).op(Op::Trace); }, "hello"},
        {"an empty stack pops undefined", 6, [](ActionWriter& a) { a.op(Op::Trace); }, "undefined"},
        {"set and get a timeline variable", 6,
         [](ActionWriter& a) {
             a.push({"x", 5}).op(Op::SetVariable).push({"x"}).op(Op::GetVariable).op(Op::Trace);
         },
         "5"},
        {"names ignore case before SWF 7", 6,
         [](ActionWriter& a) {
             a.push({"Score", 3})
                 .op(Op::SetVariable)
                 .push({"SCORE"})
                 .op(Op::GetVariable)
                 .op(Op::Trace);
         },
         "3"},
        {"letters beyond ASCII fold too before SWF 7", 6,
         [](ActionWriter& a) {
             a.push({"\u00C4rger\u01C4", 4})
                 .op(Op::SetVariable)
                 .push({"\u00E4RGER\u01C6"})
                 .op(Op::GetVariable)
                 .op(Op::Trace);
         },
         "4"},
        {"names keep case from SWF 7", 7,
         [](ActionWriter& a) {
             a.push({"Score", 3})
                 .op(Op::SetVariable)
                 .push({"SCORE"})
                 .op(Op::GetVariable)
                 .op(Op::Trace);
         },
         "undefined"},
        {"registers", 6,
         [](ActionWriter& a) {
             a.push({7}).storeRegister(2).op(Op::Pop).push({Register{2}}).op(Op::Trace);
         },
         "7"},
        {"constant pool", 6,
         [](ActionWriter& a) {
             a.constantPool({"first", "second"}).push({Constant{1}}).op(Op::Trace);
         },
         "second"},
        {"slash path variable", 6,
         [](ActionWriter& a) {
             a.push({"v", "ok"})
                 .op(Op::SetVariable)
                 .push({"/:v"})
                 .op(Op::GetVariable)
                 .op(Op::Trace);
         },
         "ok"},
        {"dot path on _root", 6,
         [](ActionWriter& a) {
             a.push({"_root.w", "dot"})
                 .op(Op::SetVariable)
                 .push({"w"})
                 .op(Op::GetVariable)
                 .op(Op::Trace);
         },
         "dot"},
        {"swap and duplicate", 6,
         [](ActionWriter& a) {
             a.push({"a", "b"})
                 .op(Op::StackSwap)
                 .op(Op::Trace)
                 .op(Op::PushDuplicate)
                 .op(Op::Trace)
                 .op(Op::Trace);
         },
         "a\nb\nb"},
        {"conditional branch", 6,
         [](ActionWriter& a) {
             auto skip = a.label();
             a.push({true}).ifTrue(skip).push({"not skipped"}).op(Op::Trace).bind(skip);
             a.push({"after"}).op(Op::Trace);
         },
         "after"},
        {"a counting loop", 6,
         [](ActionWriter& a) {
             auto top = a.label();
             auto done = a.label();
             a.push({0}).storeRegister(1).op(Op::Pop);
             a.bind(top).push({Register{1}, 3}).op(Op::Less2).op(Op::Not).ifTrue(done);
             a.push({Register{1}}).op(Op::Trace);
             a.push({Register{1}}).op(Op::Increment).storeRegister(1).op(Op::Pop).jump(top);
             a.bind(done);
         },
         "0\n1\n2"},
    });
}

void InterpreterTest::functionsAndScopes()
{
    runCases({
        {"a named function returns", 6,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({"n"}).op(Op::GetVariable).push({2}).op(Op::Multiply).op(Op::Return);
             a.defineFunction("twice", {"n"}, body);
             a.push({21, 1, "twice"}).op(Op::CallFunction).op(Op::Trace);
         },
         "42"},
        {"DefineFunction2 registers and preloads", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{1}, Register{2}}).op(Op::Add2).op(Op::Return);
             a.defineFunction2("f", 3,
                               FunctionFlag::SuppressThis | FunctionFlag::SuppressArguments |
                                   FunctionFlag::SuppressSuper,
                               {{1, "a"}, {2, "b"}}, body);
             a.push({"y", "x", 2, "f"}).op(Op::CallFunction).op(Op::Trace);
         },
         "xy"},
        {"locals do not leak to the timeline", 6,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({"secret", 1}).op(Op::DefineLocal);
             a.defineFunction("f", {}, body);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
             a.push({"secret"}).op(Op::GetVariable).op(Op::Trace);
         },
         "undefined"},
        {"closures keep their scope", 6,
         [](ActionWriter& a) {
             ActionWriter inner;
             inner.push({"captured"}).op(Op::GetVariable).op(Op::Return);
             ActionWriter outer;
             outer.push({"captured", "from outer"}).op(Op::DefineLocal);
             outer.defineFunction("", {}, inner).op(Op::Return);
             a.defineFunction("make", {}, outer);
             a.push({0, "make"}).op(Op::CallFunction).storeRegister(1).op(Op::Pop);
             a.push({0, Register{1}, Undefined{}}).op(Op::CallMethod).op(Op::Trace);
         },
         "from outer"},
        {"methods see this", 6,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({"this"}).op(Op::GetVariable).push({"tag"}).op(Op::GetMember).op(Op::Return);
             a.push({"o", "tag", "mine", 1}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"get"});
             a.defineFunction("", {}, body).op(Op::SetMember);
             a.push({0, "o"}).op(Op::GetVariable).push({"get"}).op(Op::CallMethod).op(Op::Trace);
         },
         "mine"},
        {"with puts an object in scope", 6,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({"inside"}).op(Op::GetVariable).op(Op::Trace);
             a.push({"inside", "from with", 1}).op(Op::InitObject);
             a.with(body);
         },
         "from with"},
        {"recursion stops at the limit and the movie goes on", 6,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({0, "down"}).op(Op::CallFunction).op(Op::Return);
             a.defineFunction("down", {}, body);
             a.push({0, "down"}).op(Op::CallFunction).op(Op::Pop);
         },
         ""},
    });
}

void InterpreterTest::exceptions()
{
    runCases({
        {"catch into a variable", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({"boom"}).op(Op::Throw).push({"not reached"}).op(Op::Trace);
             ActionWriter handler;
             handler.push({"e"}).op(Op::GetVariable).op(Op::Trace);
             a.tryBlock(body, CatchTarget{std::string("e")}, handler);
             a.push({"after"}).op(Op::Trace);
         },
         "boom\nafter"},
        {"finally runs after a catch", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({1}).op(Op::Throw);
             ActionWriter handler;
             handler.push({"caught"}).op(Op::Trace);
             ActionWriter last;
             last.push({"finally"}).op(Op::Trace);
             a.tryBlock(body, CatchTarget{Register{1}}, handler, last);
         },
         "caught\nfinally"},
        {"a throw crosses function calls", 7,
         [](ActionWriter& a) {
             ActionWriter thrower;
             thrower.push({"deep"}).op(Op::Throw);
             a.defineFunction("f", {}, thrower);
             ActionWriter body;
             body.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
             ActionWriter handler;
             handler.push({Register{1}}).op(Op::Trace);
             a.tryBlock(body, CatchTarget{Register{1}}, handler);
         },
         "deep"},
        {"finally runs on return", 7,
         [](ActionWriter& a) {
             ActionWriter tryBody;
             tryBody.push({"returned"}).op(Op::Return);
             ActionWriter last;
             last.push({"cleanup"}).op(Op::Trace);
             ActionWriter fn;
             fn.tryBlock(tryBody, std::nullopt, ActionWriter(), last);
             a.defineFunction("f", {}, fn);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Trace);
         },
         "cleanup\nreturned"},
        {"an uncaught exception is reported and the next block runs", 7,
         [](ActionWriter& a) {
             a.push({"Oh no!"}).op(Op::Throw).push({"not reached"}).op(Op::Trace);
         },
         "Warning: Uncaught exception, Oh no!"},
    });
}

void InterpreterTest::damagedCode()
{
    runCases({
        {"an action longer than its block ends it", 6,
         [](ActionWriter& a) {
             a.push({"before"}).op(Op::Trace);
             a.raw({0x96, 0xFF, 0x00, 0x00});
         },
         "before"},
        {"a branch into the middle of an action ends the block", 6,
         [](ActionWriter& a) {
             a.push({"start"}).op(Op::Trace).jumpBy(-2).push({"never"}).op(Op::Trace);
         },
         "start"},
        {"unknown actions are skipped", 6,
         [](ActionWriter& a) {
             a.raw({0x02}).action(0xC0, {1, 2, 3}).push({"still here"}).op(Op::Trace);
         },
         "still here"},
        {"a constant index past the pool pushes undefined", 6,
         [](ActionWriter& a) { a.constantPool({"only"}).push({Constant{9}}).op(Op::Trace); },
         "undefined"},
    });
}

void InterpreterTest::referencePlayerRules()
{
    runCases({
        {"each block starts with fresh registers", 6,
         [](ActionWriter& a) { a.push({Register{0}}).op(Op::Trace); }, "undefined"},
        {"registers past a function's own reach its caller's", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{3}}).op(Op::Trace).push({9}).storeRegister(3).op(Op::Pop);
             a.defineFunction2("f", 2,
                               FunctionFlag::SuppressThis | FunctionFlag::SuppressArguments |
                                   FunctionFlag::SuppressSuper,
                               {}, body);
             a.push({3}).storeRegister(3).op(Op::Pop);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
             a.push({Register{3}}).op(Op::Trace);
         },
         "3\n9"},
        {"a suppressed this is not preloaded", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{1}}).op(Op::Return);
             a.defineFunction2("f", 2, FunctionFlag::PreloadThis | FunctionFlag::SuppressThis, {},
                               body);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Trace);
         },
         "undefined"},
        {"a plain call from a body that keeps its this runs on the body's activation", 7,
         [](ActionWriter& a) {
             ActionWriter inner;
             inner.push({"this"}).op(Op::GetVariable).push({"_root"}).op(Op::GetVariable);
             inner.op(Op::Equals2).op(Op::Trace);
             a.defineFunction("inner", {}, inner);
             ActionWriter call;
             call.push({0, "inner"}).op(Op::CallFunction).op(Op::Pop);
             a.defineFunction2("keeps", 2, 0, {}, call);
             a.defineFunction2("suppresses", 2, FunctionFlag::SuppressThis, {}, call);
             a.push({0, "keeps"}).op(Op::CallFunction).op(Op::Pop);
             a.push({0, "suppresses"}).op(Op::CallFunction).op(Op::Pop);
         },
         "false\ntrue"},
        {"a caught throw drops what the try body pushed", 7,
         [](ActionWriter& a) {
             a.push({"kept"});
             ActionWriter body;
             body.push({"dropped", "error"}).op(Op::Throw);
             a.tryBlock(body, CatchTarget{Register{1}}, ActionWriter());
             a.op(Op::Trace);
         },
         "kept"},
        {"enumeration ends at undefined", 6,
         [](ActionWriter& a) { a.push({Undefined{}}).op(Op::Enumerate2).op(Op::Trace); },
         "undefined"},
        {"InitObject with more pairs than the stack holds makes nothing", 6,
         [](ActionWriter& a) {
             a.push({"a", "b", 5}).op(Op::InitObject).op(Op::Trace).op(Op::Trace).op(Op::Trace);
         },
         "undefined\nb\na"},
        {"Delete2 follows a dotted path", 6,
         [](ActionWriter& a) {
             a.push({"o", "a", 1, 1}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o.a"}).op(Op::Delete2).op(Op::Trace);
             a.push({"o"}).op(Op::GetVariable).push({"a"}).op(Op::GetMember).op(Op::Trace);
         },
         "true\nundefined"},
        {"a branch may land after End", 6,
         [](ActionWriter& a) {
             auto after = a.label();
             auto back = a.label();
             a.jump(after).bind(back).push({"back"}).op(Op::Trace).end();
             a.bind(after).push({"after end"}).op(Op::Trace).jump(back);
         },
         "after end\nback"},
        {"functions keep the with objects around them", 6,
         [](ActionWriter& a) {
             ActionWriter inner;
             inner.push({"v"}).op(Op::GetVariable).op(Op::Return);
             ActionWriter body;
             body.push({"g"}).defineFunction("", {}, inner).op(Op::SetVariable);
             a.push({"v", "from with", 1}).op(Op::InitObject).with(body);
             a.push({0, "g"}).op(Op::CallFunction).op(Op::Trace);
         },
         "from with"},
    });
}

// Where calls run and what their bodies see, as the reference player does it.
void InterpreterTest::callsAndScopes()
{
    runCases({
        {"arguments are preloaded even when suppressed", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{1}}).op(Op::Return);
             a.defineFunction2("f", 2,
                               FunctionFlag::PreloadArguments | FunctionFlag::SuppressArguments, {},
                               body);
             a.push({"x", "y", 2, "f"}).op(Op::CallFunction).op(Op::Trace);
         },
         "y,x"},
        {"a timeline without a parent takes no register", 7,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({Register{1}}).op(Op::Trace).push({Register{2}}).op(Op::Trace);
             a.defineFunction2("f", 3, FunctionFlag::PreloadParent | FunctionFlag::PreloadGlobal,
                               {}, body);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
         },
         "[type Object]\nundefined"},
        {"a method name converting to the empty string calls the base", 6,
         [](ActionWriter& a) {
             ActionWriter empty;
             empty.push({""}).op(Op::Return);
             ActionWriter fBody;
             fBody.push({"called"}).op(Op::Trace);
             a.push({"f"}).defineFunction("", {}, fBody).op(Op::SetVariable);
             a.push({0, "f"}).op(Op::GetVariable);
             a.push({"toString"}).defineFunction("", {}, empty).push({1}).op(Op::InitObject);
             a.op(Op::CallMethod).op(Op::Pop);
         },
         "called"},
        {"SWF 5 functions keep no closure", 5,
         [](ActionWriter& a) {
             ActionWriter inner;
             inner.push({"v"}).op(Op::GetVariable).op(Op::Return);
             ActionWriter outer;
             outer.push({"v", "local"}).op(Op::DefineLocal);
             outer.push({"g"}).defineFunction("", {}, inner).op(Op::DefineLocal);
             outer.push({"g"}).op(Op::GetVariable).op(Op::Return);
             a.push({"v", "timeline"}).op(Op::SetVariable);
             a.defineFunction("outer", {}, outer);
             a.push({"h", 0, "outer"}).op(Op::CallFunction).op(Op::SetVariable);
             a.push({0, "h"}).op(Op::CallFunction).op(Op::Trace);
         },
         "timeline"},
        {"assigning this replaces the activation's", 6,
         [](ActionWriter& a) {
             a.push({"this", "replaced"}).op(Op::SetVariable);
             a.push({"this"}).op(Op::GetVariable).op(Op::Trace);
         },
         "replaced"},
        {"a variable named _global hides it", 6,
         [](ActionWriter& a) {
             a.push({"_global"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
             a.push({"_global", "shadow"}).op(Op::SetVariable);
             a.push({"_global"}).op(Op::GetVariable).op(Op::Trace);
         },
         "object\nshadow"},
        {"a function found on a with object runs on it", 6,
         [](ActionWriter& a) {
             ActionWriter method;
             method.push({"this"}).op(Op::GetVariable).push({"tag"}).op(Op::GetMember);
             method.op(Op::Trace);
             a.push({"o", "tag", "on o", "m"}).defineFunction("", {}, method);
             a.push({2}).op(Op::InitObject).op(Op::SetVariable);
             ActionWriter body;
             body.push({0, "m"}).op(Op::CallFunction).op(Op::Pop);
             a.push({"o"}).op(Op::GetVariable).with(body);
         },
         "on o"},
        {"a function reached through a path runs on its owner", 6,
         [](ActionWriter& a) {
             ActionWriter method;
             method.push({"this"}).op(Op::GetVariable).push({"tag"}).op(Op::GetMember);
             method.op(Op::Trace);
             a.push({"o", "tag", "owner", "m"}).defineFunction("", {}, method);
             a.push({2}).op(Op::InitObject).op(Op::SetVariable);
             a.push({0, "o.m"}).op(Op::CallFunction).op(Op::Pop);
         },
         "owner"},
        {"native constructors have their own constructor", 6,
         [](ActionWriter& a) {
             a.push({"constructor", 1, "Number"}).op(Op::GetVariable);
             a.push({"hasOwnProperty"}).op(Op::CallMethod).op(Op::Trace);
         },
         "true"},
        {"clips are never numbers, whatever valueOf says", 6,
         [](ActionWriter& a) {
             ActionWriter five;
             five.push({5}).op(Op::Return);
             a.push({"Object"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
             a.push({"valueOf"}).defineFunction("", {}, five).op(Op::SetMember);
             a.push({"_root"}).op(Op::GetVariable).push({7}).op(Op::Less2).op(Op::Trace);
             a.push({0}).op(Op::InitObject).push({7}).op(Op::Less2).op(Op::Trace);
         },
         "undefined\ntrue"},
        {"a zero shift leaves the operand signed", 8,
         [](ActionWriter& a) {
             a.push({4294967295.0, 0}).op(Op::BitURShift).op(Op::Trace);
             a.push({-3, 1}).op(Op::BitURShift).op(Op::Trace);
             a.push({3, 32}).op(Op::BitURShift).op(Op::Trace);
         },
         "-1\n2147483646\n3"},
    });
}

void InterpreterTest::gotoFrameStopsTheTimeline()
{
    ActionWriter first;
    first.push({"first"}).op(Op::Trace).gotoFrame(1);
    ActionWriter second;
    second.push({"second"}).op(Op::Trace);
    const std::vector<ActionWriter> frames{first, second};
    const auto lines = scriptrun::traces(scriptMovie(6, frames), {4, 15});
    QCOMPARE(QString::fromStdString(joined(lines)), QStringLiteral("first\nsecond"));
}

void InterpreterTest::runawayScriptsStop()
{
    ActionWriter a;
    auto top = a.label();
    a.bind(top).jump(top);
    scriptrun::Options options;
    options.timeBudgetSeconds = 0.2;
    ActionWriter next;
    next.push({"next frame runs"}).op(Op::Trace);
    const std::vector<ActionWriter> frames{a, next};
    const auto lines = scriptrun::traces(scriptMovie(6, frames), {2, 0.2});
    QCOMPARE(QString::fromStdString(joined(lines)), QStringLiteral("next frame runs"));
}

QTEST_GUILESS_MAIN(InterpreterTest)
#include "InterpreterTest.moc"
