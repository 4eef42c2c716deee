// The conversions and operators, with the reference player's rules as its recorded
// output shows them: number printing digit for digit, string to number by version,
// truth by version, equality and comparison, and the order in which objects are asked
// for their valueOf and toString.
#include "ScriptRun.h"
#include "avm1/NumberText.h"
#include "avm1/Operators.h"
#include "avm1/Vm.h"

#include <QtTest>
#include <cmath>
#include <functional>
#include <limits>

using avm1::Value;
using namespace swfwriter;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInfinity = std::numeric_limits<double>::infinity();

// Values written compactly in the tables: 'text' is a string, u undefined, null, true,
// false, NaN and the infinities themselves, anything else a number.
Value parse(avm1::Vm& vm, const QString& token)
{
    if (token.startsWith('\''))
        return Value(vm.str(token.mid(1, token.size() - 2).toStdString()));
    if (token == "u")
        return Value();
    if (token == "null")
        return Value::null();
    if (token == "true" || token == "false")
        return Value(token == "true");
    if (token == "NaN")
        return Value(kNaN);
    if (token.endsWith("Infinity"))
        return Value(token.startsWith('-') ? -kInfinity : kInfinity);
    return Value(token.toDouble());
}

QString show(avm1::Vm& vm, Value v)
{
    return v.isUndefined() ? QString("undefined") : QString::fromStdString(vm.toStdString(v));
}

// var name = {method: function () { trace(tag); return result; }}, or with two methods.
struct Method {
    const char* name;
    const char* tag; // traced when called; null for none
    std::function<void(ActionWriter&)> result;
};

void defineObject(ActionWriter& a, const char* variable, std::initializer_list<Method> methods)
{
    a.push({variable});
    for (const Method& m : methods) {
        ActionWriter body;
        if (m.tag)
            body.push({m.tag}).op(Op::Trace);
        m.result(body);
        body.op(Op::Return);
        a.push({m.name}).defineFunction("", {}, body);
    }
    a.push({static_cast<int>(methods.size())}).op(Op::InitObject).op(Op::SetVariable);
}

// An object without a prototype: nothing to inherit valueOf or toString from.
void defineBareObject(ActionWriter& a, const char* variable)
{
    a.push({variable, 0}).op(Op::InitObject).op(Op::SetVariable);
    a.push({variable}).op(Op::GetVariable).push({"__proto__", Undefined{}}).op(Op::SetMember);
}

auto returns(PushValue v)
{
    return [v](ActionWriter& body) { body.push({v}); };
}
auto returnsObject()
{
    return [](ActionWriter& body) { body.push({0}).op(Op::InitObject); };
}

// trace(left op right), both read from variables.
void traceBinary(ActionWriter& a, const char* left, const char* right, Op op)
{
    a.push({left}).op(Op::GetVariable).push({right}).op(Op::GetVariable).op(op).op(Op::Trace);
}

using Code = std::function<void(ActionWriter&)>;

} // namespace

Q_DECLARE_METATYPE(Code)

class ConvertTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numberToString_data();
    void numberToString();
    void stringToNumber_data();
    void stringToNumber();
    void primitivesByVersion();
    void toBoolean_data();
    void toBoolean();
    void integers_data();
    void integers();
    void typeOf();
    void equality_data();
    void equality();
    void nanIdentity();
    void comparison_data();
    void comparison();
    void instanceOfChainAndInterfaces();
    void objectCoercion_data();
    void objectCoercion();
};

