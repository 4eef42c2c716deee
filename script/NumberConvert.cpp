#include "NumberConvert.h"

#include <array>
#include <charconv>
#include <cmath>

namespace script {

double toInteger(double value)
{
    if (std::isnan(value))
        return 0.0;
    return std::trunc(value);
}

std::uint32_t toUint32(double value)
{
    if (!std::isfinite(value))
        return 0;
    // fmod is exact, and keeps the integer's sign: -1 becomes 2^32 - 1 below.
    double wrapped = std::fmod(std::trunc(value), 4294967296.0);
    if (wrapped < 0)
        wrapped += 4294967296.0;
    return static_cast<std::uint32_t>(wrapped);
}

std::int32_t toInt32(double value)
{
    return static_cast<std::int32_t>(toUint32(value));
}

std::uint16_t toUint16(double value)
{
    return static_cast<std::uint16_t>(toUint32(value));
}

std::u16string intToString(std::int32_t value)
{
    std::array<char, 16> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return widenAscii(
        std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

std::u16string uintToString(std::uint32_t value)
{
    std::array<char, 16> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return widenAscii(
        std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
}

std::u16string widenAscii(std::string_view ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

} // namespace script
