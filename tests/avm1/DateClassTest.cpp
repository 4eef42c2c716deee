// Date member by member in a fixed zone an hour east of UTC: construction from parts
// (two-digit years, rollover, fractions, NaN, missing parts) and from a time value,
// the getters and setters in local time and UTC with their optional arguments and
// results, invalid dates, printing, and the zone the environment gives.
#include "CoreCalls.h"
#include "avm1/ScriptHost.h"

#include <QtTest>
#include <cstdlib>
#include <ctime>

using corecalls::Calls;

namespace {

class ZoneHost : public avm1::ScriptHost {
public:
    void trace(std::string_view) override {}
    double currentTimeMilliseconds() const override { return 1107216000000; } // 2005-02-01Z
    double localOffsetMinutes(double) const override { return 60; }
};

void addRow(const char* name, int version, const char* function, const char* self,
            const QStringList& args, const char* expected)
{
    QTest::newRow(name) << version << QString(function) << QString::fromUtf8(self) << args
                        << QString::fromUtf8(expected);
}

// 2000-01-01 00:00:00 UTC, 01:00 in the test's zone.
constexpr const char* kY2k = "D946684800000";

} // namespace

class DateClassTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void members_data();
    void members();
    void calledAsAFunctionGivesTheTimeAsText();
    void zoneFromTheEnvironment();
};

