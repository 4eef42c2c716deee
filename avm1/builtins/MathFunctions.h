#pragma once

#include "avm1/Function.h"

namespace avm1 {

// Math's natives by their index in the reference's table (ASnative 200): abs, min,
// max, sin, cos, atan2, tan, exp, log, sqrt, round, random, floor, ceil, atan, asin,
// acos, pow, isNaN, isFinite. Other indexes convert their arguments and answer NaN.
NativeFn mathNative(int index);

} // namespace avm1
