// Rules of the language as the reference applies them where the obvious reading
// differs: SWF 4 code's comparisons, super called by name and in plain functions, names
// of the main timeline and levels from SWF 7, __proto__ holding any value, subclasses of
// the wrapper classes, primitives wrapped by the String class of the moment, classes
// registered per realm, and loadVariables.
#include "ScriptCases.h"
#include "avm1/Vm.h"
#include "avm1/builtins/ClassRegistry.h"
#include "swfwriter/ButtonWriter.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;
using scriptrun::run;
using scriptrun::runCases;

namespace {

// name = function(params) { body } with a plain DefineFunction.
void defineVariable(ActionWriter& a, const std::string& name,
                    const std::vector<std::string>& params, const ActionWriter& body)
{
    a.push({name});
    a.defineFunction("", params, body);
    a.op(Op::SetVariable);
}

// `subclass` extends `superclass`, both variables.
void extend(ActionWriter& a, const std::string& subclass, const std::string& superclass)
{
    a.push({subclass}).op(Op::GetVariable).push({superclass}).op(Op::GetVariable);
    a.op(Op::Extends);
}

void traceText(ActionWriter& a, const char* text)
{
    a.push({text}).op(Op::Trace);
}

// A variable `name` holding an object whose valueOf and toString trace their call and
// give `primitive`.
void defineNoisyObject(ActionWriter& a, const std::string& name, PushValue primitive)
{
    a.push({name});
    for (const char* method : {"valueOf", "toString"}) {
        ActionWriter body;
        body.push({name + "." + method}).op(Op::Trace);
        body.push({primitive}).op(Op::Return);
        a.push({method});
        a.defineFunction("", {}, body);
    }
    a.push({2}).op(Op::InitObject).op(Op::SetVariable);
}

void pushVariables(ActionWriter& a, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        a.push({name}).op(Op::GetVariable);
}

} // namespace

class LanguageRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void swf4Comparisons();
    void superInPlainFunctions();
    void rootAndLevelNames();
    void prototypeValues();
    void wrapperSubclassesAndWrapping();
    void classesAreRegisteredPerRealm();
    void loadVariablesSetsTheTargetsVariables();
    void versionsOfClipMembers();
    void swf4ActionsByVersion_data();
    void swf4ActionsByVersion();
    void swf4ActionsReadTheirOperandsInOrder();
    void interfacesAreDeclaredOnceByPrototype();
    void buttonsAreNoObjectsToSwf5Code_data();
    void buttonsAreNoObjectsToSwf5Code();
};

// SWF 4 had no Boolean: its code's comparisons push 1 and 0, even with the later
// actions, while a function body (functions came with SWF 5) keeps SWF 5's rules.
void LanguageRulesTest::swf4Comparisons()
{
    runCases({
        {"Equals2 and Less2 in SWF 4 code", 4,
         [](ActionWriter& a) {
             a.push({1, 1}).op(Op::Equals2).op(Op::Trace);
             a.push({2, 1}).op(Op::Less2).op(Op::Trace);
         },
         "1\n0"},
        {"a function body of a SWF 4 movie", 4,
         [](ActionWriter& a) {
             ActionWriter body;
             body.push({1, 1}).op(Op::Equals2).op(Op::Trace);
             body.push({"x", 4, 0}).op(Op::Divide).op(Op::Add2).op(Op::Trace);
             a.defineFunction("f", {}, body);
             a.push({0, "f"}).op(Op::CallFunction).op(Op::Pop);
         },
         "true\nxInfinity"},
    });
}

