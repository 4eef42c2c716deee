// The calendar arithmetic both Date classes stand on, local time through a host's zone,
// and the text toString writes.
#include "script/date/DateMath.h"
#include "script/date/DateParse.h"
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

    void parseForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        // Local times are in the Pacific zone above; a zone in the text wins.
        const double feb1 = makeDate(makeDay(2005, 1, 1), 8 * kMsPerHour);
        const double feb1Noon = feb1 + 12.5 * kMsPerHour;
        QTest::newRow("toString") << "Tue Feb 1 00:00:00 GMT-0800 2005" << feb1;
        QTest::newRow("toString, another zone") << "Tue Feb 1 09:00:00 GMT+0100 2005" << feb1;
        QTest::newRow("toUTCString") << "Tue Feb 1 08:00:00 2005 UTC" << feb1;
        QTest::newRow("toDateString") << "Tue Feb 1 2005" << feb1;
        QTest::newRow("toLocaleString") << "Tue Feb 1 12:30:00 PM 2005" << feb1Noon;
        QTest::newRow("midnight AM") << "Feb 1 2005 12:00 AM" << feb1;
        QTest::newRow("month first, slashes") << "02/01/2005 12:30:00" << feb1Noon;
        QTest::newRow("year first, slashes") << "2005/2/1" << feb1;
        QTest::newRow("month name, slashes") << "Feb/1/2005" << feb1;
        QTest::newRow("time first") << "12:30 Tue Feb/01/2005" << feb1Noon;
        QTest::newRow("day before month") << "Tue 1 February 00:00:00 GMT-0800 2005" << feb1;
        QTest::newRow("short zone, comment") << "Feb 1 2005 (PST) 08:00:00 UTC+00" << feb1;
        QTest::newRow("a two-digit year") << "Jan 1 70 00:00:00 GMT" << 0.0;
        QTest::newRow("the summer zone")
            << "Jul 4 2025 12:00:00" << makeDate(makeDay(2025, 6, 4), 19 * kMsPerHour);
        QTest::newRow("a lone number") << "12" << kNaN;
        QTest::newRow("no year") << "Feb 1" << kNaN;
        QTest::newRow("an unknown word") << "Feb 1 2005 noon" << kNaN;
        QTest::newRow("two months") << "Feb Mar 1 2005" << kNaN;
        QTest::newRow("day 32") << "Feb 32 2005" << kNaN;
        QTest::newRow("minute 60") << "Feb 1 2005 10:60" << kNaN;
        QTest::newRow("hour 13 PM") << "Feb 1 2005 13:00 PM" << kNaN;
        QTest::newRow("an open comment") << "Feb 1 2005 (PST" << kNaN;
        QTest::newRow("a sign with nothing before") << "-0800 Feb 1 2005" << kNaN;
        QTest::newRow("too many digits") << "Feb 1 2005000000000" << kNaN;
        QTest::newRow("empty") << "" << kNaN;
    }

    void parseForms()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const double got = parseDate(text.toStdU16String(), pacificOffset);
        if (std::isnan(expected))
            QVERIFY2(std::isnan(got), qPrintable(QString::number(got, 'f', 0)));
        else
            QCOMPARE(got, expected);
    }

    void everyFormReadsBack()
    {
        // What the text methods write, parsed, is the time again, to the second (the date
        // alone to its midnight).
        const ZoneOffset zone = pacificOffset;
        for (double t : {0.0, 1107244800000.0, 1751652000000.0, -2208988800000.0}) {
            for (DateForm form : {DateForm::Full, DateForm::Utc, DateForm::Locale}) {
                const std::string text = formatDate(zone, t, form);
                const std::u16string wide(text.begin(), text.end());
                QCOMPARE(parseDate(wide, zone), t);
            }
        }
    }
};

QTEST_APPLESS_MAIN(DateTest)
#include "DateTest.moc"