void ConvertTest::numberToString_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("minus zero") << -0.0 << "0";
    QTest::newRow("integer") << -268.0 << "-268";
    QTest::newRow("15 digits") << 111111111111111.0 << "111111111111111";
    QTest::newRow("16 digits") << 1111111111111111.0 << "1.11111111111111e+15";
    QTest::newRow("1e15") << 1e15 << "1e+15";
    QTest::newRow("1e21") << 1e21 << "1e+21";
    QTest::newRow("2e19") << 2e19 << "2e+19";
    QTest::newRow("2^32") << 4294967296.0 << "4294967296";
    QTest::newRow("below int32") << -2147483650.0 << "-2147483650";
    QTest::newRow("2^68") << 295147905179352825856.0 << "2.95147905179353e+20";
    QTest::newRow("123456789012345680000") << 123456789012345680000.0 << "1.23456789012346e+20";
    QTest::newRow("fraction") << 11111111111111.1 << "11111111111111.1";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
    QTest::newRow("15 significant") << -22222222.222222222 << "-22222222.2222222";
    QTest::newRow("1e-5 stays plain") << 1.23456789012346e-05 << "0.0000123456789012346";
    QTest::newRow("1e-6 takes an exponent") << 1.23456789012346e-06 << "1.23456789012346e-6";
    QTest::newRow("5.4e-5") << 5.4 / 100000 << "0.000054";
    QTest::newRow("5.4e-6") << 5.4 / 1000000 << "5.4e-6";
    QTest::newRow("1e-7") << 1e-7 << "1e-7";
    QTest::newRow("5e-25") << 5e-25 << "5e-25";
    QTest::newRow("large exponent") << 1.010101e107 << "1.010101e+107";
    QTest::newRow("negative exponent form") << -2.123123123219e20 << "-2.123123123219e+20";
    QTest::newRow("round up") << 0.1234567891234565 << "0.123456789123457";
    QTest::newRow("round up before point") << 2.123456789123455 << "2.12345678912346";
    QTest::newRow("round down") << 0.0999999999999999 << "0.0999999999999999";
    // The player's digits come from its floating-point scaling, not from the exact
    // decimal value: these differ from a correctly rounded printf.
    QTest::newRow("MAX_VALUE") << std::numeric_limits<double>::max() << "1.79769313486231e+308";
    QTest::newRow("MIN_VALUE") << std::numeric_limits<double>::denorm_min()
                               << "4.94065645841247e-324";
    QTest::newRow("near e+308") << 1.234567891234565e308 << "1.23456789123456e+308";
    QTest::newRow("near e-308") << 1.234567891234565e-308 << "1.23456789123457e-308";
    QTest::newRow("near e-6") << -1.234567891234565e-06 << "-1.23456789123457e-6";
    QTest::newRow("near e-3 down") << -0.001244567891234565 << "-0.00124456789123456";
    QTest::newRow("near e-3 up") << -0.001234567891234565 << "-0.00123456789123457";
    QTest::newRow("just below 1") << 0.9999999999999994 << "0.999999999999999";
    QTest::newRow("sin(1)") << 0.8414709848078965 << "0.841470984807897";
    QTest::newRow("cos(1)") << 0.5403023058681398 << "0.54030230586814";
    QTest::newRow("e") << 2.718281828459045 << "2.71828182845905";
    QTest::newRow("pi") << 3.141592653589793 << "3.14159265358979";
    QTest::newRow("square root of 2") << 1.4142135623730951 << "1.4142135623731";
    QTest::newRow("NaN") << kNaN << "NaN";
    QTest::newRow("Infinity") << kInfinity << "Infinity";
    QTest::newRow("-Infinity") << -kInfinity << "-Infinity";
}

void ConvertTest::numberToString()
{
    QFETCH(double, number);
    QFETCH(QString, text);
    avm1::Vm vm(7);
    QCOMPARE(QString::fromStdString(vm.numberToString(number)->text()), text);
}

