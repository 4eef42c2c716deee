// String's members called as scripts call them: odd positions (negative, fractional,
// NaN, missing, huge), UTF-16 units and SWF 5 bytes, split's separators and limits,
// and the methods called on other values.
#include "CoreCalls.h"
#include "ScriptRun.h"
#include "avm1/Operators.h"

#include <QtTest>

using corecalls::addColumns;
using corecalls::addRow;
using corecalls::Calls;

namespace {} // namespace

class StringClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void methods_data();
    void methods();
    void prototypeFlags();
    void conversionThatLeadsBackStops();
    void conversionByVersion();
    void cutPairsJoinAgain();
};

void StringClassTest::methods_data()
{
    addColumns();

    const char* at = "String.prototype.charAt";
    addRow("charAt 1", 8, at, "'abc'", {"1"}, "'b'");
    addRow("charAt fraction", 8, at, "'abc'", {"1.9"}, "'b'");
    addRow("charAt missing", 8, at, "'abc'", {}, "'a'");
    addRow("charAt NaN", 8, at, "'abc'", {"NaN"}, "'a'");
    addRow("charAt negative", 8, at, "'abc'", {"-1"}, "''");
    addRow("charAt past end", 8, at, "'abc'", {"3"}, "''");
    addRow("charAt wraps 2^32+1", 8, at, "'abc'", {"4294967297"}, "'b'");
    // A half keeps its own three-byte form, so that joining the halves gives the pair.
    addRow("charAt surrogate half", 8, at, "'a\xF0\x9F\x98\x9C'", {"1"}, "'\xED\xA0\xBD'");
    addRow("charAt swf5 byte", 5, at, "'\xC3\xA9t'", {"2"}, "'t'");

    const char* code = "String.prototype.charCodeAt";
    addRow("charCodeAt 0", 8, code, "'abc'", {"0"}, "97");
    addRow("charCodeAt before start", 8, code, "'abc'", {"-1"}, "NaN");
    addRow("charCodeAt past end", 8, code, "'abc'", {"9"}, "0");
    addRow("charCodeAt e acute utf16", 6, code, "'\xC3\xA9'", {"0"}, "233");
    addRow("charCodeAt e acute swf5 byte", 5, code, "'\xC3\xA9'", {"0"}, "195");
    addRow("charCodeAt surrogate", 8, code, "'\xF0\x9F\x98\x9C'", {"0"}, "65533");

    const char* from = "String.fromCharCode";
    addRow("fromCharCode several", 8, from, "", {"72", "105"}, "'Hi'");
    addRow("fromCharCode none", 8, from, "", {}, "''");
    addRow("fromCharCode wraps 16 bits", 8, from, "", {"65601"}, "'A'");
    addRow("fromCharCode fraction", 8, from, "", {"65.9"}, "'A'");
    addRow("fromCharCode string", 8, from, "", {"'66'"}, "'B'");
    addRow("fromCharCode stops at 0", 8, from, "", {"65", "0", "66"}, "'A'");
    addRow("fromCharCode swf5 byte", 5, from, "", {"321"}, "'A'");
    addRow("fromCharCode e acute", 6, from, "", {"233"}, "'\xC3\xA9'");
    addRow("fromCharCode surrogate pair", 6, from, "", {"55357", "56860"}, "'\xF0\x9F\x98\x9C'");
    addRow("fromCharCode negative wraps", 8, from, "", {"-65471"}, "'A'");

    const char* concat = "String.prototype.concat";
    addRow("concat values", 8, concat, "'a'", {"1", "true", "null", "u"}, "'a1truenullundefined'");
    addRow("concat undefined swf6", 6, concat, "'a'", {"u"}, "'a'");
    addRow("concat nothing", 8, concat, "'a'", {}, "'a'");
    addRow("concat on number", 8, concat, "5", {"'x'"}, "'5x'");

    const char* index = "String.prototype.indexOf";
    addRow("indexOf found", 8, index, "'abcabc'", {"'c'"}, "2");
    addRow("indexOf from", 8, index, "'abcabc'", {"'c'", "3"}, "5");
    addRow("indexOf negative from", 8, index, "'abcabc'", {"'a'", "-5"}, "0");
    addRow("indexOf fraction from", 8, index, "'abcabc'", {"'b'", "1.8"}, "1");
    addRow("indexOf missing", 8, index, "'abc'", {}, "u");
    addRow("indexOf empty", 8, index, "'abc'", {"''"}, "0");
    addRow("indexOf empty at end", 8, index, "'abc'", {"''", "3"}, "3");
    addRow("indexOf empty past end", 8, index, "'abc'", {"''", "4"}, "-1");
    addRow("indexOf number needle", 8, index, "'a12'", {"12"}, "1");
    addRow("indexOf undefined swf7", 7, index, "'xundefined'", {"u"}, "1");
    addRow("indexOf undefined swf6", 6, index, "'xundefined'", {"u"}, "0");
    addRow("indexOf after surrogate", 8, index, "'\xF0\x9F\x98\x9Cz'", {"'z'"}, "2");

    const char* last = "String.prototype.lastIndexOf";
    addRow("lastIndexOf found", 8, last, "'abcabc'", {"'b'"}, "4");
    addRow("lastIndexOf from", 8, last, "'abcabc'", {"'b'", "3"}, "1");
    addRow("lastIndexOf negative", 8, last, "'abcabc'", {"'a'", "-1"}, "-1");
    addRow("lastIndexOf huge", 8, last, "'abcabc'", {"'a'", "1e10"}, "3");
    addRow("lastIndexOf empty", 8, last, "'abc'", {"''"}, "3");
    addRow("lastIndexOf missing", 8, last, "'abc'", {}, "u");

    const char* slice = "String.prototype.slice";
    addRow("slice both", 8, slice, "'abcdef'", {"1", "3"}, "'bc'");
    addRow("slice negative", 8, slice, "'abcdef'", {"-3", "-1"}, "'de'");
    addRow("slice start only", 8, slice, "'abcdef'", {"4"}, "'ef'");
    addRow("slice undefined end", 8, slice, "'abcdef'", {"4", "u"}, "'ef'");
    addRow("slice reversed", 8, slice, "'abcdef'", {"3", "1"}, "''");
    addRow("slice NaN", 8, slice, "'abcdef'", {"NaN", "2"}, "'ab'");
    addRow("slice huge", 8, slice, "'abcdef'", {"-100", "100"}, "'abcdef'");
    addRow("slice missing", 8, slice, "'abc'", {}, "u");
    addRow("slice swf5 bytes", 5, slice, "'\xC3\xA9t'", {"1"}, "'\xA9t'");
    addRow("slice on object", 8, slice, "{}", {"1", "4"}, "'obj'");

    const char* substr = "String.prototype.substr";
    addRow("substr", 8, substr, "'abcdef'", {"1", "2"}, "'bc'");
    addRow("substr negative start", 8, substr, "'abcdef'", {"-2"}, "'ef'");
    addRow("substr negative length", 8, substr, "'abcdef'", {"1", "-1"}, "''");
    addRow("substr NaN length", 8, substr, "'abcdef'", {"1", "NaN"}, "''");
    addRow("substr long length", 8, substr, "'abcdef'", {"4", "100"}, "'ef'");
    addRow("substr missing", 8, substr, "'abc'", {}, "u");

    const char* substring = "String.prototype.substring";
    addRow("substring", 8, substring, "'abcdef'", {"1", "3"}, "'bc'");
    addRow("substring swapped", 8, substring, "'abcdef'", {"3", "1"}, "'bc'");
    addRow("substring negative", 8, substring, "'abcdef'", {"-3", "2"}, "'ab'");
    addRow("substring start only", 8, substring, "'abcdef'", {"4"}, "'ef'");
    addRow("substring NaN end", 8, substring, "'abcdef'", {"2", "NaN"}, "'ab'");
    addRow("substring missing", 8, substring, "'abc'", {}, "u");

    const char* split = "String.prototype.split";
    addRow("split comma", 8, split, "'a,b,c'", {"','"}, "{a,b,c}");
    addRow("split limit", 8, split, "'a,b,c'", {"','", "2"}, "{a,b}");
    addRow("split limit fraction", 8, split, "'a,b,c'", {"','", "1.7"}, "{a}");
    addRow("split limit 0", 8, split, "'a,b,c'", {"','", "0"}, "{}");
    addRow("split limit negative", 8, split, "'a,b,c'", {"','", "-1"}, "{}");
    addRow("split no separator", 8, split, "'a,b'", {}, "{a,b}");
    addRow("split empty separator", 8, split, "'abc'", {"''"}, "{a,b,c}");
    addRow("split longer separator", 8, split, "'ab'", {"'abc'"}, "{ab}");
    addRow("split multi-character", 8, split, "'aXYbXYc'", {"'XY'"}, "{a,b,c}");
    addRow("split empty text", 8, split, "''", {"','"}, "{}");
    addRow("split swf5 undefined is comma", 5, split, "'a,b'", {"u"}, "{a,b}");
    addRow("split swf5 long separator", 5, split, "'aXYb'", {"'XY'"}, "{aXYb}");

    addRow("toUpperCase", 8, "String.prototype.toUpperCase", "'ab\xC3\xA9'", {}, "'AB\xC3\x89'");
    addRow("toUpperCase swf5 ascii", 5, "String.prototype.toUpperCase", "'ab\xC3\xA9'", {},
           "'AB\xC3\xA9'");
    addRow("toLowerCase", 8, "String.prototype.toLowerCase", "'AB\xC3\x89'", {}, "'ab\xC3\xA9'");
    addRow("toLowerCase number", 8, "String.prototype.toLowerCase", "1e21", {}, "'1e+21'");

    const char* toString = "String.prototype.toString";
    addRow("toString of string", 8, toString, "'x'", {}, "'x'");
    addRow("toString of String object", 8, toString, "S'x'", {}, "'x'");
    addRow("toString of Boolean object", 8, toString, "Bfalse", {}, "'false'");
    addRow("toString of function", 8, toString, "f", {}, "'[type Function]'");
    addRow("valueOf of plain object", 8, "String.prototype.valueOf", "{}", {}, "'[object Object]'");
    addRow("valueOf of number", 8, "String.prototype.valueOf", "12", {}, "'12'");

    addRow("String() nothing", 8, "String", "", {}, "''");
    addRow("String(undefined) swf7", 7, "String", "", {"u"}, "'undefined'");
    addRow("String(undefined) swf6", 6, "String", "", {"u"}, "''");
    addRow("String(null)", 6, "String", "", {"null"}, "'null'");
    addRow("String(-0)", 8, "String", "", {"-0"}, "'0'");
    addRow("String(array)", 8, "String", "", {"[1|'a']"}, "'1,a'");
    addRow("String(1e-7)", 8, "String", "", {"1e-7"}, "'1e-7'");
    addRow("String(0.1+0.2)", 8, "String", "", {"0.30000000000000004"}, "'0.3'");
}

