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

double systemOffsetMinutes(double utcMilliseconds)
{
    // The C library knows the zone's rules only for times a time_t holds; outside
    // them the offset of the nearest such time stands in.
    if (!std::isfinite(utcMilliseconds))
        return 0;
    constexpr double kLimitSeconds = 253402300799.0; // the end of year 9999
    double seconds = std::floor(utcMilliseconds / 1000.0);
    seconds = std::clamp(seconds, -kLimitSeconds, kLimitSeconds);
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&when, &local))
        return 0;
    return static_cast<double>(local.tm_gmtoff) / 60.0;
}

} // namespace script::date