void ConvertTest::stringToNumber_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("leading space") << 6 << " -2" << -2.0;
    QTest::newRow("leading return") << 6 << "\r10" << 10.0;
    QTest::newRow("exponent") << 6 << " -2e-5" << -0.00002;
    QTest::newRow("upper exponent") << 6 << "2E1" << 20.0;
    QTest::newRow("bare exponent marker") << 6 << "-56e" << -56.0;
    QTest::newRow("bare exponent sign") << 6 << "-56e-" << -56.0;
    QTest::newRow("junk after exponent") << 6 << "-56eu" << kNaN;
    QTest::newRow("junk after digits") << 6 << "10a" << kNaN;
    QTest::newRow("empty") << 6 << "" << kNaN;
    QTest::newRow("Infinity is no number") << 8 << "Infinity" << kNaN;
    QTest::newRow("hex") << 6 << "0x2" << 2.0;
    QTest::newRow("hex with minus inside") << 6 << "0x-2" << -2.0;
    QTest::newRow("hex wraps to int32") << 8 << "0Xff000000" << -16777216.0;
    QTest::newRow("hex negated wraps") << 6 << "0x-ffffffff" << 1.0;
    QTest::newRow("hex after space") << 6 << " 0x2" << kNaN;
    QTest::newRow("hex after sign") << 6 << "-0x2" << kNaN;
    QTest::newRow("hex with junk") << 8 << "0xff000z" << kNaN;
    QTest::newRow("hex with point") << 6 << "0x10.5" << kNaN;
    QTest::newRow("octal") << 6 << "077" << 63.0;
    QTest::newRow("octal with sign") << 6 << "-077" << -63.0;
    QTest::newRow("octal with plus") << 6 << "+077" << 63.0;
    QTest::newRow("octal after space is decimal") << 6 << " 077" << 77.0;
    QTest::newRow("octal wraps to int32") << 8 << "077000000000" << -134217728.0;
    QTest::newRow("leading zero with point") << 6 << "010.5" << 10.5;
    QTest::newRow("SWF 5 has no hex") << 5 << "0x2" << kNaN;
    QTest::newRow("SWF 5 has no octal") << 5 << "-077" << -77.0;
    QTest::newRow("SWF 4 prefix") << 4 << "100ABC" << 100.0;
    QTest::newRow("SWF 4 fraction prefix") << 4 << "12.34A" << 12.34;
    QTest::newRow("SWF 4 hex is its zero") << 4 << "0x10" << 0.0;
    QTest::newRow("SWF 4 leading zero") << 4 << "010" << 10.0;
    QTest::newRow("SWF 4 word") << 4 << "true" << 0.0;
    QTest::newRow("SWF 4 empty") << 4 << "" << 0.0;
}

void ConvertTest::stringToNumber()
{
    QFETCH(int, version);
    QFETCH(QString, text);
    QFETCH(double, number);
    avm1::Vm vm(version);
    const double got = vm.stringToNumber(vm.str(text.toStdString()));
    if (std::isnan(number))
        QVERIFY2(std::isnan(got), qPrintable(QString::number(got)));
    else
        QCOMPARE(got, number);
}

void ConvertTest::primitivesByVersion()
{
    avm1::Vm swf6(6);
    avm1::Vm swf7(7);
    QCOMPARE(show(swf6, swf6.toString(Value())), QString(""));
    QCOMPARE(show(swf7, swf7.toString(Value())), QString("undefined"));
    QCOMPARE(show(swf6, swf6.toString(Value::null())), QString("null"));
    QCOMPARE(show(swf7, swf7.toString(Value(true))), QString("true"));
    QCOMPARE(swf6.toNumber(Value()), 0.0);
    QCOMPARE(swf6.toNumber(Value::null()), 0.0);
    QVERIFY(std::isnan(swf7.toNumber(Value())));
    QVERIFY(std::isnan(swf7.toNumber(Value::null())));
    QCOMPARE(swf7.toNumber(Value(true)), 1.0);
}

void ConvertTest::toBoolean_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("truth");
    QTest::newRow("number string") << 6 << "'10'" << true;
    QTest::newRow("not a number") << 6 << "'10a'" << false;
    QTest::newRow("hex string") << 6 << "'0x10'" << true;
    QTest::newRow("negative hex") << 6 << "'0x-10'" << true;
    QTest::newRow("zero string") << 6 << "'0'" << false;
    QTest::newRow("word") << 6 << "'true'" << false;
    QTest::newRow("SWF 5 hex string") << 5 << "'0x10'" << false;
    QTest::newRow("SWF 4 word") << 4 << "'blah'" << false;
    QTest::newRow("SWF 4 number") << 4 << "'123'" << true;
    QTest::newRow("SWF 7 zero string") << 7 << "'0'" << true;
    QTest::newRow("SWF 7 word") << 7 << "'false'" << true;
    QTest::newRow("SWF 7 empty") << 7 << "''" << false;
    QTest::newRow("NaN") << 7 << "NaN" << false;
    QTest::newRow("minus zero") << 7 << "-0" << false;
    QTest::newRow("number") << 7 << "-123" << true;
    QTest::newRow("undefined") << 7 << "u" << false;
    QTest::newRow("null") << 6 << "null" << false;
}

void ConvertTest::toBoolean()
{
    QFETCH(int, version);
    QFETCH(QString, value);
    QFETCH(bool, truth);
    avm1::Vm vm(version);
    QCOMPARE(vm.toBoolean(parse(vm, value)), truth);
}

