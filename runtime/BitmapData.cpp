#include "BitmapData.h"

#include "DisplayObject.h"

#include <algorithm>
#include <atomic>

namespace runtime {

namespace {

std::atomic<std::uint64_t> g_livePixels{0};
std::atomic<std::uint64_t> g_lastStamp{0};

std::uint64_t nextStamp()
{
    return g_lastStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

std::uint64_t pixelCount(int width, int height)
{
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}

} // namespace

std::uint64_t BitmapData::livePixels()
{
    return g_livePixels.load(std::memory_order_relaxed);
}

BitmapData::~BitmapData()
{
    g_livePixels -= pixelCount(m_width, m_height);
}

BitmapData::BitmapData(int width, int height, bool transparent, std::uint32_t argb)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_transparent(transparent),
      m_stamp(nextStamp()), m_image(std::make_shared<swf::Bitmap>())
{
    m_image->width = static_cast<std::uint32_t>(m_width);
    m_image->height = static_cast<std::uint32_t>(m_height);
    m_image->pixels.assign(static_cast<std::size_t>(m_width) * m_height, storedColor(argb));
    g_livePixels += pixelCount(m_width, m_height);
}

BitmapData::BitmapData(const swf::Bitmap& source)
    : m_width(static_cast<int>(source.width)), m_height(static_cast<int>(source.height)),
      m_stamp(nextStamp()), m_image(std::make_shared<swf::Bitmap>(source))
{
    m_image->complete = true;
    m_image->pixels.resize(static_cast<std::size_t>(m_width) * m_height);
    m_transparent = std::any_of(source.pixels.begin(), source.pixels.end(),
                                [](std::uint32_t p) { return pixel::alpha(p) != 255; });
    g_livePixels += pixelCount(m_width, m_height);
}

void BitmapData::dispose()
{
    m_disposed = true;
    g_livePixels -= pixelCount(m_width, m_height);
    m_width = 0;
    m_height = 0;
    m_image = std::make_shared<swf::Bitmap>();
    changed();
}

std::uint32_t BitmapData::argbAt(int x, int y) const
{
    return contains(x, y) ? pixel::unpremultiply(at(x, y)) : 0;
}

void BitmapData::setArgb(int x, int y, std::uint32_t argb)
{
    if (!contains(x, y))
        return;
    edit()[static_cast<std::size_t>(y) * m_width + x] = storedColor(argb);
}

std::uint32_t* BitmapData::edit()
{
    // A snapshot out (in a draw list, being painted) keeps the old pixels.
    if (m_image.use_count() > 1)
        m_image = std::make_shared<swf::Bitmap>(*m_image);
    changed();
    return m_image->pixels.data();
}

void BitmapData::addViewer(const std::shared_ptr<DisplayObject>& viewer)
{
    std::erase_if(m_viewers, [](const std::weak_ptr<DisplayObject>& v) { return v.expired(); });
    // A clip that fills with the bitmap again and again is told once.
    const bool known =
        std::any_of(m_viewers.begin(), m_viewers.end(),
                    [&](const std::weak_ptr<DisplayObject>& v) { return v.lock() == viewer; });
    if (!known)
        m_viewers.push_back(viewer);
}

void BitmapData::changed()
{
    ++m_version;
    m_stamp = nextStamp();
    for (const auto& weak : m_viewers) {
        if (auto viewer = weak.lock())
            viewer->markContentChanged();
    }
}

} // namespace runtime
