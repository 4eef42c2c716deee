// Vector.<T>: Haxe programs compiled at build time run in an in-process machine (one
// of them also under `haxe --interp`, and both must print the same), and assembled
// byte code for what no compiler emits: type application on the wrong class or with
// the wrong count, and coercions between vector types named by TypeName multinames.
#include "AbcWriter.h"
#include "avm2/vm/Vm.h"
#include "format/Movie.h"

#include <QtTest>
#include <fstream>
#include <iterator>

using namespace swfwriter;

namespace {

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Machine {
    QStringList lines;
    std::unique_ptr<avm2::Vm> vm;

    explicit Machine(int swfVersion = 11)
    {
        avm2::Vm::Host host;
        host.trace = [this](std::string_view line) {
            lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        };
        host.milliseconds = [] { return 0.0; };
        vm = std::make_unique<avm2::Vm>(std::move(host), swfVersion);
    }
};

// A bare dynamic class where the machine has none of the name yet.
avm2::ClassObject* standInFor(avm2::Vm& vm, std::string_view package, std::string_view name)
{
    const std::u16string qualified = avm2::utf16(
        package.empty() ? std::string(name) : std::string(package) + "::" + std::string(name));
    const avm2::Value existing = vm.getDefinitionByName(qualified);
    if (existing.isObject() && existing.asObject()->kind() == avm2::ObjectKind::Class)
        return static_cast<avm2::ClassObject*>(existing.asObject());
    return vm.defineClass(package, name, vm.builtins().object, true);
}

// A compiled program's trace: its blocks loaded as the player loads them, then its
// main class looked up, which runs that class's script and so the program (the
// document class is not constructed: Haxe's boot class would wait for a stage).
QStringList runHaxeMovie(const std::string& name)
{
    Machine m;
    avm2::Vm& vm = *m.vm;
    // Haxe's start-up code patches Date's prototype; a bare dynamic class stands in
    // until the machine has its own.
    standInFor(vm, "", "Date")->ownClassTraits->sealed = false;
    const auto bytes = readFile(std::string(HAXE_MOVIES_DIR) + "/" + name + ".swf");
    const auto movie = swf::loadMovie(bytes);
    if (!movie)
        return {"movie not read"};
    for (const swf::Frame& frame : (*movie)->timeline.frames)
        for (const swf::ControlTag& tag : frame.tags) {
            if (const auto* abc = std::get_if<swf::DoAbc>(&tag)) {
                std::string error;
                if (!vm.loadAbc(abc->abc, (abc->flags & 1) != 0, &error))
                    return {QString::fromStdString("block refused: " + error)};
            }
        }
    vm.getDefinitionByName(avm2::utf16(name));
    if (vm.throwing())
        vm.printUncaught(vm.takeException());
    return m.lines;
}

QStringList readLines(const std::string& path)
{
    std::ifstream in(path);
    QStringList lines;
    std::string line;
    while (std::getline(in, line))
        lines << QString::fromStdString(line);
    return lines;
}

// The first line that differs, or nothing.
QString firstDifference(const QStringList& got, const QStringList& expected)
{
    for (qsizetype i = 0; i < std::max(got.size(), expected.size()); ++i) {
        const QString a = i < got.size() ? got[i] : "<none>";
        const QString b = i < expected.size() ? expected[i] : "<none>";
        if (a != b)
            return QString("line %1: got '%2', expected '%3'").arg(i + 1).arg(a, b);
    }
    return {};
}

// A script whose initializer runs `body` (after pushing its scope) and returns.
QStringList runScript(AbcWriter& w, abc::Code& body, int swfVersion = 11)
{
    body.op(abc::Op::ReturnVoid);
    const std::uint32_t init = w.function({.name = ""}, body, 8, 5);
    w.script(init, {});
    Machine m(swfVersion);
    std::string error;
    if (!m.vm->loadAbc(w.bytes(), false, &error))
        return {QString::fromStdString("block refused: " + error)};
    return m.lines;
}

constexpr std::uint8_t kConstruct = 0x42;
constexpr std::uint8_t kApplyType = 0x53;

struct Names {
    std::uint32_t vector, intType, number, string, object, trace;
    explicit Names(AbcWriter& w)
        : vector(w.publicName("Vector", "__AS3__.vec")), intType(w.publicName("int")),
          number(w.publicName("Number")), string(w.publicName("String")),
          object(w.publicName("Object")), trace(w.publicName("trace"))
    {}
};

} // namespace

class VectorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void agreesWithTheInterpreter();
    void methodsAndErrors();
    void applicationErrors();
    void classesAreCachedAndNamed();
    void typeNamesCoerce();
    void concatOrderFollowsTheVersion();
};

void VectorTest::agreesWithTheInterpreter()
{
    const QStringList flash = runHaxeMovie("VectorShared");
    const QStringList interp = readLines(std::string(HAXE_MOVIES_DIR) + "/VectorShared.expected");
    QVERIFY(interp.size() > 5);
    const QString problem = firstDifference(flash, interp);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void VectorTest::methodsAndErrors()
{
    const QStringList got = runHaxeMovie("VectorMethods");
    const QStringList expected = {
        "push 1 2 3 -> 3,1,2",
        "unshift 7,3,1,2 length 4",
        "pop 2 shift 7 -> 3,1",
        "reverse 1,3",
        "sort 1,3",
        "indexOf 1 -1 -1",
        "lastIndexOf 0 -1",
        "concat 1,3,10,20 original 1,3",
        "slice 3 3 1",
        "splice 3,10 leaves 1,20",
        "join 1 and 20",
        "insertAt 1,5,3",
        "removeAt 1 -> 5,3",
        "empty pop 0 shift 0",
        "empty Number pop NaN",
        "empty String pop null",
        "Number defaults NaN,NaN,NaN",
        "int conversion 12,7",
        "String defaults null,null",
        "fixed push threw RangeError: Error #1126: Cannot change the length of a fixed Vector.",
        "fixed length threw RangeError: Error #1126: Cannot change the length of a fixed Vector.",
        "fixed write at length threw RangeError: Error #1125: The index 2 is out of range 2.",
        "unfixed write at length 0,0,4 fixed false",
        "read past the end threw RangeError: Error #1125: The index 3 is out of range 3.",
        "write past the end threw RangeError: Error #1125: The index 9 is out of range 3.",
        "shortened 0",
        "points P1,P2",
        "wrong class threw TypeError 1034",
        "subclass vector concat P1,P2,P3",
        "int vector into Number threw TypeError 1034",
        "null callback true false [] [0]",
        "callbacks true true [4] [0]",
        "no callback threw ArgumentError 1063",
        "converted 1.5,2.25 __AS3__.vec::Vector.<Number>",
        "converted wrong class threw TypeError 1034",
        "sort options 4,3,2,1 indexed 4,3,2,1 unique 2,1,2",
        "negative splice count 3,2 leaves 4,1",
        "indexOf another class -1",
        "for each 1,20",
        "for in 0,1",
        "class __AS3__.vec::Vector.<int>",
        "class __AS3__.vec::Vector.<Point>",
        "by name true",
    };
    const QString problem = firstDifference(got, expected);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void VectorTest::applicationErrors()
{
    {
        AbcWriter w;
        Names n(w);
        abc::Code c;
        c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
        c.op(abc::Op::GetLex, n.object).op(abc::Op::GetLex, n.intType);
        c.op(kApplyType).u30(1).op(abc::Op::Pop);
        const QStringList lines = runScript(w, c);
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines[0].startsWith("TypeError: Error #1127: Type application attempted on a "
                                     "non-parameterized type."),
                 qPrintable(lines[0]));
    }
    {
        AbcWriter w;
        Names n(w);
        abc::Code c;
        c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
        c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.intType);
        c.op(abc::Op::GetLex, n.string).op(kApplyType).u30(2).op(abc::Op::Pop);
        const QStringList lines = runScript(w, c);
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines[0].startsWith("TypeError: Error #1128: Incorrect number of type "
                                     "parameters for __AS3__.vec::Vector. Expected 1, got 2."),
                 qPrintable(lines[0]));
    }
}

