#pragma once

// Dates as text, the way the Date classes of both machines write them.
#include "LocalTime.h"

#include <string>

namespace script::date {

// The forms of Date's text methods, shown for 1 February 1974 00:00 in a zone eight
// hours behind UTC.
enum class DateForm {
    Full,       // toString: "Fri Feb 1 00:00:00 GMT-0800 1974"
    DateOnly,   // toDateString, toLocaleDateString: "Fri Feb 1 1974"
    TimeOnly,   // toTimeString: "00:00:00 GMT-0800"
    Locale,     // toLocaleString: "Fri Feb 1 12:00:00 AM 1974"
    LocaleTime, // toLocaleTimeString: "12:00:00 AM"
    Utc,        // toUTCString: "Fri Feb 1 08:00:00 1974 UTC"
};

// `t` in that form, in local time (UTC for Utc); "Invalid Date" for NaN.
std::string formatDate(const ZoneOffset& zone, double t, DateForm form);

// toString, the only form ActionScript 2 has.
inline std::string dateText(const ZoneOffset& zone, double t)
{
    return formatDate(zone, t, DateForm::Full);
}

} // namespace script::date