void ConvertTest::integers_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("int32");
    QTest::addColumn<uint>("uint32");
    QTest::addColumn<double>("integer");
    QTest::newRow("all ones") << 4294967295.0 << -1 << 4294967295u << 4294967295.0;
    QTest::newRow("2^31") << 2147483648.0 << int(-2147483647 - 1) << 2147483648u << 2147483648.0;
    QTest::newRow("minus one") << -1.0 << -1 << 4294967295u << -1.0;
    QTest::newRow("truncates") << -1.9 << -1 << 4294967295u << -1.0;
    QTest::newRow("1e20 wraps") << 1e20 << 1661992960 << 1661992960u << 1e20;
    QTest::newRow("NaN") << kNaN << 0 << 0u << 0.0;
    QTest::newRow("Infinity") << kInfinity << 0 << 0u << kInfinity;
}

void ConvertTest::integers()
{
    QFETCH(double, number);
    QFETCH(int, int32);
    QFETCH(uint, uint32);
    QFETCH(double, integer);
    avm1::Vm vm(7);
    QCOMPARE(vm.toInt32(Value(number)), int32);
    QCOMPARE(vm.toUint32(Value(number)), uint32);
    QCOMPARE(vm.toInteger(Value(number)), integer);
}

void ConvertTest::typeOf()
{
    avm1::Vm vm(7);
    auto type = [&vm](Value v) { return QString::fromStdString(vm.typeOf(v)->text()); };
    QCOMPARE(type(Value()), QString("undefined"));
    QCOMPARE(type(Value::null()), QString("null"));
    QCOMPARE(type(Value(false)), QString("boolean"));
    QCOMPARE(type(Value(kNaN)), QString("number"));
    QCOMPARE(type(vm.strValue("")), QString("string"));
    QCOMPARE(type(Value(vm.makeObject())), QString("object"));
    QCOMPARE(type(Value(vm.makeArray())), QString("object"));
    QCOMPARE(type(Value(vm.makeNative([](avm1::Vm&, const avm1::CallArgs&) { return Value(); }))),
             QString("function"));
}

void ConvertTest::equality_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("equal");
    QTest::newRow("true and 1") << 7 << "true"
                                << "1" << true;
    QTest::newRow("true and '1'") << 7 << "true"
                                  << "'1'" << true;
    QTest::newRow("true and 'true'") << 7 << "true"
                                     << "'true'" << false;
    QTest::newRow("false and '0'") << 7 << "false"
                                   << "'0'" << true;
    QTest::newRow("false and '0.000'") << 7 << "false"
                                       << "'0.000'" << true;
    QTest::newRow("false and 'false'") << 7 << "false"
                                       << "'false'" << false;
    QTest::newRow("0 and '-0'") << 8 << "0"
                                << "'-0'" << true;
    QTest::newRow("'1' and '0.000'") << 7 << "'1'"
                                     << "'0.000'" << false;
    QTest::newRow("'0' and '0.000'") << 7 << "'0'"
                                     << "'0.000'" << false;
    QTest::newRow("strings by case") << 8 << "'xyz'"
                                     << "'XYZ'" << false;
    QTest::newRow("undefined and null") << 7 << "u"
                                        << "null" << true;
    QTest::newRow("undefined and 0") << 7 << "u"
                                     << "0" << false;
    QTest::newRow("null and 0") << 6 << "null"
                                << "0" << false;
    QTest::newRow("undefined and ''") << 6 << "u"
                                      << "''" << false;
    QTest::newRow("NaN and NaN") << 7 << "NaN"
                                 << "NaN" << true;
    QTest::newRow("'NaN' and NaN") << 7 << "'NaN'"
                                   << "NaN" << false;
    QTest::newRow("'Infinity' and Infinity") << 8 << "'Infinity'"
                                             << "Infinity" << false;
    QTest::newRow("infinities") << 7 << "Infinity"
                                << "-Infinity" << false;
    QTest::newRow("hex string and number") << 8 << "'0xFF0000'"
                                           << "16711680" << true;
    QTest::newRow("SWF 5 hex string and number") << 5 << "'0xFF0000'"
                                                 << "16711680" << false;
}

