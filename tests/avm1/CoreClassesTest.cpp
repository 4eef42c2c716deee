// Number, Boolean, Math, Object, Function and the global functions member by member:
// odd arguments, version differences, generic calls on other receivers, and the
// SWF 4 string actions and int() as movies run them.
#include "CoreCalls.h"
#include "ScriptRun.h"

#include <QtTest>

using corecalls::addColumns;
using corecalls::addRow;
using corecalls::Calls;
using swfwriter::Op;

namespace {

QString flat(const std::vector<std::string>& lines)
{
    return QString::fromStdString(scriptrun::joined(lines)).replace('\n', '|');
}

} // namespace

class CoreClassesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numberAndBoolean_data();
    void numberAndBoolean();
    void math_data();
    void math();
    void mathRandomStaysInRange();
    void objectAndFunction_data();
    void objectAndFunction();
    void globals_data();
    void globals();
    void swf5FunctionsInheritNothing();
    void builtInMethodsArePermanent();
    void scriptFunctionsOwnConstructorAndPrototype();
    void newWithoutAnObjectPrototypeInheritsNothing();
    void readOnlyClassLinks_data();
    void readOnlyClassLinks();
    void traceOfEachKind();
    void stringActions_data();
    void stringActions();
    void stringActionsConvertTheSecondOperandFirst();
};

void CoreClassesTest::numberAndBoolean_data()
{
    addColumns();
    addRow("Number() nothing", 8, "Number", "", {}, "0");
    addRow("Number(undefined) swf6", 6, "Number", "", {"u"}, "0");
    addRow("Number(undefined) swf7", 7, "Number", "", {"u"}, "NaN");
    addRow("Number(null) swf7", 7, "Number", "", {"null"}, "NaN");
    addRow("Number(true)", 8, "Number", "", {"true"}, "1");
    addRow("Number empty string", 8, "Number", "", {"''"}, "NaN");
    addRow("Number leading blanks", 8, "Number", "", {"' 12'"}, "12");
    addRow("Number trailing blank", 8, "Number", "", {"'12 '"}, "NaN");
    addRow("Number exponent", 8, "Number", "", {"'-1.5e3'"}, "-1500");
    addRow("Number hex swf6", 6, "Number", "", {"'0x1A'"}, "26");
    addRow("Number hex swf5", 5, "Number", "", {"'0x1A'"}, "NaN");
    addRow("Number octal swf6", 6, "Number", "", {"'017'"}, "15");
    addRow("Number octal swf5", 5, "Number", "", {"'017'"}, "17");
    addRow("Number of Number object", 8, "Number", "", {"N7"}, "7");
    addRow("Number of array", 8, "Number", "", {"[4]"}, "NaN");

    const char* radix = "Number.prototype.toString";
    addRow("toString 16", 8, radix, "255", {"16"}, "'ff'");
    addRow("toString 2 negative", 8, radix, "-5", {"2"}, "'-101'");
    addRow("toString 36", 8, radix, "35", {"36"}, "'z'");
    addRow("toString radix 1 means 10", 8, radix, "255", {"1"}, "'255'");
    addRow("toString radix 37 means 10", 8, radix, "255", {"37"}, "'255'");
    addRow("toString radix fraction", 8, radix, "255", {"16.9"}, "'ff'");
    addRow("toString radix string", 8, radix, "255", {"'8'"}, "'377'");
    addRow("toString fraction in radix", 8, radix, "3.7", {"2"}, "'11'");
    addRow("toString NaN in radix", 8, radix, "NaN", {"16"}, "'NaN'");
    addRow("toString Infinity in radix", 8, radix, "-Infinity", {"2"}, "'-Infinity'");
    addRow("toString decimal fraction", 8, radix, "0.5", {}, "'0.5'");
    addRow("toString on Number object", 8, radix, "N12", {"16"}, "'c'");
    addRow("toString on string", 8, radix, "'12'", {}, "u");
    addRow("valueOf on Number object", 8, "Number.prototype.valueOf", "N-3", {}, "-3");
    addRow("valueOf on object", 8, "Number.prototype.valueOf", "{}", {}, "u");

    addRow("MAX_VALUE prints", 8, "String", "", {"@Number.MAX_VALUE"}, "'1.79769313486231e+308'");
    addRow("MIN_VALUE prints", 8, "String", "", {"@Number.MIN_VALUE"}, "'4.94065645841247e-324'");
    addRow("NEGATIVE_INFINITY", 8, "String", "", {"@Number.NEGATIVE_INFINITY"}, "'-Infinity'");
    addRow("Number.NaN", 8, "isNaN", "", {"@Number.NaN"}, "true");
    addRow("15 digits", 8, "String", "", {"0.1234567890123456"}, "'0.123456789012346'");
    addRow("integer below 1e15", 8, "String", "", {"999999999999999"}, "'999999999999999'");
    addRow("1e15 exponent", 8, "String", "", {"1e15"}, "'1e+15'");
    addRow("0.00001 plain", 8, "String", "", {"0.00001"}, "'0.00001'");
    addRow("0.000001 exponent", 8, "String", "", {"0.0000015"}, "'1.5e-6'");
    addRow("negative exponent", 8, "String", "", {"-2.5e-10"}, "'-2.5e-10'");
    addRow("two thirds", 8, "String", "", {"0.6666666666666666"}, "'0.666666666666667'");

    addRow("Boolean() nothing", 8, "Boolean", "", {}, "u");
    addRow("Boolean('0') swf6", 6, "Boolean", "", {"'0'"}, "false");
    addRow("Boolean('0') swf7", 7, "Boolean", "", {"'0'"}, "true");
    addRow("Boolean('abc') swf6", 6, "Boolean", "", {"'abc'"}, "false");
    addRow("Boolean('') swf7", 7, "Boolean", "", {"''"}, "false");
    addRow("Boolean(NaN)", 8, "Boolean", "", {"NaN"}, "false");
    addRow("Boolean(object)", 8, "Boolean", "", {"{}"}, "true");
    addRow("Boolean(-0)", 8, "Boolean", "", {"-0"}, "false");
    addRow("Boolean toString", 8, "Boolean.prototype.toString", "Btrue", {}, "'true'");
    addRow("Boolean toString on number", 8, "Boolean.prototype.toString", "1", {}, "u");
    addRow("Boolean valueOf", 8, "Boolean.prototype.valueOf", "false", {}, "false");
}

