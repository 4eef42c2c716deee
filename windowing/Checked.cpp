#include "Checked.h"

#include "RuntimeError.h"

#include <cmath>
#include <limits>

namespace windowing {

namespace {

template <typename T> T checkedResult(bool overflowed, T result)
{
    if (overflowed)
        raiseError(ErrorNumber::Overflow);
    return result;
}

template <typename T> T roundTo(double value)
{
    if (!std::isfinite(value))
        raiseError(ErrorNumber::Overflow);
    const double rounded = std::nearbyint(value); // the default mode: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<T>::max()))
        raiseError(ErrorNumber::Overflow);
    return static_cast<T>(rounded);
}

} // namespace

std::int16_t add16(std::int16_t a, std::int16_t b)
{
    std::int16_t r = 0;
    const bool overflowed = __builtin_add_overflow(a, b, &r);
    return checkedResult(overflowed, r);
}

std::int16_t sub16(std::int16_t a, std::int16_t b)
{
    std::int16_t r = 0;
    const bool overflowed = __builtin_sub_overflow(a, b, &r);
    return checkedResult(overflowed, r);
}

std::int32_t add32(std::int32_t a, std::int32_t b)
{
    std::int32_t r = 0;
    const bool overflowed = __builtin_add_overflow(a, b, &r);
    return checkedResult(overflowed, r);
}

std::int32_t sub32(std::int32_t a, std::int32_t b)
{
    std::int32_t r = 0;
    const bool overflowed = __builtin_sub_overflow(a, b, &r);
    return checkedResult(overflowed, r);
}

std::int32_t mul32(std::int32_t a, std::int32_t b)
{
    std::int32_t r = 0;
    const bool overflowed = __builtin_mul_overflow(a, b, &r);
    return checkedResult(overflowed, r);
}

std::int16_t narrow16(std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        raiseError(ErrorNumber::Overflow);
    return static_cast<std::int16_t>(value);
}

std::int32_t roundToInt32(double value)
{
    return roundTo<std::int32_t>(value);
}

std::int16_t roundToInt16(double value)
{
    return roundTo<std::int16_t>(value);
}

float checkSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        raiseError(ErrorNumber::Overflow);
    return static_cast<float>(value);
}

double checkDouble(double value)
{
    if (!std::isfinite(value))
        raiseError(ErrorNumber::Overflow);
    return value;
}

double divide(double numerator, double denominator)
{
    if (denominator == 0) {
        if (numerator == 0 || std::isnan(numerator))
            raiseError(ErrorNumber::Overflow);
        raiseError(ErrorNumber::DivisionByZero);
    }
    return checkDouble(numerator / denominator);
}

} // namespace windowing