void ConvertTest::equality()
{
    QFETCH(int, version);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, equal);
    avm1::Vm vm(version);
    const Value x = parse(vm, a);
    const Value y = parse(vm, b);
    QCOMPARE(avm1::abstractEquals(vm, x, y), equal);
    QCOMPARE(avm1::abstractEquals(vm, y, x), equal);
    // Strict equality agrees where the types are the same and never holds otherwise.
    QCOMPARE(avm1::strictEquals(x, y), x.type() == y.type() && equal);
}

void ConvertTest::nanIdentity()
{
    avm1::Vm vm(8);
    const Value global(kNaN);
    const Value failed(vm.toNumber(vm.strValue("abc")));
    const Value arithmetic(failed.asNumber() * 0);
    QVERIFY(std::isnan(failed.asNumber()));
    QVERIFY(avm1::strictEquals(global, global));
    QVERIFY(!avm1::abstractEquals(vm, failed, global));
    QVERIFY(!avm1::abstractEquals(vm, arithmetic, global));
    // A NaN through an object is a new one: Number(new Number(NaN)) != NaN.
    avm1::Object* holder = vm.makeObject(nullptr);
    holder->defineValue(vm, "valueOf", Value(vm.makeNative([](avm1::Vm&, const avm1::CallArgs&) {
                            return Value(std::numeric_limits<double>::quiet_NaN());
                        })));
    QVERIFY(avm1::abstractEquals(vm, Value(holder), global));
    QVERIFY(!avm1::abstractEquals(vm, Value(vm.toNumber(Value(holder))), global));
    // SWF 4's Equals compares numbers as they are: no NaN equals itself.
    QVERIFY(!avm1::swf4Equals(vm, global, global));
    avm1::Vm swf4(4);
    QVERIFY(avm1::swf4Equals(swf4, swf4.strValue("100"), swf4.strValue("100ABC")));
    QVERIFY(avm1::swf4Equals(swf4, Value(), Value(0)));
}

void ConvertTest::comparison_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("less");
    QTest::addColumn<QString>("greater");
    QTest::newRow("strings as text") << 8 << "'18'"
                                     << "'7'"
                                     << "true"
                                     << "false";
    QTest::newRow("string and number") << 8 << "'18'"
                                       << "7"
                                       << "false"
                                       << "true";
    QTest::newRow("not a number") << 8 << "'string'"
                                  << "7"
                                  << "undefined"
                                  << "undefined";
    QTest::newRow("prefix first") << 7 << "'0'"
                                  << "'0.000'"
                                  << "true"
                                  << "false";
    QTest::newRow("upper before lower") << 7 << "'A'"
                                        << "'a'"
                                        << "true"
                                        << "false";
    QTest::newRow("boolean and number") << 7 << "true"
                                        << "2"
                                        << "true"
                                        << "false";
    QTest::newRow("equal") << 7 << "1"
                           << "'1'"
                           << "false"
                           << "false";
    QTest::newRow("NaN") << 7 << "NaN"
                         << "NaN"
                         << "undefined"
                         << "undefined";
    QTest::newRow("infinities") << 7 << "-Infinity"
                                << "Infinity"
                                << "true"
                                << "false";
    QTest::newRow("SWF 6 undefined is 0") << 6 << "u"
                                          << "7"
                                          << "true"
                                          << "false";
    QTest::newRow("SWF 6 null is 0") << 6 << "-7"
                                     << "null"
                                     << "true"
                                     << "false";
    QTest::newRow("SWF 7 undefined") << 7 << "u"
                                     << "7"
                                     << "undefined"
                                     << "undefined";
    QTest::newRow("SWF 8 null") << 8 << "null"
                                << "-7"
                                << "undefined"
                                << "undefined";
}

void ConvertTest::comparison()
{
    QFETCH(int, version);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(QString, less);
    QFETCH(QString, greater);
    avm1::Vm vm(version);
    const Value x = parse(vm, a);
    const Value y = parse(vm, b);
    QCOMPARE(show(vm, avm1::lessThan(vm, x, y)), less);
    QCOMPARE(show(vm, avm1::greaterThan(vm, x, y)), greater);
}