void CoreClassesTest::numberAndBoolean()
{
    QFETCH(int, version);
    QFETCH(QString, function);
    QFETCH(QString, self);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    Calls c(version);
    QCOMPARE(c.show(c.call(function, self, args)), expected);
}

void CoreClassesTest::math_data()
{
    addColumns();
    addRow("abs", 8, "Math.abs", "", {"'-3'"}, "3");
    addRow("abs nothing", 8, "Math.abs", "", {}, "NaN");
    addRow("abs -0", 8, "Math.abs", "", {"-0"}, "0");
    addRow("ceil -0.5 is -0", 8, "Math.ceil", "", {"-0.5"}, "-0");
    addRow("floor -0.5", 8, "Math.floor", "", {"-0.5"}, "-1");
    addRow("round 2.5", 8, "Math.round", "", {"2.5"}, "3");
    addRow("round -2.5", 8, "Math.round", "", {"-2.5"}, "-2");
    addRow("round -2.6", 8, "Math.round", "", {"-2.6"}, "-3");
    addRow("round NaN", 8, "Math.round", "", {"NaN"}, "NaN");
    addRow("round Infinity", 8, "Math.round", "", {"-Infinity"}, "-Infinity");
    addRow("max none", 8, "Math.max", "", {}, "-Infinity");
    addRow("min none", 8, "Math.min", "", {}, "Infinity");
    addRow("max one", 8, "Math.max", "", {"1"}, "NaN");
    addRow("max third ignored", 8, "Math.max", "", {"3", "7", "9"}, "7");
    addRow("min NaN", 8, "Math.min", "", {"NaN", "1"}, "NaN");
    addRow("min strings", 8, "Math.min", "", {"'10'", "'9'"}, "9");
    addRow("max undefined swf6", 6, "Math.max", "", {"u", "-1"}, "0");
    addRow("max undefined swf7", 7, "Math.max", "", {"u", "-1"}, "NaN");
    addRow("pow", 8, "Math.pow", "", {"2", "10"}, "1024");
    addRow("pow zero negative", 8, "Math.pow", "", {"0", "-1"}, "Infinity");
    addRow("pow negative fraction", 8, "Math.pow", "", {"-8", "0.5"}, "NaN");
    addRow("pow NaN to 0", 8, "Math.pow", "", {"NaN", "0"}, "1");
    addRow("pow one argument", 8, "Math.pow", "", {"2"}, "NaN");
    addRow("sqrt negative", 8, "Math.sqrt", "", {"-1"}, "NaN");
    addRow("log 0", 8, "Math.log", "", {"0"}, "-Infinity");
    addRow("exp 1", 8, "Math.exp", "", {"1"}, "2.71828182845905");
    addRow("atan2 up", 8, "Math.atan2", "", {"1", "0"}, "1.5707963267949");
    addRow("atan2 left", 8, "Math.atan2", "", {"0", "-1"}, "3.14159265358979");
    addRow("atan2 -0 left", 8, "Math.atan2", "", {"-0", "-1"}, "-3.14159265358979");
    addRow("atan2 down", 8, "Math.atan2", "", {"-1", "0"}, "-1.5707963267949");
    addRow("sin string", 8, "Math.sin", "", {"'x'"}, "NaN");
    addRow("cos 0", 8, "Math.cos", "", {"0"}, "1");
    addRow("tan 0", 8, "Math.tan", "", {"0"}, "0");
    addRow("asin 2", 8, "Math.asin", "", {"2"}, "NaN");
    addRow("acos 1", 8, "Math.acos", "", {"1"}, "0");
    addRow("atan Infinity", 8, "Math.atan", "", {"Infinity"}, "1.5707963267949");
    addRow("PI", 8, "String", "", {"@Math.PI"}, "'3.14159265358979'");
    addRow("SQRT1_2", 8, "String", "", {"@Math.SQRT1_2"}, "'0.707106781186548'");
    addRow("LOG10E", 8, "String", "", {"@Math.LOG10E"}, "'0.434294481903252'");
    addRow("LN10", 8, "String", "", {"@Math.LN10"}, "'2.30258509299405'");
}

