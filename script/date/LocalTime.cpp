#include "LocalTime.h"

#include "DateMath.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace script::date {

double offsetMs(const ZoneOffset& zone, double utc)
{
    if (!zone || !std::isfinite(utc))
        return 0;
    return std::round(zone(utc)) * kMsPerMinute;
}

double localTime(const ZoneOffset& zone, double utc)
{
    return utc + offsetMs(zone, utc);
}

double utcTime(const ZoneOffset& zone, double local)
{
    if (!std::isfinite(local))
        return std::numeric_limits<double>::quiet_NaN();
    return local - offsetMs(zone, local - offsetMs(zone, local));
}

double systemTimeMilliseconds()
{
    using namespace std::chrono;
    return static_cast<double>(
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

namespace {

// The C library's view of the process's zone at a time.
bool localFields(double utcSeconds, std::tm& local)
{
    // It knows the zone's rules only for times a time_t holds; outside them the rules
    // of the nearest such time stand in.
    constexpr double kLimitSeconds = 253402300799.0; // the end of year 9999
    const std::time_t when =
        static_cast<std::time_t>(std::clamp(utcSeconds, -kLimitSeconds, kLimitSeconds));
    return localtime_r(&when, &local) != nullptr;
}

// The zone's standard offset in minutes, as of now: ECMAScript's LocalTZA, one value
// for every time, so that dates before a zone's history (local mean time) still read
// in its standard time.
double standardOffsetMinutes()
{
    const double now = std::floor(systemTimeMilliseconds() / 1000.0);
    // Of two times half a year apart one is in standard time wherever the zone keeps
    // daylight saving time.
    for (double probe : {now, now + 182.5 * 86400.0}) {
        std::tm local{};
        if (localFields(probe, local) && local.tm_isdst <= 0)
            return static_cast<double>(local.tm_gmtoff) / 60.0;
    }
    return 0;
}

} // namespace

double systemOffsetMinutes(double utcMilliseconds)
{
    if (!std::isfinite(utcMilliseconds))
        return 0;
    std::tm local{};
    if (!localFields(std::floor(utcMilliseconds / 1000.0), local))
        return 0;
    // The standard offset, and the zone's daylight saving time where its rules had it.
    return standardOffsetMinutes() + (local.tm_isdst > 0 ? 60.0 : 0.0);
}

} // namespace script::date