void LanguageRulesTest::superInPlainFunctions()
{
    runCases({
        {"super() by name runs each superclass constructor once", 6,
         [](ActionWriter& a) {
             ActionWriter base;
             traceText(base, "base");
             ActionWriter middle;
             middle.push({0, "super"}).op(Op::CallFunction).op(Op::Pop);
             traceText(middle, "middle");
             ActionWriter leaf;
             leaf.push({0, "super"}).op(Op::CallFunction).op(Op::Pop);
             traceText(leaf, "leaf");
             defineVariable(a, "Base", {}, base);
             defineVariable(a, "Middle", {}, middle);
             defineVariable(a, "Leaf", {}, leaf);
             extend(a, "Middle", "Base");
             extend(a, "Leaf", "Middle");
             a.push({"o", 0, "Leaf"}).op(Op::NewObject).op(Op::SetVariable);
         },
         "base\nmiddle\nleaf"},
        {"super.m() in plain functions climbs one class at a time", 6,
         [](ActionWriter& a) {
             ActionWriter base;
             defineVariable(a, "A", {}, base);
             defineVariable(a, "B", {}, base);
             defineVariable(a, "C", {}, base);
             extend(a, "B", "A");
             extend(a, "C", "B");
             for (const char* cls : {"A", "B", "C"}) {
                 ActionWriter method;
                 if (std::string(cls) != "A")
                     method.push({0, "super"})
                         .op(Op::GetVariable)
                         .push({"m"})
                         .op(Op::CallMethod)
                         .op(Op::Pop);
                 traceText(method, cls);
                 a.push({cls}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
                 a.push({"m"}).defineFunction("", {}, method).op(Op::SetMember);
             }
             a.push({0, 0, "C"}).op(Op::NewObject).push({"m"}).op(Op::CallMethod).op(Op::Pop);
         },
         "A\nB\nC"},
    });
}

// From SWF 7 "_root" and "_levelN" are names like any other, exact in case; the
// display properties stay free of case.
void LanguageRulesTest::rootAndLevelNames()
{
    auto names = [](ActionWriter& a) {
        for (const char* name : {"_ROOT", "_LEVEL0", "_root"})
            a.push({name}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
        a.push({"_root"}).op(Op::GetVariable).push({"_X"}).op(Op::GetMember).op(Op::Trace);
    };
    runCases({
        {"SWF 7", 7, names, "undefined\nundefined\nmovieclip\n0"},
        {"SWF 6", 6, names, "movieclip\nmovieclip\nmovieclip\n0"},
    });
}

void LanguageRulesTest::prototypeValues()
{
    runCases({
        {"__proto__ keeps a primitive given to it", 6,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__", 123}).op(Op::SetMember);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__"}).op(Op::GetMember);
             a.op(Op::PushDuplicate).op(Op::Trace).op(Op::TypeOf).op(Op::Trace);
             a.push({"o"}).op(Op::GetVariable).push({"toString"}).op(Op::GetMember);
             a.op(Op::TypeOf).op(Op::Trace);
         },
         "123\nnumber\nundefined"},
        {"an object without __proto__ gets one back by assignment", 6,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__"}).op(Op::Delete).op(Op::Pop);
             a.push({"o"}).op(Op::GetVariable).push({"__proto__", "x", "inherited", 1});
             a.op(Op::InitObject).op(Op::SetMember);
             a.push({"o"}).op(Op::GetVariable).push({"x"}).op(Op::GetMember).op(Op::Trace);
         },
         "inherited"},
        {"a primitive prototype becomes the instance's __proto__", 6,
         [](ActionWriter& a) {
             defineVariable(a, "F", {}, ActionWriter());
             a.push({"F"}).op(Op::GetVariable).push({"prototype", true}).op(Op::SetMember);
             a.push({0, "F"}).op(Op::NewObject).push({"__proto__"}).op(Op::GetMember);
             a.op(Op::TypeOf).op(Op::Trace);
         },
         "boolean"},
    });
}