void CoreClassesTest::math()
{
    numberAndBoolean();
}

void CoreClassesTest::mathRandomStaysInRange()
{
    Calls c(8);
    bool sawDifferent = false;
    double first = -1;
    for (int i = 0; i < 200; ++i) {
        const double r = c.call("Math.random", "", {}).asNumber();
        QVERIFY(r >= 0 && r < 1);
        if (i == 0)
            first = r;
        sawDifferent |= r != first;
    }
    QVERIFY(sawDifferent);
}

void CoreClassesTest::objectAndFunction_data()
{
    addColumns();
    addRow("Object() new", 8, "Object", "", {}, "{[object Object]}");
    addRow("Object(null) new", 8, "Object", "", {"null"}, "{[object Object]}");
    addRow("Object(5) wraps", 8, "Object", "", {"5"}, "{5}");
    addRow("Object('s') wraps", 8, "Object", "", {"'s'"}, "{s}");
    addRow("toString of object", 8, "Object.prototype.toString", "{}", {}, "'[object Object]'");
    addRow("toString of function", 8, "Object.prototype.toString", "f", {}, "'[type Function]'");
    addRow("valueOf of object", 8, "Object.prototype.valueOf", "{}", {}, "{[object Object]}");
    addRow("hasOwnProperty nothing", 8, "Object.prototype.hasOwnProperty", "{}", {}, "false");
    addRow("hasOwnProperty inherited", 8, "Object.prototype.hasOwnProperty", "{}", {"'toString'"},
           "false");
    addRow("hasOwnProperty String length", 8, "Object.prototype.hasOwnProperty", "S'ab'",
           {"'length'"}, "true");
    addRow("isPropertyEnumerable hidden", 8, "Object.prototype.isPropertyEnumerable",
           "@Object.prototype", {"'toString'"}, "false");
    addRow("isPrototypeOf chain", 8, "Object.prototype.isPrototypeOf", "@Object.prototype", {"{}"},
           "true");
    addRow("isPrototypeOf itself", 8, "Object.prototype.isPrototypeOf", "@Object.prototype",
           {"@Object.prototype"}, "false");
    addRow("isPrototypeOf primitive", 8, "Object.prototype.isPrototypeOf", "@String.prototype",
           {"'abc'"}, "false");
    addRow("addProperty no getter", 8, "Object.prototype.addProperty", "{}", {"'p'", "5"}, "false");
    addRow("addProperty empty name", 8, "Object.prototype.addProperty", "{}", {"''", "f", "null"},
           "false");
    addRow("addProperty read-only", 8, "Object.prototype.addProperty", "{}", {"'p'", "f", "null"},
           "true");
    addRow("watch no callback", 8, "Object.prototype.watch", "{}", {"'p'"}, "false");
    addRow("watch", 8, "Object.prototype.watch", "{}", {"'p'", "f"}, "true");
    addRow("unwatch unknown", 8, "Object.prototype.unwatch", "{}", {"'p'"}, "false");
    addRow("registerClass no function", 8, "Object.registerClass", "", {"'sym'", "5"}, "false");
    addRow("registerClass", 8, "Object.registerClass", "", {"'sym'", "f"}, "true");
    addRow("registerClass one argument", 8, "Object.registerClass", "", {"'sym'"}, "false");

    const char* call = "Function.prototype.call";
    addRow("call wraps primitive this", 8, call, "@String.prototype.valueOf", {"5"}, "'5'");
    addRow("call null this is _global", 8, call, "@String.prototype.valueOf", {"null"},
           "'[type Object]'");
    addRow("call passes the rest", 8, call, "@String.prototype.concat", {"'a'", "1", "2"}, "'a12'");
    addRow("call on no function", 8, call, "{}", {"1"}, "u");
    const char* apply = "Function.prototype.apply";
    addRow("apply array", 8, apply, "@String.prototype.concat", {"'a'", "[1|2]"}, "'a12'");
    addRow("apply no array", 8, apply, "@String.prototype.concat", {"'a'", "5"}, "'a'");
    // Any object with a length is a list, its elements read by index.
    addRow("apply String object as list", 8, apply, "@String.prototype.concat", {"'a'", "S'xy'"},
           "'aundefinedundefined'");
    addRow("apply nothing", 8, apply, "@Math.max", {}, "-Infinity");
}

