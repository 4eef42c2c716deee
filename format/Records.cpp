#include "Records.h"

namespace swf {

Rect readRect(ByteReader& in)
{
    BitReader bits(in);
    const unsigned n = bits.ub(5);
    Rect rect;
    rect.xMin = Twips{bits.sb(n)};
    rect.xMax = Twips{bits.sb(n)};
    rect.yMin = Twips{bits.sb(n)};
    rect.yMax = Twips{bits.sb(n)};
    return rect;
}

Matrix readMatrix(ByteReader& in)
{
    BitReader bits(in);
    Matrix m;
    if (bits.flag()) {
        const unsigned n = bits.ub(5);
        m.a = bits.fb(n);
        m.d = bits.fb(n);
    }
    if (bits.flag()) {
        const unsigned n = bits.ub(5);
        m.b = bits.fb(n);
        m.c = bits.fb(n);
    }
    const unsigned n = bits.ub(5);
    m.tx = bits.sb(n);
    m.ty = bits.sb(n);
    return m;
}

ColorTransform readColorTransform(ByteReader& in, bool withAlpha)
{
    BitReader bits(in);
    const bool hasAdd = bits.flag();
    const bool hasMul = bits.flag();
    const unsigned n = bits.ub(4);
    ColorTransform cx;
    auto field = [&] { return static_cast<std::int16_t>(bits.sb(n)); };
    if (hasMul) {
        cx.rMul = field();
        cx.gMul = field();
        cx.bMul = field();
        if (withAlpha)
            cx.aMul = field();
    }
    if (hasAdd) {
        cx.rAdd = field();
        cx.gAdd = field();
        cx.bAdd = field();
        if (withAlpha)
            cx.aAdd = field();
    }
    return cx;
}

Rgba readRgb(ByteReader& in)
{
    Rgba c;
    c.r = in.u8();
    c.g = in.u8();
    c.b = in.u8();
    return c;
}

Rgba readRgba(ByteReader& in)
{
    Rgba c = readRgb(in);
    c.a = in.u8();
    return c;
}

Rgba readArgb(ByteReader& in)
{
    Rgba c;
    c.a = in.u8();
    c.r = in.u8();
    c.g = in.u8();
    c.b = in.u8();
    return c;
}

} // namespace swf