void ConvertTest::instanceOfChainAndInterfaces()
{
    avm1::Vm vm(7);
    auto makeClass = [&vm](avm1::Object* prototype) {
        avm1::Object* fn = vm.makeNative([](avm1::Vm&, const avm1::CallArgs&) { return Value(); });
        fn->defineValue(vm, "prototype", Value(prototype));
        return fn;
    };
    avm1::Object* base = vm.makeObject();
    avm1::Object* derived = vm.makeObject(base);
    avm1::Object* interfaceProto = vm.makeObject();
    avm1::Object* nestedProto = vm.makeObject();
    avm1::Object* Base = makeClass(base);
    avm1::Object* Derived = makeClass(derived);
    avm1::Object* Interface = makeClass(interfaceProto);
    avm1::Object* SameInterface = makeClass(interfaceProto);
    avm1::Object* Nested = makeClass(nestedProto);
    avm1::Object* Unrelated = makeClass(vm.makeObject());
    // ImplementsOp keeps the interfaces' prototypes.
    base->interfaces().push_back(interfaceProto);
    base->interfaces().push_back(nullptr); // an interface that had none
    interfaceProto->interfaces().push_back(nestedProto);
    nestedProto->interfaces().push_back(interfaceProto); // circular declarations end too
    const Value instance(vm.makeObject(derived));

    QVERIFY(avm1::instanceOf(vm, instance, Value(Derived)));
    QVERIFY(avm1::instanceOf(vm, instance, Value(Base)));
    QVERIFY(avm1::instanceOf(vm, instance, Value(Interface)));
    QVERIFY(avm1::instanceOf(vm, instance, Value(SameInterface)));
    QVERIFY(avm1::instanceOf(vm, instance, Value(Nested)));
    QVERIFY(!avm1::instanceOf(vm, instance, Value(Unrelated)));
    // The constructor's own slot is read, not an inherited one; any object with a
    // prototype of its own will do.
    QVERIFY(!avm1::instanceOf(vm, instance, Value(vm.makeObject(Base))));
    avm1::Object* plain = vm.makeObject();
    plain->defineValue(vm, "prototype", Value(base));
    QVERIFY(avm1::instanceOf(vm, instance, Value(plain)));
    // A primitive there is wrapped, and matches nothing.
    plain->defineValue(vm, "prototype", Value(3));
    QVERIFY(!avm1::instanceOf(vm, instance, Value(plain)));
    QVERIFY(!avm1::instanceOf(vm, Value(3), Value(Base)));
    QVERIFY(!avm1::instanceOf(vm, Value(Base), Value(Base)));
}