void CoreClassesTest::objectAndFunction()
{
    numberAndBoolean();
}

void CoreClassesTest::globals_data()
{
    addColumns();
    addRow("isNaN string", 8, "isNaN", "", {"'abc'"}, "true");
    addRow("isNaN nothing", 6, "isNaN", "", {}, "true");
    addRow("isNaN undefined swf6", 6, "isNaN", "", {"u"}, "false");
    addRow("isNaN undefined swf7", 7, "isNaN", "", {"u"}, "true");
    addRow("isNaN numeric string", 8, "isNaN", "", {"' 5'"}, "false");
    addRow("isFinite huge string", 8, "isFinite", "", {"'1e400'"}, "false");
    addRow("isFinite number", 8, "isFinite", "", {"1e300"}, "true");
    addRow("parseInt String object", 8, "parseInt", "", {"S'0x1F'"}, "31");
    addRow("parseInt radix", 8, "parseInt", "", {"'ff'", "16"}, "255");
    addRow("parseInt bad radix", 8, "parseInt", "", {"'10'", "37"}, "NaN");
    addRow("parseInt blanks and sign", 8, "parseInt", "", {"'  -42px'"}, "-42");
    addRow("parseInt octal", 8, "parseInt", "", {"'017'"}, "15");
    addRow("parseInt nothing", 8, "parseInt", "", {}, "u");
    addRow("parseFloat", 8, "parseFloat", "", {"' 3.5e2x'"}, "350");
    addRow("parseFloat String object", 8, "parseFloat", "", {"S'2.5'"}, "2.5");
    addRow("parseFloat no digits", 8, "parseFloat", "", {"'.e1'"}, "NaN");
    addRow("escape", 8, "escape", "", {"'a b+\xC3\xA9'"}, "'a%20b%2B%C3%A9'");
    addRow("escape keeps unreserved", 8, "escape", "", {"'Az09'"}, "'Az09'");
    addRow("unescape plus is a space", 8, "unescape", "", {"'%41%42+'"}, "'AB '");
    addRow("unescape nothing", 8, "unescape", "", {}, "u");
    addRow("Infinity global", 8, "String", "", {"@Infinity"}, "'Infinity'");
    addRow("updateAfterEvent", 8, "updateAfterEvent", "", {}, "u");
}