void StringClassTest::methods()
{
    QFETCH(int, version);
    QFETCH(QString, function);
    QFETCH(QString, self);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    Calls c(version);
    QCOMPARE(c.show(c.call(function, self, args)), expected);
}

// Built-in methods live on the prototype, hidden and permanent; instances have their
// own length only.
void StringClassTest::prototypeFlags()
{
    for (int version : {6, 8}) {
        Calls c(version);
        avm1::Vm& vm = c.vm();
        const avm1::Value proto = c.path("String.prototype");
        QVERIFY(vm.enumerableKeys(proto.asObject()).empty());
        QVERIFY(!vm.deleteMember(proto.asObject(), vm.str("slice")));
        const avm1::Value wrapped = c.parse("S'abc'");
        QVERIFY(vm.hasOwnProperty(wrapped.asObject(), vm.str("length")));
        QVERIFY(!vm.hasOwnProperty(wrapped.asObject(), vm.str("slice")));
        QVERIFY(!vm.hasOwnProperty(proto.asObject(), vm.str("length")));
        QCOMPARE(c.show(vm.getMember(wrapped, vm.str("length"))), QString("3"));
    }
}

// An object whose toString is String.prototype.toString converts by the fallback, and
// another object converted inside that conversion still converts.
void StringClassTest::conversionThatLeadsBackStops()
{
    Calls c(8);
    avm1::Vm& vm = c.vm();
    const avm1::Value looping = c.parse("{}");
    vm.setMember(looping, vm.str("toString"), c.path("String.prototype.toString"));
    QCOMPARE(c.show(vm.call(c.path("String"), avm1::Value(), {&looping, 1})),
             QString("'[type Object]'"));
    const avm1::Value inner = c.parse("Btrue");
    QCOMPARE(c.show(vm.call(c.path("String.prototype.valueOf"), inner, {})), QString("'true'"));
}

