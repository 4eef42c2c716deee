#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>

namespace swf {

// The movie's unit of length: 20 to a pixel. It is a type of its own so that it never
// mixes silently with the window's twips, which are 15 to a pixel.
struct Twips {
    static constexpr int kPerPixel = 20;

    std::int32_t value = 0;

    constexpr double pixels() const { return value / double(kPerPixel); }
    static constexpr Twips fromPixels(double pixels)
    {
        return Twips{static_cast<std::int32_t>(pixels * kPerPixel)};
    }
    friend constexpr Twips operator+(Twips a, Twips b) { return Twips{a.value + b.value}; }
    friend constexpr Twips operator-(Twips a, Twips b) { return Twips{a.value - b.value}; }
    friend constexpr auto operator<=>(Twips, Twips) = default;
};

// An axis-aligned rectangle in movie twips, as the format stores it.
struct Rect {
    Twips xMin, xMax, yMin, yMax;

    constexpr Twips width() const { return xMax - xMin; }
    constexpr Twips height() const { return yMax - yMin; }
    constexpr bool isEmpty() const { return xMax <= xMin || yMax <= yMin; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;

    friend constexpr bool operator==(const Rgba&, const Rgba&) = default;
};

// A 2x3 affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty, with the
// translation in movie twips (the format's ScaleX, RotateSkew0, RotateSkew1, ScaleY).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1;
    double tx = 0, ty = 0;

    static constexpr Matrix translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static constexpr Matrix scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

    // This transform applied after `inner`.
    constexpr Matrix operator*(const Matrix& inner) const
    {
        return {a * inner.a + c * inner.b,        b * inner.a + d * inner.b,
                a * inner.c + c * inner.d,        b * inner.c + d * inner.d,
                a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }
    constexpr double mapX(double x, double y) const { return a * x + c * y + tx; }
    constexpr double mapY(double x, double y) const { return b * x + d * y + ty; }
    bool invert(Matrix& out) const;
    friend constexpr bool operator==(const Matrix&, const Matrix&) = default;
};

// Multiplies and adds per channel: c' = clamp(c * mul / 256 + add). The multipliers
// are 8.8 fixed point as stored; the identity is 256 and 0.
struct ColorTransform {
    std::int16_t rMul = 256, gMul = 256, bMul = 256, aMul = 256;
    std::int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    bool isIdentity() const
    {
        return rMul == 256 && gMul == 256 && bMul == 256 && aMul == 256 && rAdd == 0 && gAdd == 0 &&
               bAdd == 0 && aAdd == 0;
    }
    Rgba apply(Rgba c) const
    {
        auto channel = [](int value, int mul, int add) {
            return static_cast<std::uint8_t>(std::clamp(value * mul / 256 + add, 0, 255));
        };
        return {channel(c.r, rMul, rAdd), channel(c.g, gMul, gAdd), channel(c.b, bMul, bAdd),
                channel(c.a, aMul, aAdd)};
    }
    // This transform applied after `inner`, as a parent's transform applies after its child's.
    ColorTransform operator*(const ColorTransform& inner) const;
    friend constexpr bool operator==(const ColorTransform&, const ColorTransform&) = default;
};

} // namespace swf
