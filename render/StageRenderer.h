#pragma once

#include "Quality.h"
#include "runtime/DrawList.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QTransform>
#include <memory>
#include <optional>
#include <vector>

namespace render {

struct RenderCaches;
class DirtyTracker;

/// Draws the runtime's frames. One renderer serves one movie view and keeps, between
/// frames, the outlines, gradient ramps, bitmap copies and group layers it made, and
/// the last frame's contents, so that the next frame redraws only what changed.
///
/// A frame goes through three steps:
///  - SceneCompiler turns the draw list into PaintItems (CharacterItems for shapes and
///    text, from ShapeCache, TextCache and BrushFactory), clips for masks, and layers
///    for groups with blend modes or filters (drawn there, or reused from GroupCache);
///  - DirtyTracker compares what was drawn where with the last frame;
///  - BandPainter draws the items over the changed area in horizontal bands, one
///    thread each (ItemPainter, with ScratchFill for gradients, bitmaps and alpha).
///
/// Use from one thread at a time (the player's GUI thread); it starts its own helpers.
class StageRenderer {
public:
    StageRenderer();
    ~StageRenderer();
    StageRenderer(const StageRenderer&) = delete;
    StageRenderer& operator=(const StageRenderer&) = delete;

    /// Draws `list` into `target` (its size is the caller's; another format is converted
    /// to Format_ARGB32_Premultiplied). `view` maps stage twips to target pixels (the
    /// caller derives it from the scale mode). Passing the same image, untouched, frame
    /// after frame lets the renderer redraw only the areas that changed.
    void render(const runtime::DrawList& list, QImage& target, const QTransform& view,
                Quality quality);

    /// A colour that replaces the movie's background (the control's BackgroundColor),
    /// or none to use the movie's.
    void setBackgroundOverride(std::optional<QColor> color);

    /// Threads to draw with; 0 (the default) uses one per core.
    void setThreadCount(int threads);
    /// Redrawing only the changed areas (on by default); off redraws every frame whole.
    void setPartialRedraw(bool enabled);
    /// Reusing group layers between frames (on by default).
    void setGroupCaching(bool enabled);
    /// Forgets everything kept between frames.
    void clearCaches();

    struct FrameStats {
        bool fullRedraw = true;
        QRect dirtyBounds;
        qint64 dirtyPixels = 0;
        int items = 0;
        int groupsReused = 0;
        int groupsDrawn = 0;
        double compileMs = 0; // the draw list made into paint items, layers drawn
        double paintMs = 0;   // the items drawn into the image
    };
    const FrameStats& lastFrameStats() const { return m_stats; }

private:
    bool needsFullRedraw(const runtime::DrawList& list, const QImage& target,
                         const QTransform& view, Quality quality, const QColor& background) const;

    std::unique_ptr<RenderCaches> m_caches;
    std::unique_ptr<DirtyTracker> m_dirty;
    std::optional<QColor> m_backgroundOverride;
    int m_threads = 0;
    bool m_partial = true;
    bool m_cacheGroups = true;
    std::uint64_t m_frameNumber = 0;
    FrameStats m_stats;

    // What the last frame was drawn with: any change means drawing the whole image.
    swf::MoviePtr m_movie;
    // The loaded movies the last frame drew from, kept so that their definitions'
    // addresses, which the caches key on, are not reused while cached.
    std::vector<swf::MoviePtr> m_otherMovies;
    qint64 m_lastImageKey = -1;
    QSize m_lastSize;
    QTransform m_lastView;
    Quality m_lastQuality = Quality::High;
    QColor m_lastBackground;
    bool m_lastPartial = false;
    // Where the focus rectangle was drawn, target pixels.
    QRect m_lastFocusRect;
};

} // namespace render
