#include "DateParse.h"

#include "DateMath.h"

#include <cmath>
#include <limits>
#include <string>

namespace script::date {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Digits of one number: more make no field of a date, and nine keep it exact in an int.
constexpr int kMaxDigits = 9;
// Nested comments: any real date text has one level at most.
constexpr int kMaxCommentDepth = 16;

constexpr const char* kMonthNames[] = {"january",   "february", "march",    "april",
                                       "may",       "june",     "july",     "august",
                                       "september", "october",  "november", "december"};
constexpr const char* kDayNames[] = {"sunday",   "monday", "tuesday", "wednesday",
                                     "thursday", "friday", "saturday"};

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// `word` (already lower case) names `full` when it is its first three letters or more.
bool abbreviates(std::u16string_view word, const char* full)
{
    std::size_t i = 0;
    for (; i < word.size(); ++i)
        if (full[i] == 0 || static_cast<char16_t>(full[i]) != word[i])
            return false;
    return i >= 3;
}

struct Fields {
    double year = kNaN;
    double month = kNaN; // 0 to 11
    double date = kNaN;
    double hour = kNaN;
    double minute = 0;
    double second = 0;
    int halfDay = 0; // 0 none, 1 AM, 2 PM
    bool hasZone = false;
    double zoneMinutes = 0;
};

class Reader {
public:
    explicit Reader(std::u16string_view text) : m_text(text) {}

    bool read(Fields& f)
    {
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos];
            if (c == u' ' || c == u'\t' || c == u',' || c == u'\n' || c == u'\r') {
                ++m_pos;
            } else if (c == u'(') {
                if (!skipComment())
                    return false;
            } else if (isLetter(c)) {
                if (!readWord(f))
                    return false;
            } else if (isDigit(c)) {
                if (!readNumberField(f))
                    return false;
            } else if (c == u'+' || c == u'-') {
                if (!readOffset(f))
                    return false;
            } else {
                return false;
            }
        }
        return true;
    }

private:
    bool skipComment()
    {
        int depth = 0;
        while (m_pos < m_text.size()) {
            const char16_t c = m_text[m_pos++];
            if (c == u'(' && ++depth > kMaxCommentDepth)
                return false;
            if (c == u')' && --depth == 0)
                return true;
        }
        return false;
    }

    bool readNumber(double& value)
    {
        int digits = 0;
        value = 0;
        while (m_pos < m_text.size() && isDigit(m_text[m_pos])) {
            if (++digits > kMaxDigits)
                return false;
            value = value * 10 + (m_text[m_pos++] - u'0');
        }
        m_lastDigits = digits;
        return digits > 0;
    }

    bool accept(char16_t c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool readWord(Fields& f)
    {
        std::u16string word;
        while (m_pos < m_text.size() && isLetter(m_text[m_pos])) {
            if (word.size() > 16)
                return false;
            word.push_back(lower(m_text[m_pos++]));
        }
        if (word == u"am" || word == u"pm") {
            if (f.halfDay)
                return false;
            f.halfDay = word == u"am" ? 1 : 2;
            return true;
        }
        if (word == u"gmt" || word == u"utc" || word == u"ut" || word == u"z") {
            if (f.hasZone)
                return false;
            f.hasZone = true;
            m_afterZoneWord = true;
            return true;
        }
        for (int m = 0; m < 12; ++m)
            if (abbreviates(word, kMonthNames[m])) {
                if (!std::isnan(f.month))
                    return false;
                f.month = m;
                // "Feb/1/2005"
                if (accept(u'/')) {
                    double d = 0;
                    double y = 0;
                    if (!readNumber(d) || !accept(u'/') || !readNumber(y))
                        return false;
                    return setDate(f, d) && setYear(f, y);
                }
                return true;
            }
        for (const char* dayName : kDayNames)
            if (abbreviates(word, dayName))
                return true;
        return false;
    }

    bool setYear(Fields& f, double y)
    {
        if (!std::isnan(f.year))
            return false;
        f.year = y < 100 ? 1900 + y : y;
        return true;
    }

    bool setDate(Fields& f, double d)
    {
        if (!std::isnan(f.date) || d < 1 || d > 31)
            return false;
        f.date = d;
        return true;
    }

    bool readNumberField(Fields& f)
    {
        m_afterZoneWord = false;
        double first = 0;
        if (!readNumber(first))
            return false;
        const int firstDigits = m_lastDigits;
        if (accept(u':')) {
            // hh:mm[:ss]
            if (!std::isnan(f.hour) || !readNumber(f.minute))
                return false;
            f.hour = first;
            if (accept(u':') && !readNumber(f.second))
                return false;
            return f.hour <= 24 && f.minute < 60 && f.second < 60;
        }
        if (accept(u'/')) {
            // mm/dd/yyyy, or yyyy/mm/dd when the first number is a long one
            double second = 0;
            double third = 0;
            if (!readNumber(second) || !accept(u'/') || !readNumber(third))
                return false;
            if (!std::isnan(f.month))
                return false;
            if (firstDigits > 2) {
                f.month = second - 1;
                return setYear(f, first) && setDate(f, third) && second >= 1 && second <= 12;
            }
            f.month = first - 1;
            return setDate(f, second) && setYear(f, third) && first >= 1 && first <= 12;
        }
        // A lone number: one or two digits are the day of the month, unless it is known
        // already; more digits are the year.
        if (firstDigits <= 2 && std::isnan(f.date))
            return setDate(f, first);
        return setYear(f, first);
    }

    // "+0800", "-08", after a zone word or a time.
    bool readOffset(Fields& f)
    {
        const bool negative = m_text[m_pos] == u'-';
        ++m_pos;
        if (!m_afterZoneWord && std::isnan(f.hour))
            return false;
        m_afterZoneWord = false;
        double n = 0;
        if (!readNumber(n))
            return false;
        const double minutes =
            m_lastDigits <= 2 ? n * 60 : std::floor(n / 100) * 60 + std::fmod(n, 100);
        f.hasZone = true;
        f.zoneMinutes = negative ? -minutes : minutes;
        return true;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
    int m_lastDigits = 0;
    bool m_afterZoneWord = false;
};

} // namespace

double parseDate(std::u16string_view text, const ZoneOffset& zone)
{
    Fields f;
    if (!Reader(text).read(f))
        return kNaN;
    if (std::isnan(f.year) || std::isnan(f.month) || std::isnan(f.date))
        return kNaN;
    double hour = std::isnan(f.hour) ? 0 : f.hour;
    if (f.halfDay) {
        if (std::isnan(f.hour) || hour < 1 || hour > 12)
            return kNaN;
        hour = std::fmod(hour, 12) + (f.halfDay == 2 ? 12 : 0);
    }
    const double local =
        makeDate(makeDay(f.year, f.month, f.date), makeTime(hour, f.minute, f.second, 0));
    const double utc = f.hasZone ? local - f.zoneMinutes * kMsPerMinute : utcTime(zone, local);
    return timeClip(utc);
}

} // namespace script::date
