// The colour matrix and convolution filters: both work on unpremultiplied colours.
#include "LayerFilters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

namespace {

struct Rgbaf {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Rgbaf unpremultiplied(QRgb pixel)
{
    const QRgb p = qUnpremultiply(pixel);
    return {float(qRed(p)), float(qGreen(p)), float(qBlue(p)), float(qAlpha(p))};
}

inline QRgb premultiplied(float r, float g, float b, float a)
{
    auto clamp = [](float v) {
        return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))) : 0;
    };
    return qPremultiply(qRgba(clamp(r), clamp(g), clamp(b), clamp(a)));
}

// Bigger kernels are legal but cost rows * columns per pixel; the movie's byte fields
// allow 255 x 255. Past this size the filter is skipped.
constexpr int kMaxKernelCells = 31 * 31;

} // namespace

void applyColorMatrix(QImage& layer, const swf::ColorMatrixFilter& filter)
{
    const auto& m = filter.matrix;
    for (int y = 0; y < layer.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const Rgbaf c = unpremultiplied(row[x]);
            row[x] = premultiplied(m[0] * c.r + m[1] * c.g + m[2] * c.b + m[3] * c.a + m[4],
                                   m[5] * c.r + m[6] * c.g + m[7] * c.b + m[8] * c.a + m[9],
                                   m[10] * c.r + m[11] * c.g + m[12] * c.b + m[13] * c.a + m[14],
                                   m[15] * c.r + m[16] * c.g + m[17] * c.b + m[18] * c.a + m[19]);
        }
    }
}

void applyConvolution(QImage& layer, const swf::ConvolutionFilter& filter)
{
    const int columns = filter.columns, rows = filter.rows;
    if (columns == 0 || rows == 0 || columns * rows > kMaxKernelCells ||
        filter.matrix.size() < std::size_t(columns) * rows)
        return;
    const int w = layer.width(), h = layer.height();
    std::vector<Rgbaf> source(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < w; ++x)
            source[std::size_t(y) * w + x] = unpremultiplied(row[x]);
    }
    const Rgbaf outside{float(filter.defaultColor.r), float(filter.defaultColor.g),
                        float(filter.defaultColor.b), float(filter.defaultColor.a)};
    const float divisor = filter.divisor == 0 ? 1.0f : filter.divisor;
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
        for (int x = 0; x < w; ++x) {
            Rgbaf sum;
            for (int j = 0; j < rows; ++j) {
                for (int i = 0; i < columns; ++i) {
                    int sx = x + i - columns / 2, sy = y + j - rows / 2;
                    Rgbaf c;
                    if (sx >= 0 && sy >= 0 && sx < w && sy < h) {
                        c = source[std::size_t(sy) * w + sx];
                    } else if (filter.clamp) {
                        sx = std::clamp(sx, 0, w - 1);
                        sy = std::clamp(sy, 0, h - 1);
                        c = source[std::size_t(sy) * w + sx];
                    } else {
                        c = outside;
                    }
                    const float k = filter.matrix[std::size_t(j) * columns + i];
                    sum.r += k * c.r;
                    sum.g += k * c.g;
                    sum.b += k * c.b;
                    sum.a += k * c.a;
                }
            }
            const float alpha = filter.preserveAlpha ? source[std::size_t(y) * w + x].a
                                                     : sum.a / divisor + filter.bias;
            out[x] = premultiplied(sum.r / divisor + filter.bias, sum.g / divisor + filter.bias,
                                   sum.b / divisor + filter.bias, alpha);
        }
    }
}

} // namespace render