void DateClassTest::members_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("self");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");

    const char* make = "new Date";
    addRow("parts", 8, make, "", {"2000", "0", "1"}, "{Sat Jan 1 00:00:00 GMT+0100 2000}");
    addRow("two-digit year", 8, make, "", {"99", "11", "31"},
           "{Fri Dec 31 00:00:00 GMT+0100 1999}");
    addRow("year 100 as given", 8, make, "", {"100", "0"}, "{Fri Jan 1 00:00:00 GMT+0100 100}");
    addRow("month rolls over", 8, make, "", {"2000", "12", "1"},
           "{Mon Jan 1 00:00:00 GMT+0100 2001}");
    addRow("day 0 is the last of before", 8, make, "", {"2000", "2", "0"},
           "{Tue Feb 29 00:00:00 GMT+0100 2000}");
    addRow("hours roll over", 8, make, "", {"2000", "0", "1", "25"},
           "{Sun Jan 2 01:00:00 GMT+0100 2000}");
    addRow("negative minutes", 8, make, "", {"2000", "0", "1", "0", "-1"},
           "{Fri Dec 31 23:59:00 GMT+0100 1999}");
    addRow("fractions truncate", 8, make, "", {"2000", "0.7", "1.9", "1.5"},
           "{Sat Jan 1 01:00:00 GMT+0100 2000}");
    addRow("day missing is 1", 8, make, "", {"2000", "5"}, "{Thu Jun 1 00:00:00 GMT+0100 2000}");
    addRow("NaN month", 8, make, "", {"2000", "NaN"}, "{Invalid Date}");
    addRow("undefined hours swf7", 7, make, "", {"2000", "0", "1", "u"}, "{Invalid Date}");
    addRow("undefined hours swf6", 6, make, "", {"2000", "0", "1", "u"},
           "{Sat Jan 1 00:00:00 GMT+0100 2000}");
    addRow("time value", 8, make, "", {"2000"}, "{Thu Jan 1 01:00:02 GMT+0100 1970}");
    addRow("negative time value", 8, make, "", {"-86400000"},
           "{Wed Dec 31 01:00:00 GMT+0100 1969}");
    addRow("string is no time", 8, make, "", {"'2000/01/01'"}, "{Invalid Date}");
    addRow("numeric string", 8, make, "", {"'1000'"}, "{Thu Jan 1 01:00:01 GMT+0100 1970}");
    addRow("last valid time", 8, make, "", {"8.64e15"}, "{Sat Sep 13 01:00:00 GMT+0100 275760}");
    addRow("past the last time", 8, make, "", {"8.640000000000001e15"}, "{Invalid Date}");
    addRow("now", 8, make, "", {}, "{Tue Feb 1 01:00:00 GMT+0100 2005}");

    addRow("getTime", 8, "Date.prototype.getTime", kY2k, {}, "946684800000");
    addRow("valueOf", 8, "Date.prototype.valueOf", kY2k, {}, "946684800000");
    addRow("getHours local", 8, "Date.prototype.getHours", kY2k, {}, "1");
    addRow("getUTCHours", 8, "Date.prototype.getUTCHours", kY2k, {}, "0");
    addRow("getDay", 8, "Date.prototype.getDay", kY2k, {}, "6");
    addRow("getUTCDate", 8, "Date.prototype.getUTCDate", "D946684799000", {}, "31");
    addRow("getDate local", 8, "Date.prototype.getDate", "D946684799000", {}, "1");
    addRow("getYear", 8, "Date.prototype.getYear", kY2k, {}, "100");
    addRow("getFullYear", 8, "Date.prototype.getFullYear", kY2k, {}, "2000");
    addRow("getUTCFullYear", 8, "Date.prototype.getUTCFullYear", "D946684799000", {}, "1999");
    addRow("getMonth", 8, "Date.prototype.getMonth", kY2k, {}, "0");
    addRow("getMilliseconds", 8, "Date.prototype.getMilliseconds", "D946684800123", {}, "123");
    addRow("getTimezoneOffset", 8, "Date.prototype.getTimezoneOffset", kY2k, {}, "-60");
    addRow("getter on invalid", 8, "Date.prototype.getMonth", "DNaN", {}, "NaN");
    addRow("timezone on invalid", 8, "Date.prototype.getTimezoneOffset", "DNaN", {}, "NaN");
    addRow("getter on no date", 8, "Date.prototype.getTime", "{}", {}, "u");
    addRow("toString on no date", 8, "Date.prototype.toString", "{}", {}, "u");

    addRow("setMinutes answers the time", 8, "Date.prototype.setMinutes", kY2k, {"30"},
           "946686600000");
    addRow("setMinutes with seconds", 8, "Date.prototype.setMinutes", kY2k, {"0", "30"},
           "946684830000");
    addRow("setHours rolls over", 8, "Date.prototype.setHours", kY2k, {"25"}, "946771200000");
    addRow("setMonth with a date", 8, "Date.prototype.setMonth", kY2k, {"1", "30"}, "951868800000");
    addRow("setDate", 8, "Date.prototype.setDate", kY2k, {"15"}, "947894400000");
    addRow("setFullYear", 8, "Date.prototype.setFullYear", kY2k, {"2001", "1", "2"},
           "981072000000");
    addRow("setFullYear on invalid", 8, "Date.prototype.setFullYear", "DNaN", {"2001"},
           "978303600000");
    addRow("setDate on invalid", 8, "Date.prototype.setDate", "DNaN", {"3"}, "NaN");
    addRow("setYear two digits", 8, "Date.prototype.setYear", kY2k, {"99"}, "915148800000");
    addRow("setYear NaN", 8, "Date.prototype.setYear", kY2k, {"NaN"}, "NaN");
    addRow("setMilliseconds truncates", 8, "Date.prototype.setMilliseconds", kY2k, {"1.7"},
           "946684800001");
    addRow("setSeconds missing swf7", 7, "Date.prototype.setSeconds", kY2k, {}, "NaN");
    addRow("setUTCHours", 8, "Date.prototype.setUTCHours", kY2k, {"12"}, "946728000000");
    addRow("setUTCDate", 8, "Date.prototype.setUTCDate", kY2k, {"2"}, "946771200000");
    addRow("setUTCMonth", 8, "Date.prototype.setUTCMonth", kY2k, {"-1"}, "944006400000");
    addRow("setUTCFullYear", 8, "Date.prototype.setUTCFullYear", kY2k, {"1999"}, "915148800000");
    addRow("setUTCMinutes", 8, "Date.prototype.setUTCMinutes", kY2k, {"1", "2", "3"},
           "946684862003");
    addRow("setUTCSeconds", 8, "Date.prototype.setUTCSeconds", kY2k, {"61"}, "946684861000");
    addRow("setUTCMilliseconds", 8, "Date.prototype.setUTCMilliseconds", kY2k, {"-1"},
           "946684799999");
    addRow("setTime string", 8, "Date.prototype.setTime", kY2k, {"'1000'"}, "1000");
    addRow("setTime too large", 8, "Date.prototype.setTime", kY2k, {"1e16"}, "NaN");
    addRow("setter on no date", 8, "Date.prototype.setHours", "{}", {"1"}, "u");

    addRow("UTC", 8, "Date.UTC", "", {"2000", "0"}, "946684800000");
    addRow("UTC two-digit year", 8, "Date.UTC", "", {"99", "0", "1", "1"}, "915152400000");
    addRow("UTC nothing", 8, "Date.UTC", "", {}, "NaN");
}

void DateClassTest::members()
{
    QFETCH(int, version);
    QFETCH(QString, function);
    QFETCH(QString, self);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    ZoneHost host;
    Calls c(version, &host);
    QCOMPARE(c.show(c.call(function, self, args)), expected);
}

void DateClassTest::calledAsAFunctionGivesTheTimeAsText()
{
    ZoneHost host;
    Calls c(8, &host);
    QCOMPARE(c.show(c.call("Date", "", {"2000", "1"})),
             QString("'Tue Feb 1 01:00:00 GMT+0100 2005'"));
}

// The default host reads the zone's rules, daylight saving included, from TZ.
void DateClassTest::zoneFromTheEnvironment()
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
    struct Host : avm1::ScriptHost {
        void trace(std::string_view) override {}
    } host;
    Calls c(8, &host);
    QCOMPARE(c.show(c.call("Date.prototype.getTimezoneOffset", kY2k, {})), QString("300"));
    QCOMPARE(c.show(c.call("Date.prototype.getTimezoneOffset", "D963000000000", {})),
             QString("240"));
    QCOMPARE(c.show(c.call("Date.prototype.getHours", kY2k, {})), QString("19"));
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

QTEST_GUILESS_MAIN(DateClassTest)
#include "DateClassTest.moc"
