// String's members as the machine gives them: String.prototype standing for "", the
// empty string split by "", localeCompare's old-movie rule for null and undefined,
// the lengths of the members, and generic receivers.
#include "avm2/vm/Vm.h"

#include <QtTest>

using avm2::Value;
using avm2::Vm;

namespace {

QString qtext(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

struct Machine {
    explicit Machine(int version = 10) : vm(Vm::Host{}, version) {}
    Vm vm;

    Value str(const char16_t* text) { return Value(vm.newString(std::u16string(text))); }
    Value stringPrototype() { return Value(vm.builtins().string->instancePrototype); }
    Value call(const Value& object, const char* name, std::vector<Value> args = {})
    {
        return vm.callProperty(object, vm.publicName(name), args);
    }
    QString text(const Value& v)
    {
        if (vm.throwing())
            // The message line, without the stack trace after it.
            return QStringLiteral("threw ") +
                   qtext(vm.uncaughtText(vm.takeException())).section(QLatin1Char('\n'), 0, 0);
        return qtext(vm.toText(v));
    }
    // A String.prototype member called on another receiver.
    Value callOn(const Value& receiver, const char* name, std::vector<Value> args = {})
    {
        const Value fn = vm.getProperty(stringPrototype(), vm.publicName(name));
        return vm.call(fn, receiver, args);
    }
};

} // namespace

class StringClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void prototypeStandsForEmpty();
    void splitOfEmpty();
    void localeCompareWithNullByVersion();
    void memberLengths();
    void genericReceivers();
    void lengthCannotBeDeleted();
    void extraArgumentsAreAnError();
};

void StringClassTest::prototypeStandsForEmpty()
{
    Machine m;
    QCOMPARE(m.text(m.call(m.stringPrototype(), "toString")), QString(""));
    QCOMPARE(m.text(m.call(m.stringPrototype(), "valueOf")), QString(""));
    QCOMPARE(m.text(m.callOn(Value(m.vm.newObject()), "toString")),
             QString("threw TypeError: Error #1004: Method String.prototype.toString was invoked "
                     "on an incompatible object."));
    QCOMPARE(m.text(m.callOn(Value(3), "valueOf")),
             QString("threw TypeError: Error #1004: Method String.prototype.valueOf was invoked "
                     "on an incompatible object."));
}

void StringClassTest::splitOfEmpty()
{
    Machine m;
    const Value pieces = m.call(m.str(u""), "split", {m.str(u"")});
    QCOMPARE(m.text(m.vm.getProperty(pieces, m.vm.publicName("length"))), QString("1"));
    QCOMPARE(m.text(m.call(m.str(u"abc"), "split", {m.str(u""), Value(2)})), QString("a,b"));
    const Value none = m.call(m.str(u"abc"), "split", {m.str(u""), Value(0)});
    QCOMPARE(m.text(m.vm.getProperty(none, m.vm.publicName("length"))), QString("0"));
    QCOMPARE(m.text(m.call(m.str(u"a b"), "split", {})), QString("a b"));
}

void StringClassTest::localeCompareWithNullByVersion()
{
    Machine old(9);
    QCOMPARE(old.text(old.call(old.str(u"m"), "localeCompare", {Value::null()})), QString("0"));
    QCOMPARE(old.text(old.call(old.str(u"v"), "localeCompare", {Value()})), QString("0"));
    QCOMPARE(old.text(old.call(old.str(u""), "localeCompare", {Value::null()})), QString("1"));
    QCOMPARE(old.text(old.call(old.str(u"b"), "localeCompare", {old.str(u"a")})), QString("1"));
    Machine later(10);
    QCOMPARE(later.text(later.call(later.str(u"m"), "localeCompare", {Value::null()})),
             QString("-1"));
    QCOMPARE(later.text(later.call(later.str(u"null"), "localeCompare", {Value::null()})),
             QString("0"));
    QCOMPARE(later.text(later.call(later.str(u""), "localeCompare", {Value()})), QString("-1"));
}

void StringClassTest::memberLengths()
{
    Machine m;
    const auto lengthOf = [&](const Value& holder, const char* name) {
        const Value fn = m.vm.getProperty(holder, m.vm.publicName(name));
        return m.text(m.vm.getProperty(fn, m.vm.publicName("length")));
    };
    const Value proto = m.stringPrototype();
    QCOMPARE(lengthOf(proto, "indexOf"), QString("2"));
    QCOMPARE(lengthOf(proto, "lastIndexOf"), QString("2"));
    QCOMPARE(lengthOf(proto, "split"), QString("2"));
    QCOMPARE(lengthOf(proto, "replace"), QString("2"));
    QCOMPARE(lengthOf(proto, "match"), QString("1"));
    QCOMPARE(lengthOf(Value(m.vm.builtins().string), "fromCharCode"), QString("0"));
}

void StringClassTest::genericReceivers()
{
    Machine m;
    QCOMPARE(m.text(m.callOn(Value(true), "indexOf", {m.str(u"u")})), QString("2"));
    QCOMPARE(m.text(m.callOn(Value(255), "charAt", {Value(1)})), QString("5"));
    QCOMPARE(m.text(m.callOn(Value(12.5), "split", {m.str(u".")})), QString("12,5"));
    QCOMPARE(m.text(m.callOn(Value::null(), "search", {m.str(u"ul")})), QString("1"));
}

void StringClassTest::lengthCannotBeDeleted()
{
    Machine m;
    QVERIFY(!m.vm.deleteProperty(m.str(u"abc"), m.vm.publicName("length")));
    QVERIFY(m.text(Value()).startsWith("threw ReferenceError: Error #1120: Cannot delete property "
                                       "length on "));
    // A name the string does not declare is no error.
    QVERIFY(!m.vm.deleteProperty(m.str(u"abc"), m.vm.publicName("nothing")));
    QVERIFY(!m.vm.throwing());
}

void StringClassTest::extraArgumentsAreAnError()
{
    Machine m;
    QCOMPARE(m.text(m.call(m.str(u"a"), "localeCompare", {m.str(u"b"), m.str(u"c")})),
             QString("threw ArgumentError: Error #1063: Argument count mismatch on "
                     "String/localeCompare(). Expected 1, got 2."));
    QCOMPARE(m.text(m.call(m.str(u"abc"), "charAt", {Value(1), Value(2)})).left(32),
             QString("threw ArgumentError: Error #1063"));
    QCOMPARE(m.text(m.call(m.str(u"abc"), "substring", {Value(1), Value(2)})), QString("b"));
    // A rest parameter takes any count.
    QCOMPARE(m.text(m.call(m.str(u"a"), "concat", {Value(1), Value(2), Value(3)})),
             QString("a123"));
}

QTEST_APPLESS_MAIN(StringClassTest)
#include "StringClassTest.moc"
