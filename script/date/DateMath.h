#pragma once

#include <cstdint>

// The calendar arithmetic of ECMA-262 (3rd edition, 15.9.1) over time values: milliseconds
// since 1970-01-01 UTC, held in doubles, NaN for an invalid date.

namespace script::date {

inline constexpr double kMsPerSecond = 1000.0;
inline constexpr double kMsPerMinute = 60000.0;
inline constexpr double kMsPerHour = 3600000.0;
inline constexpr double kMsPerDay = 86400000.0;

double day(double t);
double timeWithinDay(double t);
double yearFromTime(double t);
double monthFromTime(double t); // 0 to 11
double dateFromTime(double t);  // 1 to 31
double weekDay(double t);       // 0 (Sunday) to 6
double hourFromTime(double t);
double minFromTime(double t);
double secFromTime(double t);
double msFromTime(double t);

// The fields of a time value scripts read and set one at a time; Year counts from 1900.
enum class DateField : std::uint8_t {
    FullYear,
    Year,
    Month,
    Date,
    Day,
    Hours,
    Minutes,
    Seconds,
    Milliseconds
};
double dateField(double t, DateField field);

double makeTime(double hour, double min, double sec, double ms);
double makeDay(double year, double month, double date);
double makeDate(double day, double time);
// NaN past 8.64e15 milliseconds either side of 1970, else the value made integral.
double timeClip(double t);

} // namespace script::date
