#include "VideoObject.h"

#include "PlayerContext.h"

#include <string>

namespace runtime {

VideoObject::VideoObject(PlayerContext& context, const swf::Character* character,
                         const swf::VideoStream& stream)
    : DisplayObject(context, ObjectKind::Video, character), m_stream(stream),
      m_smoothing(stream.smoothing), m_deblocking(stream.deblocking)
{
    m_decoder = std::make_unique<VideoFrameDecoder>(
        stream, [this](const std::function<std::string()>& message) {
            this->context().log(LogCategory::Display, [&] {
                return "video " + std::to_string(characterId()) + " in " + path() + ": " +
                       message();
            });
        });
}

VideoObject::~VideoObject() = default;

void VideoObject::initialize()
{
    m_wantedFrame = ratio();
}

void VideoObject::ratioChanged()
{
    m_wantedFrame = ratio();
}

void VideoObject::catchUp() const
{
    if (m_attached || !m_wantedFrame)
        return;
    const std::uint16_t frame = *m_wantedFrame;
    m_wantedFrame.reset();
    if (m_shownFrame == frame)
        return;
    m_shownFrame = frame;
    if (auto picture = m_decoder->decode(frame)) {
        m_picture = std::move(picture);
        ++m_pictureVersion;
    }
}

const std::shared_ptr<const swf::Bitmap>& VideoObject::picture() const
{
    catchUp();
    return m_picture;
}

std::uint64_t VideoObject::pictureVersion() const
{
    catchUp();
    return m_pictureVersion;
}

std::optional<std::uint16_t> VideoObject::shownFrame() const
{
    catchUp();
    return m_shownFrame;
}

void VideoObject::setAttached(bool attached)
{
    // The frame shown when the source comes stays until the source's first picture.
    catchUp();
    m_attached = attached;
}

void VideoObject::showPicture(std::shared_ptr<const swf::Bitmap> picture)
{
    m_picture = std::move(picture);
    m_wantedFrame.reset();
    m_shownFrame.reset();
    ++m_pictureVersion;
    markContentChanged();
}

void VideoObject::clear()
{
    if (!picture())
        return;
    showPicture(nullptr);
}

void VideoObject::setSmoothing(bool value)
{
    if (value == m_smoothing)
        return;
    m_smoothing = value;
    markContentChanged();
}

void VideoObject::setDeblocking(int value)
{
    if (value == m_deblocking)
        return;
    m_deblocking = value;
    m_decoder->restart(value);
}

Bounds VideoObject::localBounds() const
{
    // A stream that declares no size shows its pictures at theirs.
    double width = m_stream.width;
    double height = m_stream.height;
    if (width == 0 || height == 0) {
        const auto& shown = picture();
        width = shown ? shown->width : 0;
        height = shown ? shown->height : 0;
    }
    Bounds bounds;
    if (width == 0 || height == 0)
        return bounds;
    bounds.include(0, 0);
    bounds.include(width * swf::Twips::kPerPixel, height * swf::Twips::kPerPixel);
    return bounds;
}

} // namespace runtime
