#pragma once

#include <cstdint>

// Integer arithmetic that raises the overflow error when a result does not fit its
// width, conversions that round as the runtime does (to nearest, halves to even), and
// the floating-point fault test applied after computed coordinates.
namespace windowing {

std::int16_t add16(std::int16_t a, std::int16_t b);
std::int16_t sub16(std::int16_t a, std::int16_t b);
std::int32_t add32(std::int32_t a, std::int32_t b);
std::int32_t sub32(std::int32_t a, std::int32_t b);
std::int32_t mul32(std::int32_t a, std::int32_t b);

// A 32-bit value used where a 16-bit one is expected (a control index, say).
std::int16_t narrow16(std::int32_t value);

// Conversions of a floating-point value to an integer: nearest, halves to even
// (1200.5 gives 1200, 1201.5 gives 1202); outside the range, or not a number, is an
// overflow.
std::int32_t roundToInt32(double value);
std::int16_t roundToInt16(double value);

// The floating-point fault test: a result that is not finite, or out of range for
// the type it is stored in, raises the overflow error. Returns the value as stored.
float checkSingle(double value);
double checkDouble(double value);

// Division with the runtime's faults: a non-zero value divided by zero raises the
// division-by-zero error, zero by zero the overflow error.
double divide(double numerator, double denominator);

} // namespace windowing
