// An array's elements behave as named properties in creation order whichever way they
// are stored (a vector for 0..n-1 made in order, slots otherwise): enumeration, holes,
// delete, length changes, flags, accessors, watchers, and the collector.
#include "avm1/Vm.h"

#include <QtTest>
#include <functional>

using avm1::Value;

namespace {

// One step of a script on the array `a`, written as text for the table:
//   "push x"   a.push(x)        "set k x"  a[k] = x        "del k"   delete a[k]
//   "len n"    a.length = n     "hide k"   ASSetPropFlags(a, k, 1)
//   "reverse"  a.reverse()      "shift"    a.shift()       "sort"    a.sort()
// Values are strings; the array starts empty. In SWF 7, where these run, a hole joins
// as "undefined".
void step(avm1::Vm& vm, Value a, const QString& line)
{
    const QStringList w = line.split(' ');
    auto s = [&vm](const QString& t) { return vm.str(t.toStdString()); };
    if (w[0] == "push") {
        const Value args[] = {Value(s(w[1]))};
        vm.callMethod(a, s("push"), args);
    } else if (w[0] == "set") {
        vm.setMember(a, s(w[1]), Value(s(w[2])));
    } else if (w[0] == "del") {
        vm.deleteMember(a.asObject(), s(w[1]));
    } else if (w[0] == "len") {
        vm.setMember(a, s("length"), Value(w[1].toDouble()));
    } else if (w[0] == "hide") {
        const Value args[] = {a, Value(s(w[1])), Value(1)};
        vm.call(vm.getMember(vm.global(), s("ASSetPropFlags")), Value(), args);
    } else {
        vm.callMethod(a, s(w[0]), {});
    }
}

QString keysOf(avm1::Vm& vm, Value a)
{
    QStringList names;
    for (avm1::String* name : vm.enumerableKeys(a.asObject()))
        names << QString::fromStdString(name->text());
    return names.join(',');
}

QString text(avm1::Vm& vm, Value v)
{
    return QString::fromStdString(vm.toStdString(v));
}

} // namespace

class ArrayStorageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void elementsKeepTheirPropertyOrder_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("keys"); // creation order
        QTest::addColumn<QString>("joined");
        QTest::addColumn<int>("length");
        QTest::newRow("pushed") << QStringList{"push a", "push b", "push c"} << "0,1,2"
                                << "a,b,c" << 3;
        QTest::newRow("assigned in order") << QStringList{"set 0 a", "set 1 b"} << "0,1"
                                           << "a,b" << 2;
        QTest::newRow("a name between elements")
            << QStringList{"push a", "set foo x", "push b"} << "0,foo,1"
            << "a,b" << 2;
        QTest::newRow("a name first") << QStringList{"set foo x", "push a"} << "foo,0"
                                      << "a" << 1;
        QTest::newRow("filled backwards") << QStringList{"set 1 b", "set 0 a"} << "1,0"
                                          << "a,b" << 2;
        QTest::newRow("a gap") << QStringList{"push a", "set 3 d", "set 1 b"} << "0,3,1"
                               << "a,b,undefined,d" << 4;
        QTest::newRow("delete the last leaves a hole")
            << QStringList{"push a", "push b", "del 1"} << "0"
            << "a,undefined" << 2;
        QTest::newRow("delete the last, then assign it")
            << QStringList{"push a", "push b", "del 1", "set 1 c"} << "0,1"
            << "a,c" << 2;
        QTest::newRow("delete inside, then assign it: it moves last")
            << QStringList{"push a", "push b", "push c", "del 1", "set 1 x"} << "0,2,1"
            << "a,x,c" << 3;
        QTest::newRow("reassigning keeps the place")
            << QStringList{"push a", "push b", "set 0 z"} << "0,1"
            << "z,b" << 2;
        // "01" is a name, though its digits still extend the length.
        QTest::newRow("a leading zero is a name") << QStringList{"push a", "set 01 x"} << "0,01"
                                                  << "a,undefined" << 2;
        QTest::newRow("shortening") << QStringList{"push a", "push b", "push c", "len 1"} << "0"
                                    << "a" << 1;
        QTest::newRow("shortening to nothing, then pushing")
            << QStringList{"push a", "push b", "len 0", "push c"} << "0"
            << "c" << 1;
        QTest::newRow("lengthening leaves holes")
            << QStringList{"push a", "len 3", "push d"} << "0,3"
            << "a,undefined,undefined,d" << 4;
        QTest::newRow("negative length removes all")
            << QStringList{"push a", "push b", "len -1"} << ""
            << "" << -1;
        QTest::newRow("element 2^31 - 1 wraps the length and removes the elements")
            << QStringList{"push a", "push b", "set 2147483647 z"} << "2147483647"
            << "" << int(-2147483647 - 1);
        QTest::newRow("a hidden element") << QStringList{"push a", "push b", "hide 0"} << "1"
                                          << "a,b" << 2;
        QTest::newRow("reverse moves the elements")
            << QStringList{"push a", "push b", "push c", "reverse"} << "1,0,2"
            << "c,b,a" << 3;
        QTest::newRow("shift") << QStringList{"push a", "push b", "push c", "shift"} << "0,1"
                               << "b,c" << 2;
        QTest::newRow("sort assigns in place")
            << QStringList{"push c", "push a", "push b", "sort"} << "0,1,2"
            << "a,b,c" << 3;
    }

    void elementsKeepTheirPropertyOrder()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, keys);
        QFETCH(QString, joined);
        QFETCH(int, length);
        avm1::Vm vm(7);
        const Value a(vm.makeArray());
        for (const QString& line : steps)
            step(vm, a, line);
        QCOMPARE(keysOf(vm, a), keys);
        QCOMPARE(text(vm, vm.callMethod(a, vm.str("join"), {})), joined);
        QCOMPARE(vm.getMember(a, vm.str("length")).asNumber(), double(length));
        // The map view that other code works on gives the same order.
        QStringList mapNames;
        a.asObject()->properties().forEach([&](const avm1::Property& p) {
            if (p.enumerable())
                mapNames << QString::fromStdString(p.name->text());
        });
        QCOMPARE(mapNames.join(','), keys);
    }

    void elementsAnswerAsOwnProperties()
    {
        avm1::Vm vm(7);
        const Value a(vm.makeArray());
        step(vm, a, "push a");
        step(vm, a, "push b");
        QVERIFY(vm.hasOwnProperty(a.asObject(), vm.str("1")));
        QVERIFY(!vm.hasOwnProperty(a.asObject(), vm.str("2")));
        const Value one[] = {Value(vm.str("1"))};
        QCOMPARE(text(vm, vm.callMethod(a, vm.str("isPropertyEnumerable"), one)), QString("true"));
        QCOMPARE(text(vm, vm.getMember(a, vm.str("1"))), QString("b"));
        QVERIFY(vm.deleteMember(a.asObject(), vm.str("0")));
        QVERIFY(!vm.deleteMember(a.asObject(), vm.str("0")));
        QVERIFY(vm.getMember(a, vm.str("0")).isUndefined());
        QCOMPARE(text(vm, vm.getMember(a, vm.str("1"))), QString("b"));
    }

    // A hole reads through the prototype, and a setter on the prototype takes the
    // assignment of a new element.
    void elementsMeetThePrototype()
    {
        avm1::Vm vm(7);
        Value proto = vm.getMember(vm.getMember(vm.global(), vm.str("Array")), vm.str("prototype"));
        vm.setMember(proto, vm.str("1"), Value(vm.str("inherited")));
        static int s_setterCalls = 0;
        s_setterCalls = 0;
        const Value getter(
            vm.makeNative([](avm1::Vm& v, const avm1::CallArgs&) { return Value(v.str("got")); }));
        const Value setter(vm.makeNative([](avm1::Vm&, const avm1::CallArgs&) {
            ++s_setterCalls;
            return Value();
        }));
        const Value addArgs[] = {Value(vm.str("2")), getter, setter};
        vm.callMethod(proto, vm.str("addProperty"), addArgs);

        const Value a(vm.makeArray());
        step(vm, a, "set 0 a");
        QCOMPARE(text(vm, vm.getMember(a, vm.str("1"))), QString("inherited"));
        step(vm, a, "set 1 b");
        step(vm, a, "set 2 c");
        QCOMPARE(s_setterCalls, 1);
        QVERIFY(!vm.hasOwnProperty(a.asObject(), vm.str("2")));
        QCOMPARE(text(vm, vm.getMember(a, vm.str("2"))), QString("got"));
        QCOMPARE(vm.getMember(a, vm.str("length")).asNumber(), 3.0);
    }

    void watchersSeeElementAssignments()
    {
        avm1::Vm vm(7);
        const Value a(vm.makeArray());
        step(vm, a, "push a");
        const Value doubler(vm.makeNative([](avm1::Vm& v, const avm1::CallArgs& call) {
            return Value(v.str(v.toStdString(call.arg(2)) + "!"));
        }));
        const Value watchArgs[] = {Value(vm.str("0")), doubler};
        vm.callMethod(a, vm.str("watch"), watchArgs);
        step(vm, a, "set 0 b");
        QCOMPARE(text(vm, vm.getMember(a, vm.str("0"))), QString("b!"));
    }

    void collectorKeepsElementsAlive()
    {
        avm1::Vm vm(7);
        const Value a(vm.makeArray());
        vm.setMember(Value(vm.global()), vm.str("kept"), a);
        for (int i = 0; i < 1000; ++i) {
            Value o(vm.makeObject());
            vm.setMember(o, vm.str("n"), Value(i));
            const Value args[] = {o};
            vm.callMethod(a, vm.str("push"), args);
        }
        vm.collectNow();
        vm.collectNow();
        double sum = 0;
        for (int i = 0; i < 1000; ++i)
            sum += vm.getMember(vm.getMember(a, vm.str(std::to_string(i))), vm.str("n")).asNumber();
        QCOMPARE(sum, 999.0 * 1000 / 2);
    }
};

QTEST_APPLESS_MAIN(ArrayStorageTest)
#include "ArrayStorageTest.moc"