void ConvertTest::objectCoercion_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<Code>("code");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Add2 converts the right operand first") << 8 << Code([](ActionWriter& a) {
        defineObject(a, "one", {{"valueOf", "one", returns(1)}});
        defineObject(a, "xyz", {{"valueOf", "xyz", returns("xyz")}});
        traceBinary(a, "one", "xyz", Op::Add2);
    }) << "xyz\none\n1xyz";
    QTest::newRow("an object valueOf leaves is written by its toString")
        << 8 << Code([](ActionWriter& a) {
               defineObject(a, "o",
                            {{"valueOf", "valueOf", returnsObject()},
                             {"toString", "toString", returns("text")}});
               a.push({""}).push({"o"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
           })
        << "valueOf\ntoString\ntext";
    QTest::newRow("an object valueOf leaves is NaN, asked twice") << 8 << Code([](ActionWriter& a) {
        defineObject(a, "o", {{"valueOf", "valueOf", returnsObject()}});
        a.push({"o"}).op(Op::GetVariable).push({1}).op(Op::Add2).op(Op::Trace);
    }) << "valueOf\nvalueOf\nNaN";
    QTest::newRow("toString must give a string") << 7 << Code([](ActionWriter& a) {
        defineObject(a, "o", {{"toString", nullptr, returnsObject()}});
        defineObject(a, "n", {{"toString", nullptr, returns(5)}});
        defineObject(a, "s", {{"toString", nullptr, returns("five")}});
        a.push({"o"}).op(Op::GetVariable).op(Op::Trace);
        a.push({"n"}).op(Op::GetVariable).op(Op::Trace);
        a.push({"s"}).op(Op::GetVariable).op(Op::Trace);
    }) << "[type Object]\n[type Object]\nfive";
    QTest::newRow("no valueOf: undefined, SWF 7") << 7 << Code([](ActionWriter& a) {
        defineBareObject(a, "bare");
        a.push({""}).push({"bare"}).op(Op::GetVariable).op(Op::Add2).op(Op::Trace);
        a.push({"bare"}).op(Op::GetVariable).op(Op::Trace);
        traceBinary(a, "bare", "missing", Op::Equals2);
    }) << "undefined\n[type Object]\ntrue";
    QTest::newRow("no valueOf: undefined, SWF 6") << 6 << Code([](ActionWriter& a) {
        defineBareObject(a, "bare");
        a.push({"["}).push({"bare"}).op(Op::GetVariable).op(Op::Add2);
        a.push({"]"}).op(Op::Add2).op(Op::Trace);
    }) << "[]";
    QTest::newRow("__resolve is not asked for valueOf") << 7 << Code([](ActionWriter& a) {
        defineBareObject(a, "bare");
        ActionWriter resolve;
        resolve.push({"resolve"}).op(Op::Trace).push({1}).op(Op::Return);
        a.push({"bare"}).op(Op::GetVariable).push({"__resolve"});
        a.defineFunction("", {"name"}, resolve).op(Op::SetMember);
        a.push({"bare"}).op(Op::GetVariable).push({1}).op(Op::Add2).op(Op::Trace);
    }) << "NaN";
    QTest::newRow("Less2 stops at an object valueOf leaves") << 7 << Code([](ActionWriter& a) {
        defineObject(a, "stuck", {{"valueOf", "stuck", returnsObject()}});
        defineObject(a, "one", {{"valueOf", "one", returns(1)}});
        traceBinary(a, "stuck", "one", Op::Less2);
        traceBinary(a, "one", "stuck", Op::Less2);
    }) << "stuck\nfalse\none\nstuck\nfalse";
    QTest::newRow("Less2 with undefined from valueOf") << 7 << Code([](ActionWriter& a) {
        defineObject(a, "none", {{"valueOf", "none", returns(Undefined{})}});
        defineObject(a, "one", {{"valueOf", "one", returns(1)}});
        traceBinary(a, "one", "none", Op::Less2);
    }) << "one\nnone\nundefined";
    QTest::newRow("Equals2 asks valueOf against a primitive only")
        << 7 << Code([](ActionWriter& a) {
               defineObject(a, "one", {{"valueOf", "one", returns(1)}});
               defineObject(a, "uno", {{"valueOf", "uno", returns(1)}});
               a.push({"one"}).op(Op::GetVariable).push({"1"}).op(Op::Equals2).op(Op::Trace);
               traceBinary(a, "one", "uno", Op::Equals2);
           })
        << "one\ntrue\nfalse";
    QTest::newRow("SWF 5 Equals2 compares two objects by valueOf")
        << 5 << Code([](ActionWriter& a) {
               defineObject(a, "one", {{"valueOf", "one", returns(1)}});
               defineObject(a, "uno", {{"valueOf", "uno", returns(1)}});
               traceBinary(a, "one", "uno", Op::Equals2);
           })
        << "uno\none\ntrue";
    QTest::newRow("SWF 4 Equals converts the right operand first")
        << 8 << Code([](ActionWriter& a) {
               defineObject(a, "one", {{"valueOf", "one", returns(1)}});
               defineObject(a, "two", {{"valueOf", "two", returns(2)}});
               traceBinary(a, "one", "two", Op::Equals);
           })
        << "two\none\nfalse";
    QTest::newRow("a primitive is wrapped by the global constructor of now")
        << 7 << Code([](ActionWriter& a) {
               ActionWriter made;
               made.push({"made"}).op(Op::Trace);
               a.push({"_global"}).op(Op::GetVariable).push({"Number"});
               a.defineFunction("", {}, made).op(Op::SetMember);
               a.push({42, "x"}).op(Op::GetMember).op(Op::Trace);
           })
        << "made\nundefined";
}

void ConvertTest::objectCoercion()
{
    QFETCH(int, version);
    QFETCH(Code, code);
    QFETCH(QString, expected);
    ActionWriter a;
    code(a);
    QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(version, a))), expected);
}

QTEST_APPLESS_MAIN(ConvertTest)
#include "ConvertTest.moc"
