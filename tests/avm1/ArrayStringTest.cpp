// Array and String: the built-ins called through a VM as scripts call them, with the
// reference player's quirks the corpus shows (sort order and flags, splice, the 32-bit
// length, split, UTF-16 positions, SWF 5's bytes).
#include "ScriptRun.h"
#include "avm1/PropertyMap.h"
#include "avm1/StringUnits.h"
#include "avm1/Vm.h"
#include "avm1/builtins/ArrayObject.h"

#include <QtTest>
#include <cmath>

using avm1::Value;

namespace {

// A VM of one version with shorthands for the calls the tests make.
class Script {
public:
    explicit Script(int version) : m_vm(version) {}

    avm1::Vm& vm() { return m_vm; }
    Value str(std::string_view text) { return Value(m_vm.str(text)); }
    // Values written compactly in test tables: 'text' is a string, u undefined, null,
    // true and false themselves, anything else a number.
    Value parse(const QString& token)
    {
        if (token.startsWith('\''))
            return str(token.mid(1, token.size() - 2).toStdString());
        if (token == "u")
            return Value();
        if (token == "null")
            return Value::null();
        if (token == "true" || token == "false")
            return Value(token == "true");
        if (token.endsWith("Infinity"))
            return Value(token.startsWith('-') ? -HUGE_VAL : HUGE_VAL);
        return Value(token.toDouble());
    }
    std::vector<Value> parseAll(const QStringList& tokens)
    {
        std::vector<Value> values;
        for (const QString& t : tokens)
            values.push_back(parse(t));
        return values;
    }
    Value array(const QStringList& tokens) { return Value(m_vm.makeArray(parseAll(tokens))); }
    Value call(Value target, std::string_view method, const std::vector<Value>& args = {})
    {
        return m_vm.callMethod(target, m_vm.str(method), args);
    }
    Value get(Value target, std::string_view name)
    {
        return m_vm.getMember(target, m_vm.str(name));
    }
    void set(Value target, std::string_view name, Value value)
    {
        m_vm.setMember(target, m_vm.str(name), value);
    }
    // As text leaves the engine: a lone surrogate half shows as U+FFFD.
    QString text(Value v)
    {
        return QString::fromStdString(avm1::withoutLoneSurrogates(m_vm.toStdString(v)));
    }
    // Own enumerable names in creation order (for..in shows them last first).
    QString keys(Value target)
    {
        QStringList names;
        target.asObject()->properties().forEach([&](const avm1::Property& p) {
            if (p.enumerable())
                names << QString::fromStdString(p.name->text());
        });
        return names.join(',');
    }
    void protect(Value target, std::string_view name, std::uint16_t flags)
    {
        m_vm.findOwn(target.asObject(), m_vm.str(name))->flags |= flags;
    }
    Value global(std::string_view name) { return m_vm.getMember(m_vm.global(), m_vm.str(name)); }

private:
    avm1::Vm m_vm;
};

int s_compareCalls = 0;
bool s_compareSawThis = false;

// function (a, b) { return a.length - b.length; }, counting its calls.
Value compareLengths(avm1::Vm& vm, const avm1::CallArgs& call)
{
    ++s_compareCalls;
    s_compareSawThis |= !call.thisValue.isUndefined();
    return Value(vm.stringLength(vm.toString(call.arg(0))) -
                 vm.stringLength(vm.toString(call.arg(1))));
}

// A compare function that contradicts itself.
Value compareAlwaysLess(avm1::Vm&, const avm1::CallArgs&)
{
    return Value(-1);
}

// Code that leaves `a` on the stack: the variable's value.
void getA(swfwriter::ActionWriter& code)
{
    code.push({"a"}).op(swfwriter::Op::GetVariable);
}

// Traces every name for..in gives for `a`.
void traceKeys(swfwriter::ActionWriter& code)
{
    using swfwriter::Op;
    getA(code);
    code.op(Op::Enumerate2);
    const auto loop = code.label();
    const auto done = code.label();
    code.bind(loop).op(Op::PushDuplicate).push({nullptr}).op(Op::Equals2).ifTrue(done);
    code.op(Op::Trace).jump(loop);
    code.bind(done).op(Op::Pop);
}

} // namespace

class ArrayStringTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sortOrdersByFlags_data()
    {
        QTest::addColumn<QStringList>("elements");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("after");
        const QStringList numbers{"8", "5", "3", "1", "0", "-2", "-7", "-9"};
        const QString unsorted = "8,5,3,1,0,-2,-7,-9";
        QTest::newRow("as text") << numbers << 0 << "-2,-7,-9,0,1,3,5,8"
                                 << "-2,-7,-9,0,1,3,5,8";
        QTest::newRow("numeric") << numbers << 16 << "-9,-7,-2,0,1,3,5,8"
                                 << "-9,-7,-2,0,1,3,5,8";
        QTest::newRow("descending text") << numbers << 2 << "8,5,3,1,0,-9,-7,-2"
                                         << "8,5,3,1,0,-9,-7,-2";
        QTest::newRow("numeric descending") << numbers << 18 << "8,5,3,1,0,-2,-7,-9"
                                            << "8,5,3,1,0,-2,-7,-9";
        QTest::newRow("indexed") << numbers << 8 << "5,6,7,4,3,2,1,0" << unsorted;
        QTest::newRow("indexed numeric") << numbers << 24 << "7,6,5,4,3,2,1,0" << unsorted;
        QTest::newRow("unique with a duplicate") << QStringList{"3", "1", "3"} << 4 << "0"
                                                 << "3,1,3";
        QTest::newRow("unique without one") << QStringList{"3", "1", "2"} << 4 << "1,2,3"
                                            << "1,2,3";
        QTest::newRow("case sensitive puts capitals first")
            << QStringList{"'vi'", "'ED'", "'ed'", "'Jedit'", "''"} << 0 << ",ED,Jedit,ed,vi"
            << ",ED,Jedit,ed,vi";
        QTest::newRow("case-insensitive keeps equal ones in order")
            << QStringList{"'ed'", "'b'", "'ED'", "'A'"} << 1 << "A,b,ed,ED"
            << "A,b,ed,ED";
        QTest::newRow("case-insensitive unique fails") << QStringList{"'ed'", "'ED'"} << 5 << "0"
                                                       << "ed,ED";
        // Ties keep their order descending too: the two Infinity elements stay 1, 2.
        QTest::newRow("indexed descending ties")
            << QStringList{"null", "Infinity", "Infinity", "8.35", "-0.5", "-3.7"} << 10
            << "0,1,2,3,5,4"
            << "null,Infinity,Infinity,8.35,-0.5,-3.7";
        QTest::newRow("numeric puts null after numbers")
            << QStringList{"null", "2", "Infinity", "-3.7"} << 16 << "-3.7,2,Infinity,null"
            << "-3.7,2,Infinity,null";
        QTest::newRow("empty") << QStringList{} << 8 << ""
                               << "";
    }

    void sortOrdersByFlags()
    {
        QFETCH(QStringList, elements);
        QFETCH(int, flags);
        QFETCH(QString, result);
        QFETCH(QString, after);
        Script s(8);
        const Value a = s.array(elements);
        QCOMPARE(s.text(s.call(a, "sort", {Value(flags)})), result);
        QCOMPARE(s.text(a), after);
    }

    void sortCallsTheCompareFunctionAsTheReferenceDoes()
    {
        Script s(6);
        const Value a = s.array({"'But'", "'Different'", "'alphabet'", "'capitalization'"});
        s_compareCalls = 0;
        s_compareSawThis = false;
        const Value byLength(s.vm().makeNative(compareLengths));
        const Value result = s.call(a, "sort", {byLength});
        QCOMPARE(result.asObject(), a.asObject());
        QCOMPARE(s.text(a), QString("But,alphabet,Different,capitalization"));
        QCOMPARE(s_compareCalls, 7);
        QVERIFY(!s_compareSawThis);
        QCOMPARE(s.text(s.call(a, "sort", {byLength, Value(2)})),
                 QString("capitalization,Different,alphabet,But"));
        // DESCENDING reverses the ascending result, equal elements included.
        const Value ties = s.array({"'ab'", "'e'", "'cd'"});
        QCOMPARE(s.text(s.call(ties, "sort", {byLength, Value(2)})), QString("cd,ab,e"));
        // UNIQUESORT does nothing with a compare function, even for equal elements.
        const Value repeated = s.array({"'emacs'", "'ed'", "'ed'"});
        QCOMPARE(s.text(s.call(repeated, "sort", {byLength, Value(4)})), QString("ed,ed,emacs"));
    }

    void sortSurvivesContradictingCompareFunctions()
    {
        Script s(7);
        QStringList many;
        for (int i = 0; i < 100; ++i)
            many << QString::number(i % 7);
        const Value a = s.array(many);
        s.call(a, "sort", {Value(s.vm().makeNative(compareAlwaysLess))});
        QCOMPARE(s.get(a, "length").asNumber(), 100.0);
        // Still a permutation of what it held.
        s.call(a, "sort", {Value(16)});
        QStringList expected;
        for (int v = 0; v < 7; ++v)
            for (int i = 0; i < 100; ++i)
                if (i % 7 == v)
                    expected << QString::number(v);
        QCOMPARE(s.text(a), expected.join(','));
    }

    // A sparse array sorts its holes (undefined, "" in SWF 5) first; elements that
    // existed keep their place in the creation order.
    void sortAssignsArrayElementsInPlace()
    {
        Script s(5);
        const Value a(s.vm().makeArray({}));
        s.set(a, "4", s.str("4"));
        s.set(a, "16", s.str("16"));
        s.call(a, "sort");
        QCOMPARE(s.keys(a), QString("4,16,15"));
        QVERIFY(s.get(a, "4").isUndefined());
        QCOMPARE(s.text(s.get(a, "15")), QString("16"));
        QCOMPARE(s.text(s.get(a, "16")), QString("4"));
    }

    void sortOnOrdersRecords_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("order");
        QTest::newRow("one field") << QStringList{"'name'"} << QStringList{} << "A,C,E,Z";
        QTest::newRow("text year, ties stay")
            << QStringList{"'year'"} << QStringList{} << "Z,A,C,E";
        QTest::newRow("descending") << QStringList{"'name'"} << QStringList{"2"} << "Z,E,C,A";
        QTest::newRow("two fields")
            << QStringList{"['electronic'", "'year']"} << QStringList{} << "Z,A,C,E";
        QTest::newRow("flags per field")
            << QStringList{"['electronic'", "'year']"} << QStringList{"[0", "18]"} << "Z,E,C,A";
        QTest::newRow("indexed") << QStringList{"'name'"} << QStringList{"8"} << "1,3,2,0";
        QTest::newRow("flags array needs a fields array")
            << QStringList{"'name'"} << QStringList{"[2]"} << "A,C,E,Z";
        QTest::newRow("unique fails on equal years")
            << QStringList{"'year'"} << QStringList{"4"} << "0";
        QTest::newRow("missing field keeps the order")
            << QStringList{"'colour'"} << QStringList{} << "Z,A,E,C";
    }

    void sortOnOrdersRecords()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, flags);
        QFETCH(QString, order);
        Script s(7);
        struct Machine {
            const char* name;
            int year;
            bool electronic;
        };
        const Machine machines[] = {
            {"Z", 1941, false}, {"A", 1941, true}, {"E", 1944, true}, {"C", 1943, true}};
        std::vector<Value> records;
        for (const Machine& m : machines) {
            avm1::Object* o = s.vm().makeObject();
            s.set(Value(o), "name", s.str(m.name));
            s.set(Value(o), "year", Value(m.year));
            s.set(Value(o), "electronic", Value(m.electronic));
            records.push_back(Value(o));
        }
        const Value a(s.vm().makeArray(records));
        // "[x", "y]" in a table stands for an array argument.
        auto argument = [&](const QStringList& tokens) {
            if (tokens.isEmpty())
                return Value();
            if (!tokens.first().startsWith('['))
                return s.parse(tokens.first());
            QStringList inner = tokens;
            inner.first().remove(0, 1);
            inner.last().chop(1);
            return s.array(inner);
        };
        std::vector<Value> args{argument(fields)};
        if (!flags.isEmpty())
            args.push_back(argument(flags));
        const Value result = s.call(a, "sortOn", args);
        if (result.isObject() && result.asObject() == a.asObject()) {
            QStringList names;
            for (int i = 0; i < 4; ++i)
                names << s.text(s.get(s.get(a, std::to_string(i)), "name"));
            QCOMPARE(names.join(','), order);
        } else {
            QCOMPARE(s.text(result), order);
            QCOMPARE(s.text(s.get(s.get(a, "0"), "name")), QString("Z")); // unchanged
        }
    }

    void sortOnWithoutArgumentsDoesNothing()
    {
        Script s(7);
        const Value a = s.array({"'b'", "'a'"});
        QVERIFY(s.call(a, "sortOn").isUndefined());
        QCOMPARE(s.text(a), QString("b,a"));
    }

    void spliceEdges_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("after");
        // On [0, 1, 2, 3, 4, 5]; "u" as the result means undefined.
        QTest::newRow("no arguments") << QStringList{} << "u"
                                      << "0,1,2,3,4,5";
        QTest::newRow("from start") << QStringList{"0", "1"} << "0"
                                    << "1,2,3,4,5";
        QTest::newRow("to the end") << QStringList{"2"} << "2,3,4,5"
                                    << "0,1";
        QTest::newRow("negative start") << QStringList{"-2", "1"} << "4"
                                        << "0,1,2,3,5";
        QTest::newRow("start past the end") << QStringList{"10", "2"} << ""
                                            << "0,1,2,3,4,5";
        QTest::newRow("start before the beginning") << QStringList{"-10", "1"} << "0"
                                                    << "1,2,3,4,5";
        QTest::newRow("count past the end") << QStringList{"4", "10"} << "4,5"
                                            << "0,1,2,3";
        QTest::newRow("negative count") << QStringList{"1", "-1"} << "u"
                                        << "0,1,2,3,4,5";
        QTest::newRow("insert only") << QStringList{"3", "0", "'a'", "'b'"} << ""
                                     << "0,1,2,a,b,3,4,5";
        QTest::newRow("replace") << QStringList{"1", "2", "'x'"} << "1,2"
                                 << "0,x,3,4,5";
        QTest::newRow("insert at the end") << QStringList{"6", "0", "'z'"} << ""
                                           << "0,1,2,3,4,5,z";
        QTest::newRow("wrapped start") << QStringList{"4294967297", "1"} << "1"
                                       << "0,2,3,4,5";
    }

    void spliceEdges()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, removed);
        QFETCH(QString, after);
        Script s(7);
        const Value a = s.array({"0", "1", "2", "3", "4", "5"});
        const Value result = s.call(a, "splice", s.parseAll(args));
        QCOMPARE(result.isUndefined() ? QString("u") : s.text(result), removed);
        QCOMPARE(s.text(a), after);
        QCOMPARE(s.get(a, "length").asNumber(), double(after.split(',').size()));
    }

    void spliceFillsHoles()
    {
        Script s(7);
        const Value a(s.vm().makeArray({}));
        s.set(a, "length", Value(4));
        s.set(a, "1", Value(1));
        s.call(a, "splice", {Value(2), Value(0), Value(7)});
        // Every element from 0 on is assigned, so the holes come back as elements.
        QCOMPARE(s.keys(a), QString("1,0,2,3,4"));
        QCOMPARE(s.get(a, "length").asNumber(), 5.0);
    }

    void lengthTruncatesAndExtends_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<double>("length");
        QTest::addColumn<QString>("keys");
        // Steps on ['a', 'b', 'c', 'd']: "length=N" assigns the length, "N" stores 'x'
        // at element N.
        QTest::newRow("shorter") << QStringList{"length=2"} << 2.0 << "0,1";
        QTest::newRow("longer leaves holes") << QStringList{"length=9"} << 9.0 << "0,1,2,3";
        QTest::newRow("zero") << QStringList{"length=0"} << 0.0 << "";
        QTest::newRow("negative removes everything") << QStringList{"length=-1"} << -1.0 << "";
        QTest::newRow("wraps to 32 bits") << QStringList{"length=4294967297"} << 1.0 << "0";
        QTest::newRow("not a number is -2^31")
            << QStringList{"length='many'"} << -2147483648.0 << "";
        QTest::newRow("infinity is -2^31") << QStringList{"length=Infinity"} << -2147483648.0 << "";
        QTest::newRow("element past the end") << QStringList{"7"} << 8.0 << "0,1,2,3,7";
        QTest::newRow("element inside") << QStringList{"1"} << 4.0 << "0,1,2,3";
        QTest::newRow("names that are not indexes")
            << QStringList{"-5", "x1"} << 4.0 << "0,1,2,3,-5,x1";
        // Assignments extend by the leading digits of the name; shortening removes only
        // names that are indexes.
        QTest::newRow("fractions extend") << QStringList{"5.5"} << 6.0 << "0,1,2,3,5.5";
        QTest::newRow("a sign wraps too")
            << QStringList{"length=1", "-2147483649"} << -2147483648.0 << "-2147483649";
        QTest::newRow("fractions stay when shortened")
            << QStringList{"1.5", "length=0"} << 0.0 << "1.5";
        // Indexes wrap to 32 bits before they meet the length: 2^31 is -2^31 there.
        QTest::newRow("an index that wraps below the length")
            << QStringList{"2147483648", "4294967296"} << 4.0 << "0,1,2,3,2147483648,4294967296";
        // 2^31 - 1 + 1 wraps to -2^31, which counts as a shortening below 4.
        QTest::newRow("the last index wraps the length")
            << QStringList{"2147483647"} << -2147483648.0 << "2147483647";
        QTest::newRow("and a later length keeps it")
            << QStringList{"2147483647", "length=1"} << 1.0 << "2147483647";
        QTest::newRow("wrapped indexes climb from -2^31")
            << QStringList{"2147483647", "2147483648", "4294967294", "4294967295", "4294967296"}
            << 1.0 << "2147483647,2147483648,4294967294,4294967295,4294967296";
    }

    void lengthTruncatesAndExtends()
    {
        QFETCH(QStringList, steps);
        QFETCH(double, length);
        QFETCH(QString, keys);
        Script s(7);
        const Value a = s.array({"'a'", "'b'", "'c'", "'d'"});
        for (const QString& step : steps) {
            if (step.startsWith("length="))
                s.set(a, "length", s.parse(step.mid(7)));
            else
                s.set(a, step.toStdString(), s.str("x"));
        }
        QCOMPARE(s.get(a, "length").asNumber(), length);
        QCOMPARE(s.keys(a), keys);
    }

    void deleteLeavesTheLength()
    {
        Script s(7);
        const Value a = s.array({"10", "20", "30"});
        QVERIFY(s.vm().deleteMember(a.asObject(), s.vm().str("2")));
        QCOMPARE(s.get(a, "length").asNumber(), 3.0);
        QCOMPARE(s.text(a), QString("10,20,undefined"));
    }

    void constructorArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("length");
        QTest::newRow("none") << QStringList{} << "" << 0.0;
        QTest::newRow("a length") << QStringList{"3"} << "undefined,undefined,undefined" << 3.0;
        QTest::newRow("a negative length") << QStringList{"-1"} << "" << -1.0;
        QTest::newRow("a string is an element") << QStringList{"'3'"} << "3" << 1.0;
        QTest::newRow("undefined is an element") << QStringList{"u"} << "undefined" << 1.0;
        QTest::newRow("elements") << QStringList{"1", "true", "null"} << "1,true,null" << 3.0;
    }

    void constructorArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, text);
        QFETCH(double, length);
        Script s(7);
        const std::vector<Value> values = s.parseAll(args);
        const Value made = s.vm().construct(s.global("Array"), values);
        const Value called = s.vm().call(s.global("Array"), Value(), values);
        for (const Value& a : {made, called}) {
            QCOMPARE(s.text(a), text);
            QCOMPARE(s.get(a, "length").asNumber(), length);
            QVERIFY(avm1::asArrayObject(a));
        }
    }

    // The reference moves elements by deleting the destination and assigning it, so
    // moved elements go to the end of the creation order; protected ones stay put.
    void unshiftMovesElementsAsTheReference_data()
    {
        QTest::addColumn<int>("protection");
        QTest::addColumn<QString>("elements");
        QTest::addColumn<QString>("keys");
        QTest::newRow("plain") << 0 << "42,43,44,1,2,3"
                               << "5,4,3,0,1,2";
        QTest::newRow("hidden") << 1 << "42,43,44,1,2,3"
                                << "5,4,3,0,1,2";
        QTest::newRow("permanent") << 2 << "42,43,44,1,2,3"
                                   << "0,5,4,3,1,2";
        QTest::newRow("permanent read-only") << 6 << "1,43,44,1,2,3"
                                             << "0,5,4,3,1,2";
    }

    void unshiftMovesElementsAsTheReference()
    {
        QFETCH(int, protection);
        QFETCH(QString, elements);
        QFETCH(QString, keys);
        Script s(7);
        const Value a = s.array({"1", "2", "3"});
        s.protect(a, "0", static_cast<std::uint16_t>(protection));
        const Value added = s.call(a, "unshift", {Value(42), Value(43), Value(44)});
        QCOMPARE(added.asNumber(), 6.0);
        QCOMPARE(s.text(a), elements);
        QCOMPARE(s.keys(a), keys);
    }

    // Applied to other objects, pop, shift, unshift and reverse leave "length" alone;
    // push and splice assign it.
    void genericMethodsOnPlainObjects_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<double>("length");
        // On { 1: 'one' ... 7: 'seven', length: 6 }.
        QTest::newRow("shift") << "shift" << QStringList{} << "5,6,7,length,0,1,2,3,4" << 6.0;
        QTest::newRow("unshift") << "unshift" << QStringList{"'z'"} << "7,length,6,5,4,3,2,1,0"
                                 << 6.0;
        QTest::newRow("pop") << "pop" << QStringList{} << "1,2,3,4,6,7,length" << 6.0;
        QTest::newRow("reverse") << "reverse" << QStringList{} << "6,7,length,0,5,1,4,2,3" << 6.0;
        QTest::newRow("push") << "push" << QStringList{"'x'"} << "1,2,3,4,5,6,7,length" << 7.0;
        QTest::newRow("splice") << "splice" << QStringList{"2", "3", "'a'", "'b'"}
                                << "1,2,3,4,5,6,7,length,0" << 5.0;
        // SWF 5 sorts the missing element 0 first, as "", and leaves it deleted.
        QTest::newRow("sort") << "sort" << QStringList{} << "6,7,length,1,2,3,4,5" << 6.0;
    }

    void genericMethodsOnPlainObjects()
    {
        QFETCH(QString, method);
        QFETCH(QStringList, args);
        QFETCH(QString, keys);
        QFETCH(double, length);
        Script s(5);
        const Value o(s.vm().makeObject());
        const char* names[] = {"one", "two", "three", "four", "five", "six", "seven"};
        for (int i = 1; i <= 7; ++i)
            s.set(o, std::to_string(i), s.str(names[i - 1]));
        s.set(o, "length", Value(6));
        s.vm().call(s.get(s.get(s.global("Array"), "prototype"), method.toStdString()), o,
                    s.parseAll(args));
        QCOMPARE(s.keys(o), keys);
        QCOMPARE(s.get(o, "length").asNumber(), length);
    }

    void joinReadsOwnElementsOnly()
    {
        Script s(5);
        const Value a(s.vm().makeArray({}));
        s.set(a, "0", s.str("zero"));
        s.set(a, "5", s.str("five"));
        s.set(Value(s.vm().builtins().objectProto), "2", s.str("inherited"));
        QCOMPARE(s.text(s.get(a, "2")), QString("inherited"));
        // SWF 5 writes undefined as "".
        QCOMPARE(s.text(s.call(a, "join", {s.str("/")})), QString("zero/////five"));
        QCOMPARE(s.text(s.call(a, "join")), QString("zero,,,,,five"));
    }

    void joinOnOtherObjectsGivesNothing()
    {
        Script s(7);
        const Value o(s.vm().makeObject());
        s.set(o, "0", s.str("zero"));
        s.set(o, "length", Value(1));
        const Value join = s.get(s.get(s.global("Array"), "prototype"), "join");
        QCOMPARE(s.text(s.vm().call(join, o, {})), QString(""));
    }

    void sliceAndConcat()
    {
        Script s(7);
        const Value a = s.array({"1", "2", "3", "4", "5"});
        QCOMPARE(s.text(s.call(a, "slice", {Value(1), s.str("3")})), QString("2,3"));
        QCOMPARE(s.text(s.call(a, "slice", {Value(1), Value()})), QString("2,3,4,5"));
        QCOMPARE(s.text(s.call(a, "slice", {Value(1), Value::null()})), QString(""));
        QCOMPARE(s.text(s.call(a, "slice", {Value(-2), Value(4)})), QString("4"));
        const Value nested = s.array({"'x'"});
        const Value joined = s.call(a, "concat", {Value(7), nested, s.array({})});
        QCOMPARE(s.text(joined), QString("1,2,3,4,5,7,x"));
        QCOMPARE(s.get(joined, "length").asNumber(), 7.0);
    }

    void splitQuirks_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("pieces");
        QTest::addColumn<int>("count");
        const QString csv = "A,,b,c,";
        QTest::newRow("comma") << 6 << csv << QStringList{"','"} << "A||b|c|" << 5;
        QTest::newRow("limit") << 6 << csv << QStringList{"','", "2"} << "A|" << 2;
        QTest::newRow("limit zero") << 6 << csv << QStringList{"','", "0"} << "" << 0;
        QTest::newRow("negative limit") << 6 << csv << QStringList{"','", "-100"} << "" << 0;
        QTest::newRow("null limit") << 6 << csv << QStringList{"','", "null"} << "" << 0;
        QTest::newRow("undefined limit") << 6 << csv << QStringList{"','", "u"} << "A||b|c|" << 5;
        QTest::newRow("limit zero, no separator")
            << 6 << "aa" << QStringList{"u", "0"} << "aa" << 1;
        QTest::newRow("limit zero, empty text") << 6 << "" << QStringList{"'b'", "0"} << "" << 1;
        QTest::newRow("limit zero, separator absent")
            << 6 << "aa" << QStringList{"'b'", "0"} << "" << 0;
        QTest::newRow("SWF 5 limit zero, empty separator")
            << 5 << "aa" << QStringList{"''", "0"} << "aa" << 1;
        QTest::newRow("SWF 5 limit zero, long separator")
            << 5 << "aa" << QStringList{"'aa'", "0"} << "" << 0;
        QTest::newRow("SWF 5 limit zero, empty text")
            << 5 << "" << QStringList{"'b'", "0"} << "" << 0;
        QTest::newRow("no separator") << 6 << csv << QStringList{} << csv << 1;
        QTest::newRow("empty separator") << 6 << "abc" << QStringList{"''"} << "a|b|c" << 3;
        QTest::newRow("empty separator, empty text") << 6 << "" << QStringList{"''"} << "" << 0;
        QTest::newRow("separator, empty text") << 6 << "" << QStringList{"'x'"} << "" << 1;
        QTest::newRow("long separator")
            << 6 << "wallawalla" << QStringList{"'la'"} << "wal|wal|" << 3;
        QTest::newRow("SWF 5 without separator splits at commas")
            << 5 << csv << QStringList{"u"} << "A||b|c|" << 5;
        QTest::newRow("SWF 5 empty separator") << 5 << "abc" << QStringList{"''"} << "abc" << 1;
        QTest::newRow("SWF 5 long separator")
            << 5 << "wallawalla" << QStringList{"'la'"} << "wallawalla" << 1;
        QTest::newRow("SWF 5 limit first") << 5 << csv << QStringList{"u", "0"} << "" << 0;
        QTest::newRow("units of non-ASCII text") << 6 << "äöü" << QStringList{"''"} << "ä|ö|ü" << 3;
    }

    void splitQuirks()
    {
        QFETCH(int, version);
        QFETCH(QString, text);
        QFETCH(QStringList, args);
        QFETCH(QString, pieces);
        QFETCH(int, count);
        Script s(version);
        const Value result = s.call(s.str(text.toStdString()), "split", s.parseAll(args));
        QVERIFY(avm1::asArrayObject(result));
        QCOMPARE(s.get(result, "length").asNumber(), double(count));
        QCOMPARE(s.text(s.call(result, "join", {s.str("|")})), pieces);
    }

    void substringsAndPositions_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("result");
        const QString s = "HELLOhello";
        QTest::newRow("substr") << 7 << s << "substr" << QStringList{"1", "2"} << "EL";
        QTest::newRow("substr from the end") << 7 << s << "substr" << QStringList{"-5"} << "hello";
        QTest::newRow("substr null length") << 7 << s << "substr" << QStringList{"3", "null"} << "";
        QTest::newRow("substr undefined length")
            << 7 << s << "substr" << QStringList{"3", "u"} << "LOhello";
        QTest::newRow("substr wraps")
            << 7 << s << "substr" << QStringList{"4294967296", "-4294967294"} << "HE";
        QTest::newRow("substr negative length")
            << 7 << s << "substr" << QStringList{"2", "-1"} << "";
        QTest::newRow("substr without arguments") << 7 << s << "substr" << QStringList{} << "u";
        QTest::newRow("substring swaps") << 7 << s << "substring" << QStringList{"6", "3"} << "LOh";
        QTest::newRow("substring null end")
            << 7 << s << "substring" << QStringList{"3", "null"} << "HEL";
        QTest::newRow("substring negative") << 7 << s << "substring" << QStringList{"-5"} << s;
        QTest::newRow("substring past the end") << 7 << s << "substring" << QStringList{"16"} << "";
        QTest::newRow("slice from the end") << 7 << s << "slice" << QStringList{"-3", "-1"} << "ll";
        QTest::newRow("slice crossed") << 7 << s << "slice" << QStringList{"-1", "-3"} << "";
        QTest::newRow("slice null") << 7 << s << "slice" << QStringList{"null", "null"} << "";
        QTest::newRow("slice undefined") << 7 << s << "slice" << QStringList{"u", "u"} << s;
        QTest::newRow("slice without arguments") << 7 << s << "slice" << QStringList{} << "u";
        QTest::newRow("charAt wraps") << 7 << s << "charAt" << QStringList{"4294967297"} << "E";
        QTest::newRow("charAt before") << 7 << s << "charAt" << QStringList{"-100"} << "";
        QTest::newRow("charCodeAt before") << 7 << s << "charCodeAt" << QStringList{"-1"} << "NaN";
        QTest::newRow("charCodeAt past the end")
            << 7 << s << "charCodeAt" << QStringList{"12"} << "0";
        QTest::newRow("indexOf from") << 7 << s << "indexOf" << QStringList{"'l'", "3"} << "7";
        QTest::newRow("indexOf negative from")
            << 7 << s << "indexOf" << QStringList{"'H'", "-3"} << "0";
        QTest::newRow("indexOf empty past the end")
            << 7 << s << "indexOf" << QStringList{"''", "11"} << "-1";
        QTest::newRow("indexOf empty at the end")
            << 7 << s << "indexOf" << QStringList{"''", "10"} << "10";
        QTest::newRow("indexOf without arguments") << 7 << s << "indexOf" << QStringList{} << "u";
        QTest::newRow("lastIndexOf") << 7 << s << "lastIndexOf" << QStringList{"'l'"} << "8";
        QTest::newRow("lastIndexOf from")
            << 7 << s << "lastIndexOf" << QStringList{"'l'", "7"} << "7";
        QTest::newRow("lastIndexOf negative from")
            << 7 << s << "lastIndexOf" << QStringList{"'H'", "-1"} << "-1";
        QTest::newRow("lastIndexOf null from")
            << 7 << s << "lastIndexOf" << QStringList{"'L'", "null"} << "-1";
        QTest::newRow("lastIndexOf empty") << 7 << s << "lastIndexOf" << QStringList{"''"} << "10";
        // Non-ASCII text counts UTF-16 units from SWF 6, bytes in SWF 5.
        const QString k = "Känguru größer";
        QTest::newRow("units: length") << 6 << k << "length" << QStringList{} << "14";
        QTest::newRow("bytes: length") << 5 << k << "length" << QStringList{} << "17";
        QTest::newRow("units: slice") << 6 << k << "slice" << QStringList{"3", "5"} << "gu";
        QTest::newRow("bytes: slice") << 5 << k << "slice" << QStringList{"3", "5"} << "ng";
        QTest::newRow("units: charAt") << 6 << k << "charAt" << QStringList{"1"} << "ä";
        QTest::newRow("units: charCodeAt") << 6 << k << "charCodeAt" << QStringList{"10"} << "246";
        QTest::newRow("bytes: charCodeAt") << 5 << k << "charCodeAt" << QStringList{"11"} << "195";
        QTest::newRow("units: indexOf") << 6 << k << "indexOf" << QStringList{"'r'"} << "5";
        QTest::newRow("bytes: indexOf") << 5 << k << "indexOf" << QStringList{"'r'"} << "6";
        QTest::newRow("units: lastIndexOf")
            << 6 << k << "lastIndexOf" << QStringList{"'ö'"} << "10";
        const QString emoji = "😋航空母艦testing!";
        QTest::newRow("pair: length") << 6 << emoji << "length" << QStringList{} << "14";
        QTest::newRow("pair: whole") << 6 << emoji << "substring" << QStringList{"0", "2"} << "😋";
        QTest::newRow("pair: half") << 6 << emoji << "charAt" << QStringList{"0"} << "\uFFFD";
        QTest::newRow("pair: code of a half")
            << 6 << emoji << "charCodeAt" << QStringList{"1"} << "65533";
        QTest::newRow("pair: after") << 6 << emoji << "substr" << QStringList{"2", "2"} << "航空";
        QTest::newRow("pair: search after") << 6 << emoji << "indexOf" << QStringList{"'t'"} << "6";
        QTest::newRow("upper case") << 6 << "größer ÿ"
                                    << "toUpperCase" << QStringList{} << "GRÖßER Ÿ";
        QTest::newRow("lower case") << 6 << "ÄÖÜ ΣΑ Ж"
                                    << "toLowerCase" << QStringList{} << "äöü σα ж";
        QTest::newRow("SWF 5 case is ASCII") << 5 << "Äa"
                                             << "toUpperCase" << QStringList{} << "ÄA";
        QTest::newRow("concat") << 5 << "a"
                                << "concat" << QStringList{"null", "u", "0", "true"}
                                << "anull0true";
    }

    void substringsAndPositions()
    {
        QFETCH(int, version);
        QFETCH(QString, text);
        QFETCH(QString, method);
        QFETCH(QStringList, args);
        QFETCH(QString, result);
        Script s(version);
        const Value value = s.str(text.toStdString());
        const Value got = method == "length"
                              ? s.get(value, "length")
                              : s.call(value, method.toStdString(), s.parseAll(args));
        QCOMPARE(got.isUndefined() && version >= 7 && result == "u" ? QString("u") : s.text(got),
                 result);
    }

    void fromCharCode_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 7 << QStringList{"80"} << "P";
        QTest::newRow("wraps to 16 bits") << 7 << QStringList{"-65456"} << "P";
        QTest::newRow("not a number") << 7 << QStringList{"'BAD'"} << "";
        QTest::newRow("stops at 0") << 7 << QStringList{"80", "0", "82"} << "P";
        QTest::newRow("none") << 7 << QStringList{} << "";
        QTest::newRow("a surrogate pair") << 7 << QStringList{"55357", "56843"} << "😋";
        QTest::newRow("a lone surrogate") << 7 << QStringList{"55297"} << "\uFFFD";
        QTest::newRow("beyond Latin-1") << 6 << QStringList{"998"} << "Ϧ";
        QTest::newRow("SWF 5 keeps the low byte") << 5 << QStringList{"865"} << "a";
    }

    void fromCharCode()
    {
        QFETCH(int, version);
        QFETCH(QStringList, codes);
        QFETCH(QString, text);
        Script s(version);
        const Value result = s.call(s.global("String"), "fromCharCode", s.parseAll(codes));
        QCOMPARE(s.text(result), text);
    }

    // The helpers under the StringExtract, CharToAscii and AsciiToChar actions.
    void actionHelpers_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("extract");
        QTest::addColumn<uint>("firstCode");
        const QString s = "😋航空母艦testing!";
        QTest::newRow("a pair") << 6 << s << 1 << 2 << "😋" << 65533u;
        QTest::newRow("from the third unit") << 6 << s << 3 << 1 << "航" << 65533u;
        QTest::newRow("index 0 is 1") << 6 << s << 0 << 2 << "😋" << 65533u;
        QTest::newRow("negative count takes the rest") << 6 << s << -5 << -100 << s << 65533u;
        QTest::newRow("wrapped") << 6 << s << 7 << 2 << "te" << 65533u;
        QTest::newRow("count 0") << 6 << s << 2 << 0 << "" << 65533u;
        QTest::newRow("BMP") << 6 << "愛x" << 2 << 5 << "x" << 24859u;
        // Half of the two bytes of "ö".
        QTest::newRow("SWF 5 bytes") << 5 << "ö" << 1 << 1 << "<lead byte>" << 195u;
        QTest::newRow("empty") << 6 << "" << 1 << 1 << "" << 0u;
    }

    void actionHelpers()
    {
        QFETCH(int, version);
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(int, count);
        QFETCH(QString, extract);
        QFETCH(uint, firstCode);
        avm1::Vm vm(version);
        const avm1::CharUnits units = avm1::charUnitsFor(version);
        const avm1::String* string = vm.str(text.toStdString());
        const std::string expected =
            extract == "<lead byte>" ? std::string("\xC3") : extract.toStdString();
        QCOMPARE(avm1::extractUnits(string, index, count, units), expected);
        QCOMPARE(avm1::firstCharCode(string, units), firstCode);
    }

    void charFromCode_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << 6 << 80u << "P";
        QTest::newRow("16 bits") << 6 << 65616u << "P";
        QTest::newRow("high bits") << 6 << 0xababababu << "ꮫ";
        QTest::newRow("lone surrogate") << 6 << 0xd801u << "\uFFFD";
        QTest::newRow("zero") << 6 << 0u << "";
        QTest::newRow("one") << 6 << 1u << "\x01";
        QTest::newRow("SWF 5 low byte") << 5 << 865u << "a";
    }

    void charFromCode()
    {
        QFETCH(int, version);
        QFETCH(uint, code);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(avm1::charFromCode(code, avm1::charUnitsFor(version))),
                 text);
    }

    // Through a movie: for..in lists the newest property first, so the elements an
    // unshift moved come after the ones it wrote.
    void forInListsElementsAsTheReference()
    {
        using swfwriter::Op;
        swfwriter::ActionWriter code;
        code.push({"a", 3, 2, 1, 3}).op(Op::InitArray).op(Op::SetVariable);
        code.push({44, 43, 42, 3});
        getA(code);
        code.push({"unshift"}).op(Op::CallMethod).op(Op::Trace);
        traceKeys(code);
        getA(code);
        code.push({"length"}).op(Op::GetMember).op(Op::Trace);
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(8, code))),
                 QString("6\n2\n1\n0\n3\n4\n5\n6"));
    }

    void stringLengthThroughActions()
    {
        using swfwriter::Op;
        swfwriter::ActionWriter code;
        code.push({"Känguru"}).op(Op::StringLength).op(Op::Trace);
        code.push({"Känguru", "length"}).op(Op::GetMember).op(Op::Trace);
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(6, code))),
                 QString("7\n7"));
        QCOMPARE(QString::fromStdString(scriptrun::joined(scriptrun::run(5, code))),
                 QString("8\n8"));
    }

    void stringObjects()
    {
        Script s(7);
        const Value ctor = s.global("String");
        const Value object = s.vm().construct(ctor, std::vector<Value>{s.str("wall")});
        QVERIFY(object.isObject());
        QCOMPARE(object.asObject()->objectClass(), avm1::ObjectClass::String);
        QVERIFY(s.vm().hasOwnProperty(object.asObject(), s.vm().str("length")));
        QCOMPARE(s.get(object, "length").asNumber(), 4.0);
        QVERIFY(!s.vm().deleteMember(object.asObject(), s.vm().str("length")));
        s.set(object, "length", Value(9)); // a plain value after all
        QCOMPARE(s.get(object, "length").asNumber(), 9.0);
        QCOMPARE(s.text(s.call(object, "toUpperCase")), QString("WALL"));
        // Methods read the text the object holds, not what its toString says.
        s.set(object, "toString", s.get(s.get(s.global("Object"), "prototype"), "toString"));
        QCOMPARE(s.text(s.call(object, "substr", {Value(1), Value(2)})), QString("al"));
        QVERIFY(s.call(object, "valueOf").isString());
        const Value converted = s.vm().call(ctor, Value(), std::vector<Value>{Value(12)});
        QVERIFY(converted.isString());
        QCOMPARE(s.text(converted), QString("12"));
        QVERIFY(!s.vm().hasOwnProperty(s.get(ctor, "prototype").asObject(), s.vm().str("length")));
    }
};

QTEST_APPLESS_MAIN(ArrayStringTest)
#include "ArrayStringTest.moc"