void LanguageRulesTest::wrapperSubclassesAndWrapping()
{
    runCases({
        {"super(value) in a subclass of Number gives the instance its number", 6,
         [](ActionWriter& a) {
             ActionWriter ctor;
             ctor.push({"v"}).op(Op::GetVariable).push({1, "super"}).op(Op::CallFunction);
             ctor.op(Op::Pop);
             defineVariable(a, "MyNumber", {"v"}, ctor);
             extend(a, "MyNumber", "Number");
             a.push({"n", 42, 1, "MyNumber"}).op(Op::NewObject).op(Op::SetVariable);
             a.push({"n"}).op(Op::GetVariable).push({1}).op(Op::Add2).op(Op::Trace);
         },
         "43"},
        {"a string's length and a call of a string wrap it with String as it is now", 6,
         [](ActionWriter& a) {
             ActionWriter ctor;
             ctor.push({"wrapped "}).push({"v"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
             a.push({"_global"}).op(Op::GetVariable).push({"String"});
             a.defineFunction("", {"v"}, ctor).op(Op::SetMember);
             a.push({"abc"}).push({"length"}).op(Op::GetMember).op(Op::Trace);
             a.push({0, "f", Undefined{}}).op(Op::CallMethod).op(Op::Pop);
         },
         "wrapped abc\n3\nwrapped f"},
    });
}

// Object.registerClass binds a symbol for the movies of the registering code's realm:
// a movie of the other kind (SWF 7 and later against the older) does not see it.
void LanguageRulesTest::classesAreRegisteredPerRealm()
{
    avm1::Vm vm(6);
    const avm1::Value ctor(
        vm.makeNative([](avm1::Vm&, const avm1::CallArgs&) { return avm1::Value(); }));
    const avm1::Value args[] = {vm.strValue("Symbol"), ctor};
    vm.callMethod(vm.getMember(vm.global(), vm.str("Object")), vm.str("registerClass"), args);
    QCOMPARE(avm1::classForSymbol(vm, avm1::Vm::realmOf(6), "SYMBOL"), ctor.asObject());
    QVERIFY(avm1::classForSymbol(vm, avm1::Vm::realmOf(8), "Symbol") == nullptr);
}

// loadVariablesNum("vars", 0): the file's pairs become the main timeline's variables
// once it arrives, after the step, and the clip hears its data event.
void LanguageRulesTest::loadVariablesSetsTheTargetsVariables()
{
    ActionWriter first;
    ActionWriter onData;
    traceText(onData, "data");
    first.push({"_root"}).op(Op::GetVariable).push({"onData"});
    first.defineFunction("", {}, onData).op(Op::SetMember);
    first.push({"vars", "_level0"}).getUrl2(0x80);
    first.push({"a"}).op(Op::GetVariable).op(Op::Trace);
    ActionWriter second;
    second.push({"a"}).op(Op::GetVariable).op(Op::Trace);
    second.push({"b"}).op(Op::GetVariable).op(Op::Trace);
    const std::vector<ActionWriter> frames{first, second};
    scriptrun::Options options;
    options.frames = 2;
    options.files = {{"vars", "a=1&b=two%20words"}};
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(scriptMovie(6, frames), options))),
             QStringLiteral("undefined\ndata\n1\ntwo words"));
}

// getDepth came with SWF 6; from SWF 7 a clip named NaN is named 0.
void LanguageRulesTest::versionsOfClipMembers()
{
    auto getDepthType = [](ActionWriter& a) {
        a.push({"_root"}).op(Op::GetVariable).push({"getDepth"}).op(Op::GetMember);
        a.op(Op::TypeOf).op(Op::Trace);
    };
    auto nameNaN = [](ActionWriter& a) {
        a.push({"", 13, 0}).push({0}).op(Op::Divide).op(Op::SetProperty);
        a.push({"", 13}).op(Op::GetProperty).op(Op::Trace);
    };
    // Object's hasOwnProperty, isPrototypeOf and isPropertyEnumerable came with it too.
    auto objectMethodTypes = [](ActionWriter& a) {
        for (const char* name : {"hasOwnProperty", "isPrototypeOf", "isPropertyEnumerable"}) {
            a.push({"_root"}).op(Op::GetVariable).push({name}).op(Op::GetMember);
            a.op(Op::TypeOf).op(Op::Trace);
        }
    };
    auto styleSheetType = [](ActionWriter& a) {
        a.push({"TextField"}).op(Op::GetVariable).push({"StyleSheet"}).op(Op::GetMember);
        a.op(Op::TypeOf).op(Op::Trace);
    };
    runCases({
        {"TextField.StyleSheet in SWF 6", 6, styleSheetType, "undefined"},
        {"TextField.StyleSheet in SWF 7", 7, styleSheetType, "function"},
        {"Object's methods in SWF 5", 5, objectMethodTypes, "undefined\nundefined\nundefined"},
        {"Object's methods in SWF 6", 6, objectMethodTypes, "function\nfunction\nfunction"},
        {"getDepth in SWF 5", 5, getDepthType, "undefined"},
        {"getDepth in SWF 6", 6, getDepthType, "function"},
        {"NaN as a name in SWF 6", 6, nameNaN, "NaN"},
        {"NaN as a name in SWF 7", 7, nameNaN, "0"},
    });
}

