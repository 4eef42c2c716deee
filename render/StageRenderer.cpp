#include "StageRenderer.h"

#include "BandPainter.h"
#include "DirtyTracker.h"
#include "FocusRectPainter.h"
#include "QtConversions.h"
#include "RenderCaches.h"
#include "SceneCompiler.h"

#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

namespace render {

namespace {

// More threads than this gain nothing on a frame of a few milliseconds.
constexpr int kMaxThreads = 8;

// Without antialiasing a pixel is painted when its centre lies inside the shape, and a
// centre exactly on an edge belongs to the shape to its right and below it: a one-pixel
// line on a pixel boundary covers the pixel before the boundary. Qt's rasteriser gives
// such centres to the shape on the left and above; moving the drawing up and left by a
// little more than its 1/128-pixel grid sends them the other way, far below the twentieth
// of a pixel that shapes are placed by.
constexpr double kCentreOnEdgeNudge = 0.01;

} // namespace

StageRenderer::StageRenderer()
    : m_caches(std::make_unique<RenderCaches>()), m_dirty(std::make_unique<DirtyTracker>())
{}

StageRenderer::~StageRenderer() = default;

void StageRenderer::setBackgroundOverride(std::optional<QColor> color)
{
    m_backgroundOverride = color;
}

void StageRenderer::setThreadCount(int threads)
{
    m_threads = std::clamp(threads, 0, kMaxThreads);
}

void StageRenderer::setPartialRedraw(bool enabled)
{
    m_partial = enabled;
}

void StageRenderer::setGroupCaching(bool enabled)
{
    m_cacheGroups = enabled;
    if (!enabled)
        m_caches->groups.clear();
}

void StageRenderer::clearCaches()
{
    m_caches->clear();
    m_dirty->reset();
    m_lastImageKey = -1;
}

bool StageRenderer::needsFullRedraw(const runtime::DrawList& list, const QImage& target,
                                    const QTransform& view, Quality quality,
                                    const QColor& background) const
{
    return !m_partial || !m_lastPartial || target.cacheKey() != m_lastImageKey ||
           target.size() != m_lastSize || view != m_lastView || quality != m_lastQuality ||
           background != m_lastBackground || list.movie != m_movie;
}

void StageRenderer::render(const runtime::DrawList& list, QImage& target, const QTransform& view,
                           Quality quality)
{
    if (target.isNull())
        return;
    if (target.format() != QImage::Format_ARGB32_Premultiplied)
        target = target.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const bool movieGone =
        std::any_of(m_otherMovies.begin(), m_otherMovies.end(), [&](const swf::MoviePtr& movie) {
            return std::find(list.otherMovies.begin(), list.otherMovies.end(), movie) ==
                   list.otherMovies.end();
        });
    if (list.movie != m_movie || movieGone) {
        // Definitions of another movie, or a loaded movie gone: what is kept may point
        // at definitions that are no more.
        clearCaches();
    }
    const QColor background = m_backgroundOverride.value_or(
        QColor(list.background.r, list.background.g, list.background.b));

    FrameContext context;
    context.movie = list.movie.get();
    context.view = view;
    if (quality == Quality::Low)
        context.view = view * QTransform::fromTranslate(-kCentreOnEdgeNudge, -kCentreOnEdgeNudge);
    context.quality = quality;
    context.target = target.rect();
    context.filterScale = averageScale(view) * swf::Twips::kPerPixel;
    context.cacheGroups = m_cacheGroups;
    context.frameNumber = ++m_frameNumber;

    PaintList items;
    items.reserve(list.commands.size() * 2);
    std::vector<DiffEntry> diff;
    diff.reserve(list.commands.size());
    QElapsedTimer timer;
    timer.start();
    SceneCompiler compiler(*m_caches, context);
    compiler.compile(list.commands, items, diff);
    const double compileMs = timer.nsecsElapsed() / 1e6;
    m_caches->groups.endFrame();

    m_stats = FrameStats{};
    m_stats.fullRedraw = needsFullRedraw(list, target, view, quality, background);
    QRegion dirty =
        m_stats.fullRedraw ? QRegion(target.rect()) : m_dirty->dirtyRegion(diff, target.rect());
    m_dirty->remember(std::move(diff));
    // The focus rectangle is drawn over the frame: where it was and where it goes are
    // drawn afresh.
    const QRect focus = list.focusRect ? focusRectPixels(*list.focusRect, view) : QRect();
    if (!m_stats.fullRedraw && focus != m_lastFocusRect)
        dirty = dirty.united(QRegion(focus).united(m_lastFocusRect)).intersected(target.rect());

    const int threads =
        m_threads > 0 ? m_threads : std::clamp(QThread::idealThreadCount(), 1, kMaxThreads);
    timer.restart();
    BandPainter::paint(target, items, dirty, background, quality, threads);
    paintFocusRect(target, focus, context.filterScale);
    m_lastFocusRect = focus;
    m_stats.paintMs = timer.nsecsElapsed() / 1e6;
    m_stats.compileMs = compileMs;

    m_stats.dirtyBounds = dirty.boundingRect();
    for (const QRect& rect : dirty)
        m_stats.dirtyPixels += qint64(rect.width()) * rect.height();
    m_stats.items = static_cast<int>(items.size());
    m_stats.groupsReused = compiler.stats().groupsReused;
    m_stats.groupsDrawn = compiler.stats().groupsDrawn;

    m_movie = list.movie;
    m_otherMovies = list.otherMovies;
    m_lastImageKey = target.cacheKey();
    m_lastSize = target.size();
    m_lastView = view;
    m_lastQuality = quality;
    m_lastBackground = background;
    m_lastPartial = m_partial;
}

} // namespace render
