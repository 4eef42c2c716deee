#include "DateText.h"

#include "DateMath.h"

#include <cmath>
#include <cstdio>

namespace script::date {

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The fields of a time value, already in the zone it is shown in.
struct Fields {
    const char* day;
    const char* month;
    int date;
    int hour;
    int minute;
    int second;
    double year;
};

Fields fieldsOf(double t)
{
    return {kDays[static_cast<int>(weekDay(t))],
            kMonths[static_cast<int>(monthFromTime(t))],
            static_cast<int>(dateFromTime(t)),
            static_cast<int>(hourFromTime(t)),
            static_cast<int>(minFromTime(t)),
            static_cast<int>(secFromTime(t)),
            yearFromTime(t)};
}

// "GMT-0800": the offset in hours and minutes.
std::string zoneText(double offsetMinutes)
{
    const int minutes = static_cast<int>(std::fabs(offsetMinutes));
    char text[16];
    std::snprintf(text, sizeof text, "GMT%c%02d%02d", offsetMinutes < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

// "12:00:00 AM": hours 1 to 12 of the half day.
std::string twelveHourTime(const Fields& f)
{
    const int hour = f.hour % 12 == 0 ? 12 : f.hour % 12;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour, f.minute, f.second,
                  f.hour < 12 ? "AM" : "PM");
    return text;
}

} // namespace

std::string formatDate(const ZoneOffset& zone, double t, DateForm form)
{
    if (std::isnan(t))
        return "Invalid Date";
    const double offset = form == DateForm::Utc ? 0 : offsetMs(zone, t) / kMsPerMinute;
    const Fields f = fieldsOf(t + offset * kMsPerMinute);
    char text[128];
    switch (form) {
    case DateForm::Full:
        std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d %s %.0f", f.day, f.month, f.date,
                      f.hour, f.minute, f.second, zoneText(offset).c_str(), f.year);
        break;
    case DateForm::DateOnly:
        std::snprintf(text, sizeof text, "%s %s %d %.0f", f.day, f.month, f.date, f.year);
        break;
    case DateForm::TimeOnly:
        std::snprintf(text, sizeof text, "%02d:%02d:%02d %s", f.hour, f.minute, f.second,
                      zoneText(offset).c_str());
        break;
    case DateForm::Locale:
        std::snprintf(text, sizeof text, "%s %s %d %s %.0f", f.day, f.month, f.date,
                      twelveHourTime(f).c_str(), f.year);
        break;
    case DateForm::LocaleTime:
        return twelveHourTime(f);
    case DateForm::Utc:
        std::snprintf(text, sizeof text, "%s %s %d %02d:%02d:%02d %.0f UTC", f.day, f.month, f.date,
                      f.hour, f.minute, f.second, f.year);
        break;
    }
    return text;
}

} // namespace script::date