// The SWF 4 arithmetic, comparison and string actions: numbers as SWF 4 reads text
// (leading digits, else 0) in SWF 4 movies, as ECMAScript does from SWF 5, hex from
// SWF 6, undefined as NaN and "undefined" from SWF 7; results 1 and 0 in SWF 4.
void LanguageRulesTest::swf4ActionsByVersion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("operands"); // |-separated; "u" undefined, "n" null, "#x" a number
    QTest::addColumn<QString>("expected");
    auto row = [](const char* name, int version, Op op, const char* operands,
                  const char* expected) {
        QTest::newRow(name) << version << int(op) << operands << expected;
    };
    row("SWF 4 Add reads leading digits", 4, Op::Add, "3|abc", "3");
    row("SWF 4 Divide by zero", 4, Op::Divide, "#5|#0", "#ERROR#");
    row("SWF 4 Equals gives 1", 4, Op::Equals, "#0|#0", "1");
    row("SWF 4 Less gives 1", 4, Op::Less, "#-5|#0", "1");
    row("SWF 4 Not of text", 4, Op::Not, "", "1");
    row("SWF 4 StringLength counts bytes", 4, Op::StringLength, "\xC3\xA9", "2");
    row("SWF 4 ToInteger skips blanks", 4, Op::ToInteger, " 12 ", "12");
    row("SWF 4 AsciiToChar truncates", 4, Op::AsciiToChar, "#65.9", "A");
    row("SWF 4 CharToAscii of nothing", 4, Op::CharToAscii, "", "0");
    row("SWF 6 StringAdd of undefined", 6, Op::StringAdd, "u|#1", "1");
    row("SWF 5 Add of text is NaN", 5, Op::Add, "3|abc", "NaN");
    row("SWF 5 Divide by zero", 5, Op::Divide, "#5|#0", "Infinity");
    row("SWF 5 hex is no number", 5, Op::Add, "0x10|#1", "NaN");
    row("SWF 6 hex is a number", 6, Op::Add, "0x10|#1", "17");
    row("SWF 6 undefined is 0", 6, Op::Add, "u|#1", "1");
    row("SWF 7 undefined is NaN", 7, Op::Add, "u|#1", "NaN");
    row("SWF 7 null equals nothing", 7, Op::Equals, "n|n", "false");
    row("SWF 6 null equals null", 6, Op::Equals, "n|n", "true");
    row("SWF 7 And of texts", 7, Op::And, "3|abc", "true");
    row("SWF 6 And of texts reads numbers", 6, Op::And, "3|abc", "false");
    row("SWF 7 StringAdd of undefined", 7, Op::StringAdd, "u|#1", "undefined1");
    row("SWF 6 StringLength counts characters", 6, Op::StringLength, "\xC3\xA9", "1");
    row("SWF 6 ToInteger of hex", 6, Op::ToInteger, "0x1F", "31");
    row("SWF 7 Not of -0 text", 7, Op::Not, "-0", "false");
    row("SWF 6 Not of -0 text", 6, Op::Not, "-0", "true");
    row("Modulo keeps the dividend's sign", 7, Op::Modulo, "#-7|#2", "-1");
    row("Less2 with NaN is undefined", 7, Op::Less2, "u|#1", "undefined");
}