void VectorTest::classesAreCachedAndNamed()
{
    AbcWriter w;
    Names n(w);
    abc::Code c;
    c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
    // Vector.<String> applied twice is one class; Vector.<*> (a null parameter) is named so.
    c.op(abc::Op::FindPropStrict, n.trace);
    c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.string).op(kApplyType).u30(1);
    c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.string).op(kApplyType).u30(1);
    c.op(0xAB); // equals
    c.op(abc::Op::CallPropVoid, n.trace, 1);
    c.op(abc::Op::FindPropStrict, n.trace);
    c.op(abc::Op::GetLex, n.vector).op(abc::Op::PushNull).op(kApplyType).u30(1);
    c.op(kConstruct).u30(0);
    c.op(abc::Op::CallPropVoid, n.trace, 1);
    c.op(abc::Op::FindPropStrict, n.trace);
    c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.string).op(kApplyType).u30(1);
    c.op(abc::Op::CallPropVoid, n.trace, 1);
    const QStringList lines = runScript(w, c);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QString("true"));
    QCOMPARE(lines[1], QString(""));
    QCOMPARE(lines[2], QString("[class Vector.<String>]"));
}

void VectorTest::typeNamesCoerce()
{
    AbcWriter w;
    Names n(w);
    const std::uint32_t ofInt = w.typeName(n.vector, {n.intType});
    const std::uint32_t ofNumber = w.typeName(n.vector, {n.number});
    abc::Code c;
    c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
    c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.intType).op(kApplyType).u30(1);
    c.pushByte(3).op(kConstruct).u30(1).op(abc::Op::SetLocal1);
    // The same type passes; Vector.<int> is no Vector.<Number>.
    c.op(abc::Op::FindPropStrict, n.trace).op(abc::Op::GetLocal1).op(abc::Op::Coerce, ofInt);
    c.op(abc::Op::CallPropVoid, n.trace, 1);
    c.op(abc::Op::GetLocal1).op(abc::Op::Coerce, ofNumber).op(abc::Op::Pop);
    const QStringList lines = runScript(w, c);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString("0,0,0"));
    QVERIFY2(lines[1].startsWith("TypeError: Error #1034: Type Coercion failed: cannot convert "
                                 "__AS3__.vec::Vector.<int>@"),
             qPrintable(lines[1]));
    QVERIFY2(lines[1].contains(" to __AS3__.vec.Vector.<Number>."), qPrintable(lines[1]));
}

void VectorTest::concatOrderFollowsTheVersion()
{
    // [1].concat([2], [3]): movies before version 11 saw the arguments last to first.
    for (const int version : {10, 11}) {
        AbcWriter w;
        Names n(w);
        const std::uint32_t push = w.publicName("push");
        const std::uint32_t concat = w.publicName("concat");
        abc::Code c;
        c.op(abc::Op::GetLocal0).op(abc::Op::PushScope);
        for (std::uint8_t reg = 1; reg <= 3; ++reg) {
            c.op(abc::Op::GetLex, n.vector).op(abc::Op::GetLex, n.intType).op(kApplyType).u30(1);
            c.op(kConstruct).u30(0).op(abc::Op::Dup).pushByte(static_cast<std::int8_t>(reg));
            c.op(abc::Op::CallPropVoid, push, 1).op(abc::Op::SetLocal, reg);
        }
        c.op(abc::Op::FindPropStrict, n.trace).op(abc::Op::GetLocal1);
        c.op(abc::Op::GetLocal, 2).op(abc::Op::GetLocal, 3).op(abc::Op::CallProperty, concat, 2);
        c.op(abc::Op::CallPropVoid, n.trace, 1);
        const QStringList lines = runScript(w, c, version);
        QCOMPARE(lines, QStringList{version < 11 ? "1,3,2" : "1,2,3"});
    }
}

QTEST_GUILESS_MAIN(VectorTest)
#include "VectorTest.moc"
