#pragma once

#include "BitmapImages.h"
#include "GradientRamps.h"
#include "Quality.h"
#include "format/Movie.h"
#include "format/Style.h"
#include "runtime/DrawList.h"

#include <QBrush>

namespace render {

// What a fill style paints with: a brush in the shape's own twips (the painter's
// transform takes it to the device), and how to sample it.
struct FillBrush {
    QBrush brush;
    qreal opacity = 1;   // an alpha-only colour transform of a bitmap
    bool smooth = false; // bitmaps: bilinear sampling
    bool visible = false;
    // Gradients: the same fill for the renderer's own gradient drawing.
    std::shared_ptr<const GradientFill> gradient;
};

class BrushFactory {
public:
    BrushFactory(GradientRamps& ramps, BitmapImages& bitmaps) : m_ramps(ramps), m_bitmaps(bitmaps)
    {}

    // `shapeBounds` (the path's twips) tells a clipped bitmap how far to extend its edges;
    // `toDevice` (the shape's twips to device pixels) how small a bitmap is drawn.
    // Bitmap fills take their pixels from `drawn` by bitmapId when given (a script's
    // drawing), from the movie's bitmaps otherwise.
    FillBrush make(const swf::FillStyle& style, const swf::ColorTransform& transform,
                   const swf::MovieDefinition* movie, Quality quality, const QRectF& shapeBounds,
                   const QTransform& toDevice = {},
                   const std::vector<runtime::DrawnBitmap>* drawn = nullptr);

private:
    FillBrush gradient(const swf::FillStyle& style, const swf::ColorTransform& transform);
    FillBrush bitmap(const swf::FillStyle& style, const swf::ColorTransform& transform,
                     const swf::Bitmap* bitmap, std::uint64_t stamp, Quality quality,
                     const QRectF& shapeBounds, const QTransform& toDevice);

    GradientRamps& m_ramps;
    BitmapImages& m_bitmaps;
};

} // namespace render