// String and the methods see the version's view of each value kind, through a movie.
void StringClassTest::conversionByVersion()
{
    using swfwriter::Op;
    const auto traceString = [](swfwriter::ActionWriter& a, auto pushValue) {
        pushValue(a);
        a.push({1, "String"}).op(Op::CallFunction).op(Op::Trace);
    };
    for (const auto& [version, expected] :
         {std::pair{5, "|null|true|[object Object]|[type Function]"},
          std::pair{7, "undefined|null|true|[object Object]|[type Function]"}}) {
        swfwriter::ActionWriter a;
        traceString(a, [](swfwriter::ActionWriter& w) { w.push({swfwriter::Undefined{}}); });
        traceString(a, [](swfwriter::ActionWriter& w) { w.push({nullptr}); });
        traceString(a, [](swfwriter::ActionWriter& w) { w.push({true}); });
        traceString(a, [](swfwriter::ActionWriter& w) { w.push({0, "Object"}).op(Op::NewObject); });
        traceString(a,
                    [](swfwriter::ActionWriter& w) { w.push({"parseInt"}).op(Op::GetVariable); });
        const std::string got = scriptrun::joined(scriptrun::run(version, a));
        QString flat = QString::fromStdString(got);
        flat.replace('\n', '|');
        QCOMPARE(flat, QString(expected));
    }
}

