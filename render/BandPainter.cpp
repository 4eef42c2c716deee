#include "BandPainter.h"

#include "ItemPainter.h"

#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>

namespace render {

namespace {

// Below this many pixels a second thread costs more than it saves.
constexpr qint64 kMinParallelPixels = 128 * 128;
// Bands per thread: more, smaller bands even out the work between threads.
constexpr int kBandsPerThread = 3;
constexpr int kMinBandRows = 16;

struct Band {
    int top = 0, bottom = 0; // rows [top, bottom)
    QRegion region;
};

void fillBackground(QImage& surface, int surfaceTop, const QRegion& region, QRgb color)
{
    for (const QRect& rect : region) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(surface.scanLine(y - surfaceTop));
            std::fill(row + rect.left(), row + rect.right() + 1, color);
        }
    }
}

} // namespace

void BandPainter::paint(QImage& target, const PaintList& items, const QRegion& dirty,
                        const QColor& background, Quality quality, int threads)
{
    const QRegion area = dirty & QRegion(target.rect());
    if (area.isEmpty())
        return;
    const QRect bounds = area.boundingRect();
    qint64 pixels = 0;
    for (const QRect& rect : area)
        pixels += qint64(rect.width()) * rect.height();

    int bandCount = 1;
    if (threads > 1 && pixels >= kMinParallelPixels)
        bandCount = std::clamp(bounds.height() / kMinBandRows, 1, threads * kBandsPerThread);

    // Taken once here: every band writes through this one pointer to its own rows.
    uchar* bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const QRgb fill = qPremultiply(background.rgba());

    std::vector<Band> bands;
    for (int i = 0; i < bandCount; ++i) {
        Band band;
        band.top = bounds.top() + int(qint64(bounds.height()) * i / bandCount);
        band.bottom = bounds.top() + int(qint64(bounds.height()) * (i + 1) / bandCount);
        band.region = area & QRect(0, band.top, target.width(), band.bottom - band.top);
        if (!band.region.isEmpty())
            bands.push_back(std::move(band));
    }
    auto drawBand = [&](const Band& band) {
        QImage surface(bits + stride * band.top, target.width(), band.bottom - band.top, stride,
                       QImage::Format_ARGB32_Premultiplied);
        fillBackground(surface, band.top, band.region, fill);
        ItemPainter(surface, QPoint(0, band.top), quality).paint(items, band.region);
    };
    if (bands.size() == 1)
        drawBand(bands.front());
    else
        QtConcurrent::blockingMap(bands, drawBand);
}

} // namespace render
