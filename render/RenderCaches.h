#pragma once

#include "BitmapImages.h"
#include "GlyphCache.h"
#include "GradientRamps.h"
#include "GroupCache.h"
#include "ShapeCache.h"
#include "TextCache.h"

namespace render {

// Everything the renderer keeps from one frame to the next, with its memory budgets.
struct RenderCaches {
    static constexpr std::size_t kMiB = 1024 * 1024;

    ShapeCache shapes{128 * kMiB};
    GradientRamps ramps{1024};
    BitmapImages bitmaps{128 * kMiB};
    GlyphCache glyphs{32 * kMiB};
    TextCache texts{glyphs, 32 * kMiB};
    GroupCache groups{160 * kMiB};
    // Masks' clip paths in device pixels, by their shapes, placements and the view.
    LruCache<std::uint64_t, const QPainterPath> masks{16 * kMiB};

    void clear()
    {
        shapes.clear();
        ramps.clear();
        bitmaps.clear();
        glyphs.clear();
        texts.clear();
        groups.clear();
        masks.clear();
    }
};

} // namespace render
