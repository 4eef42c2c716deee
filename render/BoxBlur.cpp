#include "BoxBlur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace render {

namespace {

// A box wider than the largest image side blurs no differently.
constexpr int kMaxBox = 1 << 14;

// Sums times this, shifted right 16, divide by the box width.
std::uint32_t reciprocal(int box)
{
    return static_cast<std::uint32_t>((65536 + box / 2) / box);
}

void blurRows(const PixelPlane& plane, int box)
{
    const int channels = plane.channels;
    const int before = box / 2, after = box - 1 - before;
    const std::uint32_t scale = reciprocal(box);
    std::vector<std::uint8_t> line(std::size_t(plane.width) * channels);
    std::vector<std::uint32_t> sums(channels);
    for (int y = 0; y < plane.height; ++y) {
        std::uint8_t* row = plane.data + std::ptrdiff_t(y) * plane.stride;
        std::memcpy(line.data(), row, line.size());
        std::fill(sums.begin(), sums.end(), 0);
        // The window for x = 0 covers [-before, after].
        for (int x = 0; x <= std::min(after, plane.width - 1); ++x)
            for (int c = 0; c < channels; ++c)
                sums[c] += line[std::size_t(x) * channels + c];
        for (int x = 0; x < plane.width; ++x) {
            for (int c = 0; c < channels; ++c)
                row[std::size_t(x) * channels + c] =
                    static_cast<std::uint8_t>((sums[c] * scale + 32768) >> 16);
            const int enter = x + after + 1, leave = x - before;
            if (enter < plane.width)
                for (int c = 0; c < channels; ++c)
                    sums[c] += line[std::size_t(enter) * channels + c];
            if (leave >= 0)
                for (int c = 0; c < channels; ++c)
                    sums[c] -= line[std::size_t(leave) * channels + c];
        }
    }
}

void blurColumns(const PixelPlane& plane, int box)
{
    // Walks down the rows with one running sum per column: each row is read in order,
    // which keeps the pass as cache-friendly as the horizontal one.
    const int before = box / 2, after = box - 1 - before;
    const std::uint32_t scale = reciprocal(box);
    const std::size_t rowBytes = std::size_t(plane.width) * plane.channels;
    std::vector<std::uint8_t> source(rowBytes * plane.height);
    for (int y = 0; y < plane.height; ++y)
        std::memcpy(source.data() + rowBytes * y, plane.data + std::ptrdiff_t(y) * plane.stride,
                    rowBytes);
    std::vector<std::uint32_t> sums(rowBytes, 0);
    for (int y = 0; y <= std::min(after, plane.height - 1); ++y) {
        const std::uint8_t* in = source.data() + rowBytes * y;
        for (std::size_t i = 0; i < rowBytes; ++i)
            sums[i] += in[i];
    }
    for (int y = 0; y < plane.height; ++y) {
        std::uint8_t* out = plane.data + std::ptrdiff_t(y) * plane.stride;
        for (std::size_t i = 0; i < rowBytes; ++i)
            out[i] = static_cast<std::uint8_t>((sums[i] * scale + 32768) >> 16);
        const int enter = y + after + 1, leave = y - before;
        if (enter < plane.height) {
            const std::uint8_t* in = source.data() + rowBytes * enter;
            for (std::size_t i = 0; i < rowBytes; ++i)
                sums[i] += in[i];
        }
        if (leave >= 0) {
            const std::uint8_t* in = source.data() + rowBytes * leave;
            for (std::size_t i = 0; i < rowBytes; ++i)
                sums[i] -= in[i];
        }
    }
}

} // namespace

int boxWidth(double size)
{
    if (!std::isfinite(size) || size <= 1)
        return 1;
    // An odd width centres the box on its pixel, so the blur spreads alike both ways.
    return std::min(kMaxBox, static_cast<int>(std::lround(size)) | 1);
}

void boxBlur(const PixelPlane& plane, int boxX, int boxY, int passes)
{
    if (!plane.data || plane.width <= 0 || plane.height <= 0)
        return;
    for (int pass = 0; pass < passes; ++pass) {
        if (boxX > 1)
            blurRows(plane, boxX);
        if (boxY > 1)
            blurColumns(plane, boxY);
    }
}

} // namespace render
