#pragma once

#include "LruCache.h"
#include "format/Bitmap.h"
#include "format/Geometry.h"

#include <QImage>
#include <string>

namespace render {

// The images bitmap fills draw from. A bitmap drawn as it is wraps the movie's own
// pixels; one seen through a colour transform, or a clipped fill that needs its edge
// pixels extended, gets a copy made once and kept while memory allows.
class BitmapImages {
public:
    explicit BitmapImages(std::size_t budgetBytes);

    // The pixels as an image without a copy; null when the bitmap is inconsistent.
    static QImage wrap(const swf::Bitmap& bitmap);

    // The image with `transform` applied to every pixel, surrounded by `pad` pixels that
    // repeat its edges (clipped fills extend their edge pixels beyond the bitmap), and
    // halved `level` times, each pixel the average of those it covers: a bitmap drawn
    // far smaller than its size samples that instead of skipping pixels.
    // `stamp`, when not 0, names the pixels in place of the bitmap's address: a script's
    // bitmap changes, and its pixels come and go, while a movie's stay put.
    QImage image(const swf::Bitmap& bitmap, const swf::ColorTransform& transform, int pad,
                 int level = 0, std::uint64_t stamp = 0);

    void clear() { m_cache.clear(); }
    std::size_t cachedBytes() const { return m_cache.totalCost(); }

    // Helpers, public for the filters and tests.
    static void applyColorTransform(QImage& image, const swf::ColorTransform& transform);
    static QImage padEdges(const QImage& image, int pad);
    // The image at 1/2^level of its size (never below a pixel), area-averaged.
    static QImage reduced(const QImage& image, int level);

private:
    LruCache<std::string, const QImage> m_cache;
};

} // namespace render
