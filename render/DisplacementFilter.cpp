// The displacement map on a drawn layer: each pixel takes the colour of the pixel its map
// sample points to. The map is laid from the layer's top left corner (the object's, as a
// displacement grows the layer by nothing), moved by the filter's map point, one map
// pixel to a pixel of the object, so both it and the distances scale with the view. What
// the object drew (the box of its pixels that are not clear) is the picture displaced:
// past its edges the filter's mode decides.
#include "LayerFilters.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

namespace {

// One channel of a premultiplied map pixel, unpremultiplied: 1 red, 2 green, 4 blue,
// 8 alpha; any other value displaces nothing.
int channelOf(std::uint32_t argb, std::int32_t component)
{
    const int a = int(argb >> 24);
    const auto straight = [a](int c) { return a == 0 ? 0 : std::min(255, c * 255 / a); };
    switch (component) {
    case 1:
        return straight(int(argb >> 16 & 0xFF));
    case 2:
        return straight(int(argb >> 8 & 0xFF));
    case 4:
        return straight(int(argb & 0xFF));
    case 8:
        return a;
    default:
        return 128;
    }
}

QRgb premultipliedColor(swf::Rgba c)
{
    return qPremultiply(qRgba(c.r, c.g, c.b, c.a));
}

} // namespace

void applyDisplacementMap(QImage& layer, const swf::DisplacementMapFilter& filter, double scale)
{
    const swf::Bitmap* map = filter.map.get();
    const int w = layer.width(), h = layer.height();
    if (!map || map->width == 0 || map->height == 0 || w == 0 || h == 0 || scale <= 0 ||
        map->pixels.size() < std::size_t(map->width) * map->height)
        return;
    const std::vector<QRgb> source(reinterpret_cast<const QRgb*>(layer.constBits()),
                                   reinterpret_cast<const QRgb*>(layer.constBits()) +
                                       std::size_t(w) * h);
    const auto sourceRow = [&](int y) { return source.data() + std::size_t(y) * w; };
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (qAlpha(sourceRow(y)[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return;
    const long long boxW = right - left + 1, boxH = bottom - top + 1;
    const QRgb outside = premultipliedColor(filter.color);
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(layer.scanLine(y));
        const long long my = static_cast<long long>(std::floor(y / scale)) - filter.mapY;
        for (int x = 0; x < w; ++x) {
            const long long mx = static_cast<long long>(std::floor(x / scale)) - filter.mapX;
            if (mx < 0 || my < 0 || mx >= map->width || my >= map->height)
                continue; // outside the map, a pixel stays where it is
            const std::uint32_t m = map->pixel(std::uint32_t(mx), std::uint32_t(my));
            const double dx = (channelOf(m, filter.componentX) - 128) * filter.scaleX / 256 * scale;
            const double dy = (channelOf(m, filter.componentY) - 128) * filter.scaleY / 256 * scale;
            long long sx = x + static_cast<long long>(std::floor(dx));
            long long sy = y + static_cast<long long>(std::floor(dy));
            if (sx >= left && sy >= top && sx <= right && sy <= bottom) {
                out[x] = sourceRow(int(sy))[sx];
                continue;
            }
            switch (filter.mode) {
            case swf::DisplacementMapFilter::Mode::Wrap:
                out[x] = sourceRow(int(top + ((sy - top) % boxH + boxH) %
                                                 boxH))[left + ((sx - left) % boxW + boxW) % boxW];
                break;
            case swf::DisplacementMapFilter::Mode::Clamp:
                out[x] = sourceRow(int(std::clamp<long long>(
                    sy, top, bottom)))[std::clamp<long long>(sx, left, right)];
                break;
            case swf::DisplacementMapFilter::Mode::Ignore:
                out[x] = sourceRow(y)[x];
                break;
            case swf::DisplacementMapFilter::Mode::Color:
                out[x] = outside;
                break;
            }
        }
    }
}

} // namespace render
