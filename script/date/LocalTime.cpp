#include "LocalTime.h"

#include "DateMath.h"

#include <cmath>
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

} // namespace script::date
