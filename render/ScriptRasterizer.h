#pragma once

#include "StageRenderer.h"
#include "runtime/BitmapRasterizer.h"

namespace render {

/// What draws into scripts' bitmaps (BitmapData.draw, applyFilter) with the renderer: the
/// host hands it to the engine through Host::bitmapRasterizer(). One serves one movie,
/// on the thread that runs it.
class ScriptRasterizer final : public runtime::BitmapRasterizer {
public:
    ScriptRasterizer();

    void drawList(runtime::BitmapData& target, const runtime::DrawList& list,
                  runtime::PixelRect clip, bool smoothing,
                  swf::BlendMode blend = swf::BlendMode::Normal) override;
    void applyFilter(runtime::BitmapData& target, const runtime::BitmapData& source,
                     runtime::PixelRect sourceRect, int destX, int destY,
                     const swf::Filter& filter) override;

private:
    StageRenderer m_renderer;
};

} // namespace render
