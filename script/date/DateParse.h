#pragma once

// Date.parse: the text forms of dates both machines' Date classes read.
#include "LocalTime.h"

#include <string_view>

namespace script::date {

// The time value of `text`, or NaN when it is not a date. Read: a month by name
// ("Feb", "February") or as in "2/1/2005" and "2005/2/1", the day of the month, the
// year, an optional time "hh:mm[:ss]" with AM or PM, an optional weekday name, and an
// optional zone "GMT-0800" / "UTC+01" (the local zone without one), in any order the
// Date text methods write them; "(...)" is a comment.
double parseDate(std::u16string_view text, const ZoneOffset& zone);

} // namespace script::date
