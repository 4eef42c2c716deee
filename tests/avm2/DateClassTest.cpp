// The Date class through the machine's own calls: construction, the static functions,
// the getters and setters with their optional arguments, the accessors and the text,
// under a host clock and a zone eight hours behind UTC with daylight saving time.
#include "avm2/vm/Vm.h"
#include "script/date/DateMath.h"

#include <QtTest>
#include <cmath>
#include <vector>

using namespace avm2;
using namespace script::date;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// 2005-02-01 08:00 UTC: midnight in the test zone.
constexpr double kNow = 1107244800000.0;

// Eight hours behind UTC, seven from 2005-04-03 10:00 UTC to 2005-10-30 09:00 UTC.
double testZone(double utc)
{
    const double start = makeDate(makeDay(2005, 3, 3), makeTime(10, 0, 0, 0));
    const double end = makeDate(makeDay(2005, 9, 30), makeTime(9, 0, 0, 0));
    return utc >= start && utc < end ? -420 : -480;
}

class Machine {
public:
    Machine() : vm(host()) {}

    static Vm::Host host()
    {
        Vm::Host h;
        h.trace = [](std::string_view) {};
        h.milliseconds = [] { return 0.0; };
        h.currentTime = [] { return kNow; };
        h.localOffsetMinutes = testZone;
        return h;
    }

    Value dateClass() { return vm.getDefinitionByName(u"Date"); }
    Value make(std::vector<Value> args) { return vm.construct(dateClass(), args); }
    Value call(const Value& object, const char* name, std::vector<Value> args = {})
    {
        return vm.callProperty(object, vm.publicName(name), args);
    }
    Value get(const Value& object, const char* name)
    {
        return vm.getProperty(object, vm.publicName(name));
    }
    QString text(const Value& v) { return QString::fromStdU16String(vm.toText(v)); }
    double number(const Value& v) { return vm.toNumber(v); }
    Value str(const char* s) { return Value(vm.newString(std::string_view(s))); }

    Vm vm;
};

// The UTC time of a local time in the test zone.
double utcOf(double localTime)
{
    return localTime - testZone(localTime + 8 * kMsPerHour) * kMsPerMinute;
}

QString same(double expected, double got)
{
    if ((std::isnan(expected) && std::isnan(got)) || expected == got)
        return {};
    return QString("expected %1, got %2").arg(expected, 0, 'f', 0).arg(got, 0, 'f', 0);
}

} // namespace

class DateClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void constructorForms()
    {
        Machine m;
        QCOMPARE(m.number(m.call(m.make({}), "getTime")), kNow);
        QCOMPARE(m.number(m.make({Value(0)})), 0.0);
        // A string is parsed; anything else is a number, even an object whose valueOf
        // gives a date's text.
        QCOMPARE(m.number(m.make({m.str("Tue Feb 1 00:00:00 2005")})), kNow);
        QVERIFY(std::isnan(m.number(m.make({m.str("12")}))));
        // A date copies the time value, milliseconds included.
        const Value d = m.make({Value(1234567.0)});
        QCOMPARE(m.number(m.make({d})), 1234567.0);
        // Fields are local time; years 0 to 99 are of the 1900s; missing ones are the
        // first day and midnight; past the range the time is invalid.
        QVERIFY(
            same(utcOf(makeDate(makeDay(2005, 1, 1), 0)), m.number(m.make({Value(2005), Value(1)})))
                .isEmpty());
        QVERIFY(same(utcOf(makeDate(makeDay(1999, 11, 31), makeTime(23, 59, 59, 999))),
                     m.number(m.make({Value(99), Value(11), Value(31), Value(23), Value(59),
                                      Value(59), Value(999)})))
                    .isEmpty());
        // Month 12 is January of the next year.
        QVERIFY(same(utcOf(makeDate(makeDay(2001, 0, 1), 0)),
                     m.number(m.make({Value(2000), Value(12)})))
                    .isEmpty());
        QVERIFY(std::isnan(m.number(m.make({Value(2000), Value(0), Value()}))));
        QVERIFY(std::isnan(m.number(m.make({Value(1e10), Value(0)}))));
        // Called, Date gives the current time as text and ignores its arguments.
        QCOMPARE(m.text(m.vm.call(m.dateClass(), Value(), std::vector<Value>{Value(0)})),
                 QString("Tue Feb 1 00:00:00 GMT-0800 2005"));
    }

    void staticFunctions()
    {
        Machine m;
        const Value cls = m.dateClass();
        QCOMPARE(m.number(m.call(cls, "UTC", {Value(2000), Value(0)})), 946684800000.0);
        QCOMPARE(m.number(m.call(
                     cls, "UTC",
                     {Value(70), Value(0), Value(1), Value(0), Value(0), Value(1), Value(5)})),
                 1005.0);
        QVERIFY(std::isnan(m.number(m.call(cls, "UTC", {Value(2000)}))));
        QCOMPARE(m.number(m.call(cls, "parse", {m.str("Thu Jan 1 00:00:00 GMT+0000 1970")})), 0.0);
        QCOMPARE(m.number(m.call(cls, "parse", {m.str("2/1/2005")})), kNow);
        QVERIFY(std::isnan(m.number(m.call(cls, "parse", {}))));
        QCOMPARE(m.number(m.get(cls, "length")), 7.0);
    }

    void gettersInLocalTimeAndUtc()
    {
        Machine m;
        // 2005-07-04 18:30:15.250 UTC: 11:30 in the zone, in its summer time.
        const double t = makeDate(makeDay(2005, 6, 4), makeTime(18, 30, 15, 250));
        const Value d = m.make({Value(t)});
        QCOMPARE(m.number(m.call(d, "getHours")), 11.0);
        QCOMPARE(m.number(m.call(d, "getUTCHours")), 18.0);
        QCOMPARE(m.number(m.call(d, "getDay")), 1.0);
        QCOMPARE(m.number(m.call(d, "getMilliseconds")), 250.0);
        QCOMPARE(m.number(m.call(d, "getTimezoneOffset")), 420.0);
        QCOMPARE(m.number(m.get(d, "timezoneOffset")), 420.0);
        QCOMPARE(m.number(m.get(d, "fullYearUTC")), 2005.0);
        QCOMPARE(m.number(m.get(d, "monthUTC")), 6.0);
        QCOMPARE(m.number(m.get(d, "dayUTC")), 1.0);
        QCOMPARE(m.number(m.get(d, "time")), t);
        // An invalid date answers NaN everywhere.
        const Value bad = m.make({Value(kNaN)});
        for (const char* name : {"getFullYear", "getUTCDate", "getTimezoneOffset", "valueOf"})
            QVERIFY2(std::isnan(m.number(m.call(bad, name))), name);
    }

    void settersTakeOptionalArguments()
    {
        Machine m;
        const Value d =
            m.make({Value(2005), Value(0), Value(15), Value(10), Value(20), Value(30), Value(400)});
        // setHours(h, min): the seconds and milliseconds stay.
        m.call(d, "setHours", {Value(3), Value(4)});
        QCOMPARE(m.number(m.get(d, "hours")), 3.0);
        QCOMPARE(m.number(m.get(d, "minutes")), 4.0);
        QCOMPARE(m.number(m.get(d, "seconds")), 30.0);
        QCOMPARE(m.number(m.get(d, "milliseconds")), 400.0);
        // Past the field's range carries into the next.
        m.call(d, "setMinutes", {Value(61)});
        QCOMPARE(m.number(m.get(d, "hours")), 4.0);
        QCOMPARE(m.number(m.get(d, "minutes")), 1.0);
        m.call(d, "setMonth", {Value(1), Value(30)});
        QCOMPARE(m.number(m.get(d, "month")), 2.0);
        QCOMPARE(m.number(m.get(d, "date")), 2.0);
        // The setters answer the new time value; an explicit undefined is NaN.
        const Value answer = m.call(d, "setUTCSeconds", {Value(5), Value(6)});
        QCOMPARE(m.number(answer), m.number(m.call(d, "getTime")));
        QCOMPARE(m.number(m.get(d, "millisecondsUTC")), 6.0);
        QVERIFY(std::isnan(m.number(m.call(d, "setDate", {Value()}))));
        QVERIFY(std::isnan(m.number(m.call(d, "getTime"))));
        // On an invalid date only the year can be set, from 1 January 00:00 local.
        QVERIFY(std::isnan(m.number(m.call(d, "setHours", {Value(1)}))));
        m.call(d, "setFullYear", {Value(1999)});
        QVERIFY(same(utcOf(makeDate(makeDay(1999, 0, 1), 0)), m.number(d)).isEmpty());
        // Accessors set through the same rules; setTime clips.
        m.vm.setProperty(d, m.vm.publicName("fullYearUTC"), Value(2004));
        QCOMPARE(m.number(m.call(d, "getUTCFullYear")), 2004.0);
        QVERIFY(std::isnan(m.number(m.call(d, "setTime", {Value(8.64e15 + 1)}))));
        m.vm.setProperty(d, m.vm.publicName("time"), Value(-1.5));
        QCOMPARE(m.number(d), -1.0);
    }

    void textAndConversions()
    {
        Machine m;
        const Value d = m.make({Value(kNow)});
        QCOMPARE(m.text(d), QString("Tue Feb 1 00:00:00 GMT-0800 2005"));
        QCOMPARE(m.text(m.call(d, "toDateString")), QString("Tue Feb 1 2005"));
        QCOMPARE(m.text(m.call(d, "toTimeString")), QString("00:00:00 GMT-0800"));
        QCOMPARE(m.text(m.call(d, "toUTCString")), QString("Tue Feb 1 08:00:00 2005 UTC"));
        QCOMPARE(m.text(m.call(d, "toLocaleTimeString")), QString("12:00:00 AM"));
        // Without a hint a date becomes its text: adding a number joins them.
        QCOMPARE(m.text(m.vm.add(d, Value(1))), QString("Tue Feb 1 00:00:00 GMT-0800 20051"));
        // Each text form reads back as the same time, to the second.
        for (const char* form : {"toString", "toUTCString", "toLocaleString"})
            QVERIFY2(m.number(m.call(m.dateClass(), "parse", {m.call(d, form)})) == kNow, form);
        // Date's prototype functions on another object read it as an invalid date.
        const Value proto = m.get(m.dateClass(), "prototype");
        const Value toString = m.get(proto, "toString");
        const Value plain = Value(m.vm.newObject());
        QCOMPARE(m.text(m.vm.call(toString, plain, std::vector<Value>{})), QString("Invalid Date"));
        QVERIFY(
            std::isnan(m.number(m.vm.call(m.get(proto, "getTime"), plain, std::vector<Value>{}))));
    }

    void classTakesDynamicProperties()
    {
        Machine m;
        const Value cls = m.dateClass();
        QVERIFY(m.vm.setProperty(cls, m.vm.publicName("now"), Value(5)));
        QVERIFY(!m.vm.throwing());
        QCOMPARE(m.number(m.get(cls, "now")), 5.0);
    }
};

QTEST_GUILESS_MAIN(DateClassTest)
#include "DateClassTest.moc"
