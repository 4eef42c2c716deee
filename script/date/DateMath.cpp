#include "DateMath.h"

#include <cmath>
#include <limits>

namespace script::date {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The remainder with the sign of the divisor.
double positiveModulo(double a, double b)
{
    const double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

double dayFromYear(double y)
{
    return 365.0 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}

double timeFromYear(double y)
{
    return kMsPerDay * dayFromYear(y);
}

bool isLeapYear(double y)
{
    if (std::fmod(y, 4) != 0)
        return false;
    if (std::fmod(y, 100) != 0)
        return true;
    return std::fmod(y, 400) == 0;
}

double dayWithinYear(double t)
{
    return day(t) - dayFromYear(yearFromTime(t));
}

// The first day of each month in a common year, and in a leap year.
constexpr int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

double toInteger(double v)
{
    if (std::isnan(v))
        return 0;
    return std::trunc(v);
}

} // namespace

double day(double t)
{
    return std::floor(t / kMsPerDay);
}

double timeWithinDay(double t)
{
    return positiveModulo(t, kMsPerDay);
}

double yearFromTime(double t)
{
    // Time values are clipped to 8.64e15; local times may be a day past that. Beyond,
    // the year loop below would lose its unit steps to rounding.
    if (!std::isfinite(t) || std::fabs(t) > 8.7e15)
        return kNaN;
    // An estimate from the mean year, then corrected by at most a year either way.
    double y = std::floor(day(t) / 365.2425) + 1970;
    while (timeFromYear(y) > t)
        y -= 1;
    while (timeFromYear(y + 1) <= t)
        y += 1;
    return y;
}

double monthFromTime(double t)
{
    if (std::isnan(yearFromTime(t)))
        return kNaN;
    const int leap = isLeapYear(yearFromTime(t)) ? 1 : 0;
    const double d = dayWithinYear(t);
    for (int m = 0; m < 12; ++m)
        if (d < kMonthStart[leap][m + 1])
            return m;
    return 11;
}

double dateFromTime(double t)
{
    if (std::isnan(yearFromTime(t)))
        return kNaN;
    const int leap = isLeapYear(yearFromTime(t)) ? 1 : 0;
    const int m = static_cast<int>(monthFromTime(t));
    return dayWithinYear(t) - kMonthStart[leap][m] + 1;
}

double weekDay(double t)
{
    if (!std::isfinite(t))
        return kNaN;
    return positiveModulo(day(t) + 4, 7);
}

double hourFromTime(double t)
{
    if (!std::isfinite(t))
        return kNaN;
    return positiveModulo(std::floor(t / kMsPerHour), 24);
}

double minFromTime(double t)
{
    if (!std::isfinite(t))
        return kNaN;
    return positiveModulo(std::floor(t / kMsPerMinute), 60);
}

double secFromTime(double t)
{
    if (!std::isfinite(t))
        return kNaN;
    return positiveModulo(std::floor(t / kMsPerSecond), 60);
}

double msFromTime(double t)
{
    if (!std::isfinite(t))
        return kNaN;
    return positiveModulo(t, kMsPerSecond);
}

double makeTime(double hour, double min, double sec, double ms)
{
    if (!std::isfinite(hour) || !std::isfinite(min) || !std::isfinite(sec) || !std::isfinite(ms))
        return kNaN;
    return toInteger(hour) * kMsPerHour + toInteger(min) * kMsPerMinute +
           toInteger(sec) * kMsPerSecond + toInteger(ms);
}

double makeDay(double year, double month, double date)
{
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date))
        return kNaN;
    const double y = toInteger(year) + std::floor(toInteger(month) / 12);
    const double m = positiveModulo(toInteger(month), 12);
    // Years this far out make no valid time value anyway; stopping here keeps the
    // arithmetic below exact.
    if (std::fabs(y) > 400000)
        return kNaN;
    const int leap = isLeapYear(y) ? 1 : 0;
    return dayFromYear(y) + kMonthStart[leap][static_cast<int>(m)] + toInteger(date) - 1;
}

double makeDate(double day, double time)
{
    if (!std::isfinite(day) || !std::isfinite(time))
        return kNaN;
    return day * kMsPerDay + time;
}

double timeClip(double t)
{
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15)
        return kNaN;
    return toInteger(t) + 0.0;
}

double dateField(double t, DateField field)
{
    switch (field) {
    case DateField::FullYear:
        return yearFromTime(t);
    case DateField::Year:
        return yearFromTime(t) - 1900;
    case DateField::Month:
        return monthFromTime(t);
    case DateField::Date:
        return dateFromTime(t);
    case DateField::Day:
        return weekDay(t);
    case DateField::Hours:
        return hourFromTime(t);
    case DateField::Minutes:
        return minFromTime(t);
    case DateField::Seconds:
        return secFromTime(t);
    case DateField::Milliseconds:
        return msFromTime(t);
    }
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace script::date
