#pragma once

// Local time as both machines' Date classes see it: the host's zone, asked for its
// offset from UTC at a time, turns time values to local ones and back.
#include <functional>

namespace script::date {

// Minutes the host's local time is ahead of UTC at a UTC time value. Empty: UTC.
using ZoneOffset = std::function<double(double utcMilliseconds)>;

// The offset in milliseconds, rounded to whole minutes; 0 for a time that is not finite.
double offsetMs(const ZoneOffset& zone, double utc);
double localTime(const ZoneOffset& zone, double utc);
// The offset is the zone's at the UTC time the local time is nearly: right except in
// the hour a daylight saving change skips or repeats. NaN for a time not finite.
double utcTime(const ZoneOffset& zone, double local);

// What a host without its own clock and zone uses: the system clock, in milliseconds
// since 1970-01-01 UTC, and the process's local zone (the TZ variable), in minutes
// ahead of UTC at a UTC time: the zone's present standard offset, an hour more where
// its rules kept daylight saving time then.
double systemTimeMilliseconds();
double systemOffsetMinutes(double utcMilliseconds);

} // namespace script::date