void LanguageRulesTest::swf4ActionsByVersion()
{
    QFETCH(int, version);
    QFETCH(int, op);
    QFETCH(QString, operands);
    QFETCH(QString, expected);
    ActionWriter a;
    for (const QString& part : operands.split('|')) {
        if (part == "u")
            a.push({Undefined{}});
        else if (part == "n")
            a.push({nullptr});
        else if (part.startsWith('#'))
            a.push({part.mid(1).toDouble()});
        else
            a.push({part.toStdString()});
    }
    a.op(Op(op)).op(Op::Trace);
    QCOMPARE(QString::fromStdString(joined(run(version, a))), expected);
}

// The SWF 4 actions that take objects convert them in the order the reference does:
// what is popped first is read first, paths as text, numbers through valueOf.
void LanguageRulesTest::swf4ActionsReadTheirOperandsInOrder()
{
    const auto objects = [](ActionWriter& a) {
        defineNoisyObject(a, "nowhere", "nowhere");
        defineNoisyObject(a, "one", 1);
        defineNoisyObject(a, "seven", 7);
        defineNoisyObject(a, "name", "n");
    };
    runCases({
        {"GetProperty reads the index, then a target that is no clip", 8,
         [&](ActionWriter& a) {
             objects(a);
             pushVariables(a, {"nowhere", "seven"});
             a.op(Op::GetProperty).op(Op::Trace);
         },
         "seven.valueOf\nnowhere.toString\nundefined"},
        {"SetProperty reads its value even when the target is not found", 8,
         [&](ActionWriter& a) {
             objects(a);
             pushVariables(a, {"nowhere", "one", "seven"});
             a.op(Op::SetProperty);
             pushVariables(a, {"nowhere"});
             a.push({13});
             pushVariables(a, {"name"});
             a.op(Op::SetProperty);
             pushVariables(a, {"nowhere"});
             a.push({15});
             pushVariables(a, {"name"});
             a.op(Op::SetProperty);
         },
         "one.valueOf\nnowhere.toString\nseven.valueOf\n"
         "nowhere.toString\nname.toString\nnowhere.toString"},
        {"SetProperty through an object sets the clip", 8,
         [&](ActionWriter& a) {
             objects(a);
             a.push({""});
             a.push({0});
             pushVariables(a, {"seven"});
             a.op(Op::SetProperty);
             a.push({"_x"}).op(Op::GetVariable).op(Op::Trace);
         },
         "seven.valueOf\n7"},
        {"GetURL2 reads its target before its url", 8,
         [&](ActionWriter& a) {
             objects(a);
             pushVariables(a, {"one", "nowhere"});
             a.getUrl2(0);
         },
         "nowhere.toString\none.toString"},
        {"StartDrag constrains only for 1", 8,
         [&](ActionWriter& a) {
             objects(a);
             pushVariables(a, {"one", "one", "one", "one", "seven", "one", "nowhere"});
             a.op(Op::StartDrag);
             traceText(a, "-");
             pushVariables(a, {"one", "one", "one", "seven", "one", "one", "nowhere"});
             a.op(Op::StartDrag);
         },
         "nowhere.toString\none.valueOf\nseven.valueOf\n-\n"
         "nowhere.toString\none.valueOf\none.valueOf\nseven.valueOf\none.valueOf\n"
         "one.valueOf\none.valueOf"},
        {"WaitForFrame of a loaded frame skips nothing", 8,
         [&](ActionWriter& a) {
             a.waitForFrame(0, 1);
             traceText(a, "loaded");
         },
         "loaded"},
        {"WaitForFrame2 reads its frame as text", 8,
         [&](ActionWriter& a) {
             objects(a);
             pushVariables(a, {"one"});
             a.waitForFrame2(1);
             traceText(a, "loaded");
         },
         "one.toString\nloaded"},
    });
}

