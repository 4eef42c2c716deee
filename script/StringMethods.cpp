#include "StringMethods.h"

#include "NumberConvert.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace script {

namespace {

// ToInteger(position) clamped to [0, length].
std::size_t clampedPosition(double position, std::size_t length)
{
    const double integer = toInteger(position);
    if (integer <= 0)
        return 0;
    if (integer >= static_cast<double>(length))
        return length;
    return static_cast<std::size_t>(integer);
}

// A position that counts from the end when negative, clamped to [0, length].
std::size_t relativePosition(double position, std::size_t length)
{
    const double integer = toInteger(position);
    const double size = static_cast<double>(length);
    if (integer < 0)
        return static_cast<std::size_t>(std::max(size + integer, 0.0));
    return static_cast<std::size_t>(std::min(integer, size));
}

} // namespace

std::int32_t indexOf(std::u16string_view text, std::u16string_view search, double position)
{
    const std::size_t start = clampedPosition(position, text.size());
    const std::size_t found = text.find(search, start);
    return found == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(found);
}

std::int32_t lastIndexOf(std::u16string_view text, std::u16string_view search, double position)
{
    const std::size_t start =
        std::isnan(position) ? text.size() : clampedPosition(position, text.size());
    const std::size_t found = text.rfind(search, start);
    return found == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(found);
}

std::u16string_view substring(std::u16string_view text, double start, double end)
{
    std::size_t from = clampedPosition(start, text.size());
    std::size_t to = clampedPosition(end, text.size());
    if (from > to)
        std::swap(from, to);
    return text.substr(from, to - from);
}

std::u16string_view substr(std::u16string_view text, double start, double length)
{
    const std::size_t from = relativePosition(start, text.size());
    // The end is start + length, and an end before 0 counts from the text's end, as
    // slice's does: "123456789".substr(0, -1) is "12345678", substr(1, -1) is "".
    const std::size_t to =
        relativePosition(static_cast<double>(from) + toInteger(length), text.size());
    return from < to ? text.substr(from, to - from) : std::u16string_view{};
}

std::u16string_view slice(std::u16string_view text, double start, double end)
{
    const std::size_t from = relativePosition(start, text.size());
    const std::size_t to = relativePosition(end, text.size());
    return from < to ? text.substr(from, to - from) : std::u16string_view{};
}

double charCodeAt(std::u16string_view text, double index)
{
    const double integer = toInteger(index);
    if (integer < 0 || integer >= static_cast<double>(text.size()))
        return std::numeric_limits<double>::quiet_NaN();
    return text[static_cast<std::size_t>(integer)];
}

std::u16string_view charAt(std::u16string_view text, double index)
{
    const double integer = toInteger(index);
    if (integer < 0 || integer >= static_cast<double>(text.size()))
        return {};
    return text.substr(static_cast<std::size_t>(integer), 1);
}

char16_t fromCharCode(double code)
{
    return static_cast<char16_t>(toUint16(code));
}

std::int32_t localeCompare(std::u16string_view text, std::u16string_view other)
{
    const std::size_t common = std::min(text.size(), other.size());
    for (std::size_t i = 0; i < common; ++i)
        if (text[i] != other[i])
            return static_cast<std::int32_t>(text[i]) - static_cast<std::int32_t>(other[i]);
    if (text.size() == other.size())
        return 0;
    return text.size() < other.size() ? -1 : 1;
}

} // namespace script