void CoreClassesTest::globals()
{
    numberAndBoolean();
}

// Before SWF 6 a function has no __proto__: call, apply, toString and valueOf are not
// found on it, and "" + f is "" there.
void CoreClassesTest::swf5FunctionsInheritNothing()
{
    for (const auto& [version, expected] : {std::pair{5, "undefined|undefined|undefined|."},
                                            std::pair{6, "object|function|function|.[type "
                                                         "Function]"}}) {
        swfwriter::ActionWriter a;
        a.push({"parseInt"}).op(Op::GetVariable).push({"__proto__"}).op(Op::GetMember);
        a.op(Op::TypeOf).op(Op::Trace);
        a.push({"parseInt"}).op(Op::GetVariable).push({"call"}).op(Op::GetMember);
        a.op(Op::TypeOf).op(Op::Trace);
        a.push({"parseInt"}).op(Op::GetVariable).push({"valueOf"}).op(Op::GetMember);
        a.op(Op::TypeOf).op(Op::Trace);
        a.push({"."}).push({"parseInt"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
        QCOMPARE(flat(scriptrun::run(version, a)), QString(expected));
    }
}

// delete on a core prototype's method fails and leaves it there.
void CoreClassesTest::builtInMethodsArePermanent()
{
    for (const char* path : {"Object.prototype", "Number.prototype", "Boolean.prototype",
                             "String.prototype", "Function.prototype"}) {
        Calls c(8);
        const avm1::Value proto = c.path(path);
        const char* name = QString(path).startsWith("Function") ? "call" : "toString";
        QVERIFY2(!c.vm().deleteMember(proto.asObject(), c.vm().str(name)), path);
        QVERIFY2(c.vm().hasOwnProperty(proto.asObject(), c.vm().str(name)), path);
        QVERIFY2(c.vm().enumerableKeys(proto.asObject()).empty(), path);
    }
}

// typeof of `member` on the value of variable `name`, traced.
void traceTypeOf(swfwriter::ActionWriter& a, const char* name, const char* member)
{
    a.push({name}).op(Op::GetVariable).push({member}).op(Op::GetMember).op(Op::TypeOf);
    a.op(Op::Trace);
}

// A script function has its own constructor (Function) and a prototype that delete
// cannot remove, in every version.
void CoreClassesTest::scriptFunctionsOwnConstructorAndPrototype()
{
    for (int version : {5, 6, 8}) {
        swfwriter::ActionWriter a;
        a.push({"f"}).defineFunction("", {}, swfwriter::ActionWriter()).op(Op::SetVariable);
        traceTypeOf(a, "f", "constructor");
        a.push({"f"}).op(Op::GetVariable).push({"prototype"}).op(Op::Delete).op(Op::Trace);
        traceTypeOf(a, "f", "prototype");
        QCOMPARE(flat(scriptrun::run(version, a)), QString("function|false|object"));
    }
}

// new on a function whose prototype is no object (Math.cos has none, String.prototype
// replaced by a number) makes an object that inherits nothing; Object.prototype itself
// cannot be replaced.
void CoreClassesTest::newWithoutAnObjectPrototypeInheritsNothing()
{
    swfwriter::ActionWriter a;
    a.push({"o", 9, 1, "Math"}).op(Op::GetVariable).push({"cos"}).op(Op::NewMethod);
    a.op(Op::SetVariable);
    traceTypeOf(a, "o", "__proto__");
    traceTypeOf(a, "o", "toString");
    a.push({"String"}).op(Op::GetVariable).push({"prototype", 8}).op(Op::SetMember);
    a.push({"s", "hello", 1, "String"}).op(Op::NewObject).op(Op::SetVariable);
    a.push({"s"}).op(Op::GetVariable).push({"__proto__"}).op(Op::GetMember).op(Op::Trace);
    traceTypeOf(a, "s", "charAt");
    traceTypeOf(a, "s", "__constructor__");
    a.push({"Object"}).op(Op::GetVariable).push({"prototype", 6}).op(Op::SetMember);
    traceTypeOf(a, "Object", "prototype");
    QCOMPARE(flat(scriptrun::run(7, a)),
             QString("undefined|undefined|8|undefined|function|object"));
}

void CoreClassesTest::readOnlyClassLinks_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("replaceable");
    for (const char* holder : {"Object", "Number", "Date"})
        for (const char* name : {"prototype", "constructor", "__proto__"})
            QTest::addRow("%s.%s", holder, name) << holder << name << false;
    QTest::newRow("Object.registerClass") << "Object"
                                          << "registerClass" << false;
    QTest::newRow("Math.constructor") << "Math"
                                      << "constructor" << false;
    QTest::newRow("Math.__proto__") << "Math"
                                    << "__proto__" << false;
    QTest::newRow("String.prototype") << "String"
                                      << "prototype" << true;
    QTest::newRow("Boolean.prototype") << "Boolean"
                                       << "prototype" << true;
    QTest::newRow("Function.prototype") << "Function"
                                        << "prototype" << true;
}

// Which links of the classes scripts can replace: the reference keeps Object's,
// Number's, Date's and Math's, and lets String's and Boolean's go.
void CoreClassesTest::readOnlyClassLinks()
{
    QFETCH(QString, holder);
    QFETCH(QString, name);
    QFETCH(bool, replaceable);
    Calls c(8);
    const avm1::Value target = c.path(holder);
    avm1::String* key = c.vm().str(name.toStdString());
    c.vm().setMember(target, key, avm1::Value(7));
    QCOMPARE(c.show(c.vm().getMember(target, key)) == "7", replaceable);
}

// The Trace action prints undefined by name in every version, and other values as
// their strings.
void CoreClassesTest::traceOfEachKind()
{
    for (int version : {5, 6, 7}) {
        swfwriter::ActionWriter a;
        a.push({swfwriter::Undefined{}}).op(Op::Trace);
        a.push({nullptr}).op(Op::Trace);
        a.push({false}).op(Op::Trace);
        a.push({swfwriter::Double{-0.0}}).op(Op::Trace);
        a.push({swfwriter::Double{1e21}}).op(Op::Trace);
        a.push({0, "Object"}).op(Op::NewObject).op(Op::Trace);
        a.push({"a", 1, 2}).op(Op::InitArray).op(Op::Trace);
        QCOMPARE(flat(scriptrun::run(version, a)),
                 QString("undefined|null|false|0|1e+21|[object Object]|1,a"));
    }
}

void CoreClassesTest::stringActions_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("operands");
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, int version, QStringList operands, Op op,
                        const char* expected) {
        QTest::newRow(name) << version << operands << static_cast<int>(op)
                            << QString::fromUtf8(expected);
    };
    row("int wraps 2^32-1", 6, {"4294967295"}, Op::ToInteger, "-1");
    row("int wraps 2^31", 6, {"2147483648"}, Op::ToInteger, "-2147483648");
    row("int truncates negative", 6, {"-7.8"}, Op::ToInteger, "-7");
    row("int of 1e10 string", 6, {"'1e+10'"}, Op::ToInteger, "1410065408");
    row("int of NaN", 6, {"'x'"}, Op::ToInteger, "0");
    row("int of Infinity", 6, {"Infinity"}, Op::ToInteger, "0");
    row("length swf5 bytes", 5, {"'\xC3\xA9t'"}, Op::StringLength, "3");
    row("length swf6 units", 6, {"'\xC3\xA9t'"}, Op::StringLength, "2");
    row("mblength swf6", 6, {"'\xF0\x9F\x98\x9C'"}, Op::MBStringLength, "2");
    row("substring from 1", 6, {"'abcdef'", "2", "3"}, Op::StringExtract, "bcd");
    row("substring index 0", 6, {"'abcdef'", "0", "2"}, Op::StringExtract, "ab");
    row("substring negative count", 6, {"'abcdef'", "3", "-1"}, Op::StringExtract, "cdef");
    row("substring past end", 6, {"'abc'", "5", "2"}, Op::StringExtract, "");
    row("mbsubstring units", 6, {"'\xC3\xA9\xC3\xA8x'", "2", "2"}, Op::MBStringExtract,
        "\xC3\xA8x");
    row("ord", 6, {"'A'"}, Op::CharToAscii, "65");
    row("ord empty", 6, {"''"}, Op::CharToAscii, "0");
    row("ord swf5 byte", 5, {"'\xC3\xA9'"}, Op::CharToAscii, "195");
    row("mbord", 6, {"'\xC3\xA9'"}, Op::MBCharToAscii, "233");
    row("chr", 6, {"65"}, Op::AsciiToChar, "A");
    row("chr 0", 6, {"0"}, Op::AsciiToChar, "");
    row("mbchr", 6, {"233"}, Op::MBAsciiToChar, "\xC3\xA9");
    row("string add", 6, {"'a'", "1"}, Op::StringAdd, "a1");
    row("string add undefined swf6", 6, {"'a'", "u"}, Op::StringAdd, "a");
    row("string equals", 6, {"'10'", "10"}, Op::StringEquals, "true");
    row("string less", 6, {"'10'", "'9'"}, Op::StringLess, "true");
    row("string less swf4 number", 4, {"'a'", "'b'"}, Op::StringLess, "1");
}