// ImplementsOp keeps the interfaces' prototypes as they are then, once per class;
// instanceof reads the constructor's own prototype slot without running a getter.
void LanguageRulesTest::interfacesAreDeclaredOnceByPrototype()
{
    const auto classes = [](ActionWriter& a) {
        for (const char* name : {"C", "I", "J"}) {
            a.push({name});
            a.defineFunction("", {}, ActionWriter());
            a.op(Op::SetVariable);
        }
        a.push({"o", 0, "C"}).op(Op::NewObject).op(Op::SetVariable);
    };
    const auto implement = [](ActionWriter& a, const char* ctor, const char* iface) {
        pushVariables(a, {iface});
        a.push({1});
        pushVariables(a, {ctor});
        a.op(Op::ImplementsOp);
    };
    const auto traceInstanceOf = [](ActionWriter& a, const char* ctor) {
        pushVariables(a, {"o", ctor});
        a.op(Op::InstanceOf).op(Op::Trace);
    };
    runCases({
        {"a second declaration changes nothing", 8,
         [&](ActionWriter& a) {
             classes(a);
             implement(a, "C", "I");
             implement(a, "C", "J");
             traceInstanceOf(a, "I");
             traceInstanceOf(a, "J");
         },
         "true\nfalse"},
        {"an interface given its prototype later does not match", 8,
         [&](ActionWriter& a) {
             classes(a);
             a.push({"L", 0}).op(Op::InitObject).op(Op::SetVariable);
             implement(a, "C", "L");
             a.push({"L"}).op(Op::GetVariable).push({"prototype", 0}).op(Op::InitObject);
             a.op(Op::SetMember);
             traceInstanceOf(a, "L");
         },
         "false"},
        {"an object sharing the interface's prototype matches", 8,
         [&](ActionWriter& a) {
             classes(a);
             implement(a, "C", "I");
             a.push({"F", "prototype", "I"}).op(Op::GetVariable).push({"prototype"});
             a.op(Op::GetMember).push({1}).op(Op::InitObject).op(Op::SetVariable);
             traceInstanceOf(a, "F");
         },
         "true"},
        {"a getter over the prototype is not run", 8,
         [&](ActionWriter& a) {
             classes(a);
             implement(a, "C", "I");
             ActionWriter getter;
             getter.push({"getter"}).op(Op::Trace).push({nullptr}).op(Op::Return);
             a.push({nullptr});
             a.defineFunction("", {}, getter);
             a.push({"prototype", 3, "I"}).op(Op::GetVariable).push({"addProperty"});
             a.op(Op::CallMethod).op(Op::Pop);
             traceInstanceOf(a, "I");
             traceInstanceOf(a, "C");
         },
         "true\ntrue"},
        {"CastOp gives the object or null", 8,
         [&](ActionWriter& a) {
             classes(a);
             implement(a, "C", "I");
             for (const char* ctor : {"I", "J"}) {
                 pushVariables(a, {ctor, "o"});
                 a.op(Op::CastOp).op(Op::TypeOf).op(Op::Trace);
             }
         },
         "object\nnull"},
    });
}

void LanguageRulesTest::buttonsAreNoObjectsToSwf5Code_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("expected");
    // The clip inside the button traces its _parent; the main timeline then the type
    // of what the button's name reaches, and of a path through it.
    QTest::newRow("SWF 5: the clip holding the button stands for it")
        << 5 << "_level0\nmovieclip\nundefined";
    QTest::newRow("SWF 6: the button itself") << 6 << "_level0.b\nobject\nmovieclip";
}

void LanguageRulesTest::buttonsAreNoObjectsToSwf5Code()
{
    QFETCH(int, version);
    QFETCH(QString, expected);
    MovieWriter movie(version);
    TagList inner;
    ActionWriter innerCode;
    innerCode.push({"_parent"}).op(Op::GetVariable).op(Op::Trace);
    inner.doAction(innerCode.end().bytes());
    inner.showFrame();
    movie.defineSprite(2, inner);
    ButtonRecord record;
    record.characterId = 2;
    record.states = 0x01;
    movie.add(34, defineButton2Body(3, false, {record}, {}));
    Place place;
    place.characterId = 3;
    place.name = "b";
    movie.place2(place);
    ActionWriter code;
    code.push({"b"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    code.push({"b.instance1"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    movie.doAction(code.end().bytes());
    movie.showFrame();
    QCOMPARE(QString::fromStdString(joined(scriptrun::traces(movie))), expected);
}

QTEST_GUILESS_MAIN(LanguageRulesTest)
#include "LanguageRulesTest.moc"
