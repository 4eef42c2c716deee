#include "ScratchFill.h"

#include "GradientFill.h"

#include <algorithm>
#include <cstring>

namespace render {

namespace {

inline QRgb scaled(QRgb p, int factor)
{
    // Premultiplied channels times factor / 255, two channels at a time.
    std::uint32_t rb = (p & 0x00ff00ffu) * std::uint32_t(factor) + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
    std::uint32_t ag = ((p >> 8) & 0x00ff00ffu) * std::uint32_t(factor) + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu)) & 0xff00ff00u;
    return rb | ag;
}

// The coverage (the alpha of the black fill in `out`) times the colour (`in`, or the
// one `colour` when `in` is null), without branches: scaling by 255 gives the colour
// back exactly.
// Built twice, plain and for AVX2 (picked when the processor runs it): the wider
// multiplies of AVX2 make this loop, the hottest of the fill, about twice as fast.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void multiplyByCoverage(QRgb* out, const QRgb* in, QRgb colour, int opacity, int count)
{
    if (!in) {
        for (int x = 0; x < count; ++x)
            out[x] = scaled(colour, int(out[x] >> 24));
    } else if (opacity == 255) {
        for (int x = 0; x < count; ++x)
            out[x] = scaled(in[x], int(out[x] >> 24));
    } else {
        for (int x = 0; x < count; ++x)
            out[x] = scaled(in[x], (int(out[x] >> 24) * opacity + 127) / 255);
    }
}

} // namespace

ScratchFill& ScratchFill::forThisThread()
{
    thread_local ScratchFill scratch;
    return scratch;
}

bool ScratchFill::worthIt(const PaintItem& item)
{
    if (item.kind != PaintItem::Kind::Fill)
        return false;
    if (!item.gradient && item.brush.style() == Qt::SolidPattern)
        return item.brush.color().alpha() < 255 || item.opacity < 1;
    return true;
}

void ScratchFill::fill(QPainter& target, QPoint origin, const PaintItem& item, const QRect& basis,
                       const QRect& area, Quality quality)
{
    const QRect drawn = area & basis;
    if (drawn.isEmpty())
        return;
    const std::size_t pixels = std::size_t(basis.width()) * std::size_t(basis.height());
    if (m_coverage.size() < pixels) {
        m_coverage.resize(pixels);
        m_colour.resize(pixels);
    }
    const int stride = basis.width() * 4;
    QImage coverage(reinterpret_cast<uchar*>(m_coverage.data()), basis.width(), basis.height(),
                    stride, QImage::Format_ARGB32_Premultiplied);
    QImage colours(reinterpret_cast<uchar*>(m_colour.data()), basis.width(), basis.height(), stride,
                   QImage::Format_ARGB32_Premultiplied);
    const QTransform toScratch = item.transform * QTransform::fromTranslate(-basis.x(), -basis.y());
    const QRect local = drawn.translated(-basis.topLeft());
    auto row = [&](std::vector<QRgb>& pixelsOf, int y) {
        return pixelsOf.data() + std::size_t(y) * std::size_t(basis.width());
    };

    for (int y = local.top(); y <= local.bottom(); ++y)
        std::fill_n(row(m_coverage, y) + local.left(), local.width(), 0);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing, quality != Quality::Low);
        painter.setClipRect(local);
        painter.setTransform(toScratch);
        painter.fillPath(item.path, Qt::black);
    }

    const int opacity = std::clamp(static_cast<int>(item.opacity * 255 + 0.5), 0, 255);
    const bool solid = !item.gradient && item.brush.style() == Qt::SolidPattern;
    QRgb colour = solid ? scaled(qPremultiply(item.brush.color().rgba()), opacity) : 0;
    QTransform gradientInverse;
    if (item.gradient) {
        bool invertible = false;
        gradientInverse = (item.gradient->matrix * toScratch).inverted(&invertible);
        if (!invertible)
            return;
    } else if (!solid) {
        QBrush brush = item.brush;
        brush.setTransform(item.brush.transform() * toScratch);
        QPainter painter(&colours);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, item.smooth);
        painter.fillRect(local, brush);
    }

    for (int y = local.top(); y <= local.bottom(); ++y) {
        QRgb* out = row(m_coverage, y);
        // Only the run of the row the outline covers is worked on.
        int first = local.left(), last = local.right();
        while (first <= last && out[first] == 0)
            ++first;
        while (last >= first && out[last] == 0)
            --last;
        if (first > last)
            continue;
        QRgb* in = row(m_colour, y);
        if (item.gradient)
            fillGradientRow(in + first, first, y, last - first + 1, *item.gradient,
                            gradientInverse);
        multiplyByCoverage(out + first, solid ? nullptr : in + first, colour, opacity,
                           last - first + 1);
    }
    target.drawImage(drawn.topLeft() - origin, coverage, local);
}

} // namespace render