void CoreClassesTest::stringActions()
{
    QFETCH(int, version);
    QFETCH(QStringList, operands);
    QFETCH(int, op);
    QFETCH(QString, expected);
    swfwriter::ActionWriter a;
    for (const QString& token : operands) {
        if (token.startsWith('\''))
            a.push({token.mid(1, token.size() - 2).toStdString()});
        else if (token == "u")
            a.push({swfwriter::Undefined{}});
        else
            a.push({swfwriter::Double{token.toDouble()}});
    }
    a.op(static_cast<Op>(op)).op(Op::Trace);
    QCOMPARE(flat(scriptrun::run(version, a)), expected);
}

// A toString with a trace shows the order: the second operand converts first.
void CoreClassesTest::stringActionsConvertTheSecondOperandFirst()
{
    for (Op op : {Op::StringAdd, Op::StringEquals, Op::StringLess}) {
        swfwriter::ActionWriter a;
        for (const char* name : {"first", "second"}) {
            swfwriter::ActionWriter body;
            body.push({name}).op(Op::Trace).push({name}).op(Op::Return);
            a.push({name, 0, "Object"}).op(Op::NewObject).op(Op::SetVariable);
            a.push({name}).op(Op::GetVariable).push({"toString"});
            a.defineFunction("", {}, body).op(Op::SetMember);
        }
        a.push({"first"}).op(Op::GetVariable).push({"second"}).op(Op::GetVariable);
        a.op(op).op(Op::Pop);
        QCOMPARE(flat(scriptrun::run(6, a)), QString("second|first"));
    }
}

QTEST_GUILESS_MAIN(CoreClassesTest)
#include "CoreClassesTest.moc"