// The halves of a pair that charAt or substr cut apart make the character again when
// joined, by concat or by +, and compare equal to it; a half left alone traces as
// U+FFFD.
void StringClassTest::cutPairsJoinAgain()
{
    Calls c(8);
    avm1::Vm& vm = c.vm();
    const avm1::Value emoji = c.parse("'\xF0\x9F\x98\x9C'");
    const avm1::Value zero(0), one(1);
    const avm1::Value high = vm.call(c.path("String.prototype.charAt"), emoji, {&zero, 1});
    const avm1::Value low = vm.call(c.path("String.prototype.charAt"), emoji, {&one, 1});
    QCOMPARE(c.show(vm.getMember(high, vm.str("length"))), QString("1"));
    const avm1::Value joined = vm.call(c.path("String.prototype.concat"), high, {&low, 1});
    QCOMPARE(c.show(joined), QString("'\xF0\x9F\x98\x9C'"));
    // The other order is two lone halves, not a character.
    const avm1::Value reversed = vm.call(c.path("String.prototype.concat"), low, {&high, 1});
    QVERIFY(!avm1::strictEquals(reversed, joined));
    QCOMPARE(c.show(vm.getMember(reversed, vm.str("length"))), QString("2"));

    using swfwriter::Op;
    swfwriter::ActionWriter a;
    a.push({"s", "a\xF0\x9F\x98\x9C"}).op(Op::DefineLocal);
    // t = s.charAt(1) + s.substr(2, 1)
    a.push({1, 1, "s"}).op(Op::GetVariable).push({"charAt"}).op(Op::CallMethod);
    a.push({1, 2, 2, "s"}).op(Op::GetVariable).push({"substr"}).op(Op::CallMethod);
    a.op(Op::Add2).push({"t"}).op(Op::StackSwap).op(Op::DefineLocal);
    a.push({"t"}).op(Op::GetVariable).op(Op::Trace);
    a.push({"t"}).op(Op::GetVariable);
    a.push({1, 1, "s"}).op(Op::GetVariable).push({"substr"}).op(Op::CallMethod);
    a.op(Op::StrictEquals).op(Op::Trace);
    a.push({1, 1, "s"}).op(Op::GetVariable).push({"charAt"}).op(Op::CallMethod).op(Op::Trace);
    QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, a))),
             QString::fromUtf8("\xF0\x9F\x98\x9C\ntrue\n\xEF\xBF\xBD"));
}

QTEST_GUILESS_MAIN(StringClassTest)
#include "StringClassTest.moc"
