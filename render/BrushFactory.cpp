#include "BrushFactory.h"

#include "QtConversions.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <bit>
#include <cmath>

namespace render {

namespace {

// A focal point nearer the circle than this is drawn there, as the reference draws it.
constexpr double kMaxFocal = 0.98;

// Gradients are drawn in a square of this half-size, in their own space.
constexpr double kGradientHalfSize = 16384;
// A clipped bitmap extends its edges at most this far; further out it repeats.
constexpr int kMaxEdgePad = 1024;
// A padded copy stays within this many pixels a side, whatever the bitmap's size.
constexpr int kMaxPaddedSide = 8192;

QGradient::Spread toQt(swf::SpreadMode spread)
{
    switch (spread) {
    case swf::SpreadMode::Reflect:
        return QGradient::ReflectSpread;
    case swf::SpreadMode::Repeat:
        return QGradient::RepeatSpread;
    case swf::SpreadMode::Pad:
        break;
    }
    return QGradient::PadSpread;
}

bool invertible(const QTransform& transform)
{
    const double det = transform.determinant();
    return std::isfinite(det) && std::abs(det) > 1e-12;
}

// How many pixels of edge a clipped bitmap needs so that the shape never reaches past
// them, rounded up to a power of two so nearby shapes share one padded copy.
int edgePad(const QTransform& fillMatrix, const QRectF& shapeBounds, QSize size)
{
    bool ok = false;
    const QTransform inverse = fillMatrix.inverted(&ok);
    if (!ok || shapeBounds.isEmpty())
        return 1;
    const QRectF inBitmap = inverse.mapRect(shapeBounds);
    const double overshoot =
        std::max({0.0, -inBitmap.left(), -inBitmap.top(), inBitmap.right() - size.width(),
                  inBitmap.bottom() - size.height()});
    const int room = std::max(1, (kMaxPaddedSide - std::max(size.width(), size.height())) / 2);
    const int pad = std::clamp(static_cast<int>(std::min(overshoot, 1e6)) + 1, 1, kMaxEdgePad);
    return std::min(static_cast<int>(std::bit_ceil(static_cast<unsigned>(pad))), room);
}

// A bitmap is halved at most this many times: a 32768-pixel side down to one pixel.
constexpr int kMaxReduction = 15;

// How many times a smoothed bitmap is halved before it is sampled: once for each halving
// of its size on the device, so that a device pixel draws from no more than a few of
// its pixels and none is skipped.
int reductionFor(const QTransform& bitmapToDevice)
{
    const double sx = std::hypot(bitmapToDevice.m11(), bitmapToDevice.m12());
    const double sy = std::hypot(bitmapToDevice.m21(), bitmapToDevice.m22());
    const double scale = std::max(sx, sy);
    if (!std::isfinite(scale) || !(scale > 0) || scale > 0.5)
        return 0;
    return std::min(kMaxReduction, static_cast<int>(std::floor(std::log2(1 / scale))));
}

bool alphaOnly(const swf::ColorTransform& t)
{
    return t.rMul == 256 && t.gMul == 256 && t.bMul == 256 && t.rAdd == 0 && t.gAdd == 0 &&
           t.bAdd == 0 && t.aAdd == 0 && t.aMul >= 0 && t.aMul <= 256;
}

} // namespace

FillBrush BrushFactory::make(const swf::FillStyle& style, const swf::ColorTransform& transform,
                             const swf::MovieDefinition* movie, Quality quality,
                             const QRectF& shapeBounds, const QTransform& toDevice,
                             const std::vector<runtime::DrawnBitmap>* drawn)
{
    if (style.isGradient())
        return gradient(style, transform);
    if (style.isBitmap()) {
        // An unknown id (0xFFFF among them), or a bitmap disposed, draws nothing.
        if (drawn) {
            if (style.bitmapId >= drawn->size() || !(*drawn)[style.bitmapId].pixels)
                return {};
            const runtime::DrawnBitmap& pixels = (*drawn)[style.bitmapId];
            return bitmap(style, transform, pixels.pixels.get(), pixels.stamp, quality, shapeBounds,
                          toDevice);
        }
        const swf::Bitmap* pixels = movie ? movie->get<swf::Bitmap>(style.bitmapId) : nullptr;
        return bitmap(style, transform, pixels, 0, quality, shapeBounds, toDevice);
    }
    FillBrush fill;
    const QColor color = toQColor(style.color, transform);
    fill.brush = QBrush(color);
    fill.visible = color.alpha() > 0;
    return fill;
}

FillBrush BrushFactory::gradient(const swf::FillStyle& style, const swf::ColorTransform& transform)
{
    FillBrush fill;
    std::shared_ptr<const QGradientStops> stops = m_ramps.stops(style.gradient, transform);
    if (stops->isEmpty())
        return fill;
    fill.visible = true;
    const QTransform matrix = toQTransform(style.matrix);
    if (stops->size() == 1 || !invertible(matrix)) {
        // A single stop, or a gradient squashed flat: the last colour covers the shape.
        fill.brush = QBrush(stops->back().second);
        return fill;
    }
    QGradient qtGradient;
    if (style.type == swf::FillType::LinearGradient) {
        qtGradient = QLinearGradient(-kGradientHalfSize, 0, kGradientHalfSize, 0);
    } else {
        const double focal =
            style.type == swf::FillType::FocalRadialGradient
                ? std::clamp(double(style.gradient.focalPoint), -kMaxFocal, kMaxFocal)
                : 0.0;
        qtGradient = QRadialGradient(QPointF(0, 0), kGradientHalfSize,
                                     QPointF(focal * kGradientHalfSize, 0));
    }
    qtGradient.setSpread(toQt(style.gradient.spread));
    qtGradient.setStops(*stops);
    fill.brush = QBrush(qtGradient);
    fill.brush.setTransform(matrix);

    auto own = std::make_shared<GradientFill>();
    own->kind = style.type == swf::FillType::LinearGradient ? GradientFill::Kind::Linear
                : style.type == swf::FillType::FocalRadialGradient && style.gradient.focalPoint != 0
                    ? GradientFill::Kind::Focal
                    : GradientFill::Kind::Radial;
    own->spread = style.gradient.spread;
    own->focal = std::clamp(double(style.gradient.focalPoint), -kMaxFocal, kMaxFocal);
    own->table = m_ramps.table(style.gradient, transform);
    own->matrix = matrix;
    fill.gradient = std::move(own);
    return fill;
}

FillBrush BrushFactory::bitmap(const swf::FillStyle& style, const swf::ColorTransform& transform,
                               const swf::Bitmap* bitmap, std::uint64_t stamp, Quality quality,
                               const QRectF& shapeBounds, const QTransform& toDevice)
{
    FillBrush fill;
    if (!bitmap)
        return fill;
    const QTransform matrix = toQTransform(style.matrix);
    if (!invertible(matrix))
        return fill;
    const QSize size(int(bitmap->width), int(bitmap->height));
    const int pad = style.isClippedBitmap() ? edgePad(matrix, shapeBounds, size) : 0;
    swf::ColorTransform pixelTransform = transform;
    if (alphaOnly(transform)) {
        // Fading a bitmap needs no copy: the painter's opacity does it.
        fill.opacity = transform.aMul / 256.0;
        pixelTransform = {};
    }
    fill.smooth = quality == Quality::High && style.isSmoothedBitmap();
    const int level = fill.smooth ? reductionFor(matrix * toDevice) : 0;
    const QImage image = m_bitmaps.image(*bitmap, pixelTransform, pad, level, stamp);
    if (image.isNull() || fill.opacity <= 0)
        return fill;
    fill.brush = QBrush(image);
    // A reduced image stands for the whole padded bitmap, its pixels that much larger.
    const QTransform reduction =
        QTransform::fromScale(double(size.width() + 2 * pad) / image.width(),
                              double(size.height() + 2 * pad) / image.height());
    fill.brush.setTransform(reduction * QTransform::fromTranslate(-pad, -pad) * matrix);
    fill.visible = true;
    return fill;
}

} // namespace render
