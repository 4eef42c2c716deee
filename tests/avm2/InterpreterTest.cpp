// The interpreter on byte code assembled here: each case is a script whose trace
// output, or whose uncaught error as the machine prints it, is the expected answer.
#include "AbcWriter.h"
#include "avm2/vm/Vm.h"

#include <QtTest>

using swfwriter::AbcWriter;
namespace abc = swfwriter::abc;
using abc::Op;

namespace {

constexpr std::uint8_t kNewFunction = 0x40;
constexpr std::uint8_t kHasNext2 = 0x32;
constexpr std::uint8_t kNextName = 0x1E;
constexpr std::uint8_t kSwap = 0x2B;

struct Run {
    QStringList lines;
    bool loaded = false;
};

// Runs `init` as a script's initializer (its entry point), with `traits` on the global.
Run run(AbcWriter& w, const abc::Code& init, std::vector<abc::TraitInfo> traits = {},
        std::vector<abc::ExceptionInfo> exceptions = {}, double timeoutSeconds = 0)
{
    abc::MethodBody body;
    body.method = w.method({});
    body.maxStack = 16;
    body.localCount = 8;
    body.code = init.bytes();
    body.exceptions = std::move(exceptions);
    w.body(body);
    w.script(body.method, traits);
    Run result;
    avm2::Vm::Host host;
    // An uncaught error's stack trace comes as lines of its own.
    host.trace = [&](std::string_view line) {
        result.lines << QString::fromUtf8(line.data(), qsizetype(line.size())).split('\n');
    };
    avm2::Vm vm(std::move(host));
    if (timeoutSeconds > 0)
        vm.setTimeout(timeoutSeconds);
    vm.startBudget();
    std::string error;
    result.loaded = vm.loadAbc(w.bytes(), false, &error);
    return result;
}

// trace(<what `push` leaves on the stack>).
void trace(AbcWriter& w, abc::Code& code, const std::function<void(abc::Code&)>& push)
{
    code.op(Op::FindPropStrict, w.publicName("trace"));
    push(code);
    code.op(Op::CallPropVoid, w.publicName("trace"), 1);
}

abc::Code entry()
{
    abc::Code code;
    code.op(Op::GetLocal0).op(Op::PushScope);
    return code;
}

} // namespace

class InterpreterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void arithmeticFollowsTheNumberTypes()
    {
        AbcWriter w;
        abc::Code code = entry();
        // int overflow becomes a Number; add_i wraps; division is Number's.
        trace(w, code, [&](abc::Code& c) {
            c.op(Op::PushInt, w.integer(2147483647)).pushByte(1).op(Op::Add);
        });
        trace(w, code, [&](abc::Code& c) {
            c.op(Op::PushInt, w.integer(2147483647)).pushByte(1).op(Op::AddI);
        });
        trace(w, code, [&](abc::Code& c) { c.pushByte(7).pushByte(2).op(0xA3); });
        trace(w, code,
              [&](abc::Code& c) { c.op(Op::PushString, w.string("a")).pushByte(1).op(Op::Add); });
        trace(w, code, [&](abc::Code& c) {
            c.op(Op::PushDouble, w.number(0.1)).op(Op::PushDouble, w.number(0.2)).op(Op::Add);
        });
        // pushbyte sign-extends; urshift of -1 is uint's largest.
        trace(w, code, [&](abc::Code& c) { c.pushByte(-1).pushByte(0).op(0xA7); });
        trace(w, code,
              [&](abc::Code& c) { c.op(Op::PushString, w.string("12")).pushByte(3).op(0xA2); });
        code.op(Op::ReturnVoid);
        const Run r = run(w, code);
        QCOMPARE(r.lines, QStringList({"2147483648", "-2147483648", "3.5", "a1",
                                       "0.30000000000000004", "4294967295", "36"}));
    }

    void handlersCatchThrownValuesAndErrorsOfTheMachine()
    {
        AbcWriter w;
        abc::Code code = entry();
        const auto from = static_cast<std::uint32_t>(code.size());
        code.op(Op::PushNull).op(Op::GetProperty, w.publicName("x")); // TypeError #1009
        code.op(Op::Pop);
        const auto to = static_cast<std::uint32_t>(code.size());
        code.op(Op::ReturnVoid);
        const auto target = static_cast<std::uint32_t>(code.size());
        // The handler starts with the error alone on the stack and no scopes.
        code.op(Op::GetLocal0).op(Op::PushScope);
        code.op(Op::FindPropStrict, w.publicName("trace")).op(kSwap);
        code.op(Op::CallPropVoid, w.publicName("trace"), 1);
        code.op(Op::ReturnVoid);
        const Run r =
            run(w, code, {}, {abc::ExceptionInfo{from, to, target, w.publicName("TypeError"), 0}});
        QCOMPARE(r.lines, QStringList({"TypeError: Error #1009: Cannot access a property or method "
                                       "of a null object reference."}));
    }

    void aHandlerOfAnotherTypeLetsTheErrorThrough()
    {
        AbcWriter w;
        abc::Code code = entry();
        const auto from = static_cast<std::uint32_t>(code.size());
        code.op(Op::PushString, w.string("thrown")).op(Op::Throw);
        const auto to = static_cast<std::uint32_t>(code.size());
        const auto target = static_cast<std::uint32_t>(code.size());
        code.op(Op::Pop).op(Op::ReturnVoid);
        const Run r =
            run(w, code, {}, {abc::ExceptionInfo{from, to, target, w.publicName("RangeError"), 0}});
        // Uncaught, the value prints as itself, with the calls where it was thrown.
        QCOMPARE(r.lines, QStringList({"thrown", "\tat global$init()"}));
    }

    void closuresAreCalledWithTheirArguments()
    {
        AbcWriter w;
        abc::Code body;
        body.op(Op::GetLocal1).pushByte(1).op(Op::Add).op(Op::ReturnValue);
        const std::uint32_t addOne = w.function({.paramTypes = {0}}, body, 4, 2);
        abc::Code code = entry();
        trace(w, code, [&](abc::Code& c) {
            c.op(kNewFunction).u30(addOne).op(Op::PushNull).pushByte(41).op(Op::Call, 1);
        });
        code.op(Op::ReturnVoid);
        QCOMPARE(run(w, code).lines, QStringList({"42"}));
    }

    void typedParametersBindTheArgumentCount()
    {
        AbcWriter w;
        abc::Code body;
        body.op(Op::ReturnVoid);
        const std::uint32_t typed = w.function({.paramTypes = {w.publicName("int")}}, body, 2, 2);
        abc::Code code = entry();
        code.op(kNewFunction).u30(typed).op(Op::PushNull).op(Op::Call, 0).op(Op::Pop);
        code.op(Op::ReturnVoid);
        QCOMPARE(run(w, code).lines,
                 QStringList({"ArgumentError: Error #1063: Argument count mismatch on "
                              "Function/<anonymous>(). Expected 1, got 0.",
                              "\tat global$init()"}));
    }

    void runawayRecursionEndsInStackOverflow()
    {
        AbcWriter w;
        const std::uint32_t fName = w.publicName("f");
        abc::Code body;
        body.op(Op::FindPropStrict, fName).op(Op::CallProperty, fName, 0).op(Op::ReturnValue);
        const std::uint32_t f = w.function({}, body, 4, 1);
        abc::Code code = entry();
        code.op(Op::FindPropStrict, fName).op(Op::CallPropVoid, fName, 0).op(Op::ReturnVoid);
        const Run r = run(
            w, code,
            {abc::TraitInfo{.name = fName, .kind = abc::TraitKind::Function, .id = 1, .index = f}});
        // The trace names the innermost calls only.
        QCOMPARE(r.lines.size(), 65);
        QCOMPARE(r.lines[0], QString("Error: Error #1023: Stack overflow occurred."));
        QCOMPARE(r.lines[1], QString("\tat f()"));
    }

    void anEndlessLoopEndsAtTheTimeLimitAndCannotBeCaught()
    {
        AbcWriter w;
        abc::Code code = entry();
        const auto from = static_cast<std::uint32_t>(code.size());
        const auto loop = code.label();
        code.bind(loop).branch(Op::Jump, loop);
        const auto to = static_cast<std::uint32_t>(code.size());
        const auto target = static_cast<std::uint32_t>(code.size());
        code.op(Op::Pop);
        trace(w, code, [&](abc::Code& c) { c.op(Op::PushString, w.string("caught")); });
        code.op(Op::ReturnVoid);
        const Run r = run(w, code, {}, {abc::ExceptionInfo{from, to, target, 0, 0}}, 0.05);
        QCOMPARE(r.lines.size(), 2);
        QVERIFY2(r.lines[0].startsWith("Error: Error #1502:"), qPrintable(r.lines[0]));
    }

    void branchesIntoAnInstructionAreRefused()
    {
        AbcWriter w;
        abc::Code code = entry();
        // iftrue +1: into the middle of the pushbyte that follows, which the other path
        // reaches too.
        code.op(Op::PushTrue).op(Op::IfTrue).u8(1).u8(0).u8(0);
        code.pushByte(5).op(Op::Pop).op(Op::ReturnVoid);
        QCOMPARE(run(w, code).lines,
                 QStringList({"VerifyError: Error #1021: At least one branch target was not on a "
                              "valid instruction in the method.",
                              "\tat global$init()"}));
    }

    void poolIndexesPastTheTablesAreRefused()
    {
        AbcWriter w;
        abc::Code code = entry();
        code.op(Op::PushString, 999).op(Op::Pop).op(Op::ReturnVoid);
        const QStringList lines = run(w, code).lines;
        QVERIFY2(!lines.isEmpty() && lines[0].startsWith("VerifyError: Error #1032:"),
                 qPrintable(lines.join('|')));
    }

    void lookupSwitchTakesTheCaseOrTheDefault()
    {
        AbcWriter w;
        abc::Code code = entry();
        for (int value : {1, 7}) {
            const auto done = code.label();
            const auto fallback = code.label();
            const auto zero = code.label();
            const auto one = code.label();
            code.pushByte(static_cast<std::int8_t>(value)).lookupSwitch(fallback, {zero, one});
            code.bind(zero);
            trace(w, code, [&](abc::Code& c) { c.op(Op::PushString, w.string("zero")); });
            code.branch(Op::Jump, done).bind(one);
            trace(w, code, [&](abc::Code& c) { c.op(Op::PushString, w.string("one")); });
            code.branch(Op::Jump, done).bind(fallback);
            trace(w, code, [&](abc::Code& c) { c.op(Op::PushString, w.string("other")); });
            code.bind(done);
        }
        code.op(Op::ReturnVoid);
        QCOMPARE(run(w, code).lines, QStringList({"one", "other"}));
    }

    void hasNext2WalksDynamicPropertiesInOrder()
    {
        AbcWriter w;
        abc::Code code = entry();
        code.op(Op::PushString, w.string("b"))
            .pushByte(1)
            .op(Op::PushString, w.string("a"))
            .pushByte(2);
        code.op(Op::NewObject, 2).op(Op::SetLocal1).pushByte(0).op(Op::SetLocal, 2);
        const auto top = code.label();
        const auto end = code.label();
        code.bind(top).op(kHasNext2).u30(1).u30(2).branch(Op::IfFalse, end);
        trace(w, code,
              [&](abc::Code& c) { c.op(Op::GetLocal1).op(Op::GetLocal, 2).op(kNextName); });
        code.branch(Op::Jump, top).bind(end).op(Op::ReturnVoid);
        QCOMPARE(run(w, code).lines, QStringList({"b", "a"}));
    }

    void sealedObjectsRefuseUnknownNames()
    {
        AbcWriter w;
        abc::Code code = entry();
        code.op(Op::GetLex, w.publicName("Math"))
            .pushByte(1)
            .op(Op::SetProperty, w.publicName("nothing"));
        code.op(Op::ReturnVoid);
        AbcWriter w2;
        abc::Code read = entry();
        read.op(Op::PushString, w2.string("s"))
            .op(Op::GetProperty, w2.publicName("nothing"))
            .op(Op::Pop)
            .op(Op::ReturnVoid);
        // Class objects are dynamic; strings are sealed.
        QCOMPARE(run(w, code).lines, QStringList());
        QCOMPARE(run(w2, read).lines,
                 QStringList({"ReferenceError: Error #1069: Property nothing not found on String "
                              "and there is no default value.",
                              "\tat global$init()"}));
    }
};

QTEST_GUILESS_MAIN(InterpreterTest)
#include "InterpreterTest.moc"
