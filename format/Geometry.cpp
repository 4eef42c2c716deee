#include "Geometry.h"

#include <cmath>
#include <limits>

namespace swf {

bool Matrix::invert(Matrix& out) const
{
    const double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det))
        return false;
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    out = {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
    return true;
}

ColorTransform ColorTransform::operator*(const ColorTransform& inner) const
{
    // outer(inner(c)) = (c*mi/256 + ai)*mo/256 + ao, kept in the 8.8 and integer forms
    // the format uses, saturated to the 16-bit fields.
    auto mul = [](int outerMul, int innerMul) {
        return static_cast<std::int16_t>(std::clamp(outerMul * innerMul / 256, -32768, 32767));
    };
    auto add = [](int outerMul, int innerAdd, int outerAdd) {
        return static_cast<std::int16_t>(
            std::clamp(innerAdd * outerMul / 256 + outerAdd, -32768, 32767));
    };
    ColorTransform result;
    result.rMul = mul(rMul, inner.rMul);
    result.gMul = mul(gMul, inner.gMul);
    result.bMul = mul(bMul, inner.bMul);
    result.aMul = mul(aMul, inner.aMul);
    result.rAdd = add(rMul, inner.rAdd, rAdd);
    result.gAdd = add(gMul, inner.gAdd, gAdd);
    result.bAdd = add(bMul, inner.bAdd, bAdd);
    result.aAdd = add(aMul, inner.aAdd, aAdd);
    return result;
}

} // namespace swf
