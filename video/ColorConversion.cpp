// BT.601 in 16.16 fixed point: the matrix the era's encoders used, and exact enough that
// a flat colour comes back within one step of its value.
#include "ColorConversion.h"

#include <algorithm>

namespace video {

namespace {

struct Matrix {
    int yOffset;
    int yScale;
    int vToR;
    int uToG;
    int vToG;
    int uToB;
};

// Limited range stretches 219 luma steps and 224 chroma steps to 255.
constexpr Matrix kLimited{16, 76309, 104597, 25675, 53279, 132201};
constexpr Matrix kFull{0, 65536, 91881, 22554, 46802, 116130};

inline std::uint32_t clampByte(int value)
{
    return std::uint32_t(std::clamp(value >> 16, 0, 255));
}

// (c * a) / 255, rounded, without a division.
inline std::uint32_t premultiply(std::uint32_t c, std::uint32_t a)
{
    const std::uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

void convertRow(const Matrix& m, const std::uint8_t* y, const std::uint8_t* u,
                const std::uint8_t* v, const std::uint8_t* a, std::uint32_t width,
                std::uint32_t* out)
{
    for (std::uint32_t x = 0; x < width; ++x) {
        const int luma = (int(y[x]) - m.yOffset) * m.yScale + 32768;
        const int cb = int(u[x >> 1]) - 128;
        const int cr = int(v[x >> 1]) - 128;
        std::uint32_t r = clampByte(luma + m.vToR * cr);
        std::uint32_t g = clampByte(luma - m.uToG * cb - m.vToG * cr);
        std::uint32_t b = clampByte(luma + m.uToB * cb);
        std::uint32_t alpha = 255;
        if (a) {
            alpha = a[x];
            r = premultiply(r, alpha);
            g = premultiply(g, alpha);
            b = premultiply(b, alpha);
        }
        out[x] = alpha << 24 | r << 16 | g << 8 | b;
    }
}

} // namespace

void convertYuv420(const YuvPlanes& planes, YuvRange range, std::uint32_t width,
                   std::uint32_t height, std::uint32_t* out)
{
    const Matrix& m = range == YuvRange::Full ? kFull : kLimited;
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::ptrdiff_t chromaRow = std::ptrdiff_t(row >> 1);
        convertRow(m, planes.y + std::ptrdiff_t(row) * planes.yStride,
                   planes.u + chromaRow * planes.uStride, planes.v + chromaRow * planes.vStride,
                   planes.a ? planes.a + std::ptrdiff_t(row) * planes.aStride : nullptr, width,
                   out + std::size_t(row) * width);
    }
}

void convertBgr24(const std::uint8_t* rows, int stride, std::uint32_t width, std::uint32_t height,
                  std::uint32_t* out)
{
    for (std::uint32_t row = 0; row < height; ++row) {
        const std::uint8_t* in = rows + std::ptrdiff_t(row) * stride;
        std::uint32_t* line = out + std::size_t(row) * width;
        for (std::uint32_t x = 0; x < width; ++x, in += 3)
            line[x] = 0xff000000u | std::uint32_t(in[2]) << 16 | std::uint32_t(in[1]) << 8 | in[0];
    }
}

} // namespace video
