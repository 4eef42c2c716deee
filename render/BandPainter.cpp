#include "BandPainter.h"

#include "ItemPainter.h"

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace render {

namespace {

// Below this many pixels a second thread costs more than it saves.
constexpr qint64 kMinParallelPixels = 128 * 128;
// Bands per thread: one. Smaller bands would even out the work, but every item that
// crosses a band edge is rasterised once per band, which cost more in measurements.
constexpr int kBandsPerThread = 1;
constexpr int kMinBandRows = 16;

struct Band {
    int top = 0, bottom = 0; // rows [top, bottom)
    QRegion region;
};

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
        ItemPainter painter(surface, QPoint(0, band.top), quality);
        painter.setBackground(background);
        painter.setFrame(target.rect());
        painter.paint(items, band.region);
    };
    // The calling thread draws the first band itself rather than wait idle.
    std::vector<QFuture<void>> others;
    for (std::size_t i = 1; i < bands.size(); ++i)
        others.push_back(QtConcurrent::run([&drawBand, &bands, i]() { drawBand(bands[i]); }));
    if (!bands.empty())
        drawBand(bands.front());
    for (QFuture<void>& future : others)
        future.waitForFinished();
}

} // namespace render
