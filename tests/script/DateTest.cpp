// The calendar arithmetic both Date classes stand on, local time through a host's zone,
// and the text toString writes.
#include "script/date/DateMath.h"
#include "script/date/DateText.h"

#include <QtTest>
#include <cmath>

using namespace script::date;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A zone eight hours behind UTC that moves an hour ahead (daylight saving) from
// 2025-03-09 10:00 UTC on.
double pacificOffset(double utc)
{
    const double change = makeDate(makeDay(2025, 2, 9), makeTime(10, 0, 0, 0));
    return utc >= change ? -420 : -480;
}

QString fields(double t)
{
    return QStringLiteral("%1-%2-%3 %4:%5:%6.%7 day %8")
        .arg(yearFromTime(t))
        .arg(monthFromTime(t) + 1)
        .arg(dateFromTime(t))
        .arg(hourFromTime(t))
        .arg(minFromTime(t))
        .arg(secFromTime(t))
        .arg(msFromTime(t))
        .arg(weekDay(t));
}

} // namespace

class DateTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fieldsOfTimeValues_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the epoch") << 0.0 << "1970-1-1 0:0:0.0 day 4";
        QTest::newRow("a millisecond before") << -1.0 << "1969-12-31 23:59:59.999 day 3";
        QTest::newRow("a leap day") << 951782400000.0 << "2000-2-29 0:0:0.0 day 2";
        QTest::newRow("no leap day in 1900") << -2203891200000.0 << "1900-3-1 0:0:0.0 day 4";
        QTest::newRow("the last valid time") << 8.64e15 << "275760-9-13 0:0:0.0 day 6";
        QTest::newRow("the first valid time") << -8.64e15 << "-271821-4-20 0:0:0.0 day 2";
    }

    void fieldsOfTimeValues()
    {
        QFETCH(double, t);
        QFETCH(QString, expected);
        QCOMPARE(fields(t), expected);
    }

    void makeDayCarriesMonthsAndDays()
    {
        QCOMPARE(makeDay(1970, 0, 1), 0.0);
        // Month 12 is January of the next year, month -1 December of the one before,
        // day 0 the last day of the month before.
        QCOMPARE(makeDay(1999, 12, 1), makeDay(2000, 0, 1));
        QCOMPARE(makeDay(2000, -1, 1), makeDay(1999, 11, 1));
        QCOMPARE(makeDay(2000, 2, 0), makeDay(2000, 1, 29));
        // Fractions are cut toward zero.
        QCOMPARE(makeDay(2000.9, 1.7, 3.2), makeDay(2000, 1, 3));
        QVERIFY(std::isnan(makeDay(kNaN, 0, 1)));
        QVERIFY(std::isnan(makeDay(1e9, 0, 1)));
        QCOMPARE(makeTime(1, 2, 3, 4.9), 3723004.0);
        QVERIFY(std::isnan(makeTime(0, INFINITY, 0, 0)));
        QCOMPARE(makeDate(1, 5), kMsPerDay + 5);
    }

    void timeClipBoundsAndTruncates()
    {
        QCOMPARE(timeClip(8.64e15), 8.64e15);
        QVERIFY(std::isnan(timeClip(8.64e15 + 1)));
        QVERIFY(std::isnan(timeClip(INFINITY)));
        QCOMPARE(timeClip(-1.9), -1.0);
        // Minus zero becomes plus zero.
        QVERIFY(!std::signbit(timeClip(-0.0)));
    }

    void localTimeFollowsTheZone()
    {
        const ZoneOffset zone = pacificOffset;
        const double winter = makeDate(makeDay(2025, 0, 15), makeTime(20, 0, 0, 0));
        QCOMPARE(localTime(zone, winter) - winter, -8 * kMsPerHour);
        const double summer = makeDate(makeDay(2025, 6, 15), makeTime(20, 0, 0, 0));
        QCOMPARE(localTime(zone, summer) - summer, -7 * kMsPerHour);
        // Back from local time, on both sides of the change.
        QCOMPARE(utcTime(zone, localTime(zone, winter)), winter);
        QCOMPARE(utcTime(zone, localTime(zone, summer)), summer);
        // Without a zone local time is UTC; a time that is not finite has no offset.
        QCOMPARE(localTime({}, winter), winter);
        QCOMPARE(offsetMs(zone, kNaN), 0.0);
        QVERIFY(std::isnan(utcTime(zone, INFINITY)));
        // Offsets are whole minutes.
        const ZoneOffset odd = [](double) { return 330.4; };
        QCOMPARE(offsetMs(odd, 0), 330 * kMsPerMinute);
    }

    void toStringText()
    {
        QCOMPARE(dateText({}, 0), std::string("Thu Jan 1 00:00:00 GMT+0000 1970"));
        const ZoneOffset zone = pacificOffset;
        const double t = makeDate(makeDay(1998, 10, 1), makeTime(20, 0, 0, 0));
        QCOMPARE(dateText(zone, t), std::string("Sun Nov 1 12:00:00 GMT-0800 1998"));
        const ZoneOffset india = [](double) { return 330; };
        QCOMPARE(dateText(india, 0), std::string("Thu Jan 1 05:30:00 GMT+0530 1970"));
        QCOMPARE(dateText(zone, kNaN), std::string("Invalid Date"));
        QCOMPARE(dateText({}, -8.64e15), std::string("Tue Apr 20 00:00:00 GMT+0000 -271821"));
    }

    void otherForms_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<double>("hour");
        QTest::addColumn<QString>("expected");
        // 1 February 1974 in a zone eight hours behind UTC, at the local hour given.
        QTest::newRow("date") << int(DateForm::DateOnly) << 0.0 << "Fri Feb 1 1974";
        QTest::newRow("time") << int(DateForm::TimeOnly) << 0.0 << "00:00:00 GMT-0800";
        QTest::newRow("locale at midnight")
            << int(DateForm::Locale) << 0.0 << "Fri Feb 1 12:00:00 AM 1974";
        QTest::newRow("locale at noon") << int(DateForm::LocaleTime) << 12.0 << "12:00:00 PM";
        QTest::newRow("locale in the evening") << int(DateForm::LocaleTime) << 21.5 << "9:30:00 PM";
        QTest::newRow("UTC") << int(DateForm::Utc) << 0.0 << "Fri Feb 1 08:00:00 1974 UTC";
        QTest::newRow("UTC the next day")
            << int(DateForm::Utc) << 20.0 << "Sat Feb 2 04:00:00 1974 UTC";
    }

    void otherForms()
    {
        QFETCH(int, form);
        QFETCH(double, hour);
        QFETCH(QString, expected);
        const ZoneOffset zone = pacificOffset;
        const double local = makeDate(makeDay(1974, 1, 1), hour * kMsPerHour);
        const double t = utcTime(zone, local);
        QCOMPARE(QString::fromStdString(formatDate(zone, t, DateForm(form))), expected);
        QCOMPARE(QString::fromStdString(formatDate(zone, kNaN, DateForm(form))),
                 QString("Invalid Date"));
    }
};

QTEST_APPLESS_MAIN(DateTest)
#include "DateTest.moc"
