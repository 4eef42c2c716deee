#include "VideoFrameDecoder.h"

#include "Limits.h"
#include "video/VideoDecoder.h"

namespace runtime {

namespace {

constexpr std::size_t kMaxDecoded = limits::kMaxVideoFramesDecodedAtOnce;

} // namespace

VideoFrameDecoder::VideoFrameDecoder(const swf::VideoStream& stream, Log log)
    : m_stream(stream), m_log(std::move(log)), m_deblocking(stream.deblocking)
{}

VideoFrameDecoder::~VideoFrameDecoder() = default;

void VideoFrameDecoder::restart(int deblocking)
{
    m_deblocking = deblocking;
    m_decoder.reset();
    m_decoderFailed = false;
    m_decodedFrame.reset();
}

bool VideoFrameDecoder::makeDecoder()
{
    if (m_decoder)
        return true;
    if (m_decoderFailed)
        return false;
    m_decoderFailed = true;
    if (!video::isKnownCodec(m_stream.codec)) {
        m_log([&] { return "has codec " + std::to_string(m_stream.codec) + ": not decoded"; });
        return false;
    }
    video::StreamSettings settings;
    settings.codec = static_cast<video::Codec>(m_stream.codec);
    settings.framing = video::Framing::SwfVideoFrame;
    settings.width = m_stream.width;
    settings.height = m_stream.height;
    settings.deblocking = static_cast<std::uint8_t>(m_deblocking);
    auto decoder = video::makeStreamDecoder(settings);
    if (!decoder) {
        m_log([&] { return "not decoded: " + decoder.error().message(); });
        return false;
    }
    m_decoder = std::move(decoder.value());
    m_decoderFailed = false;
    return true;
}

std::optional<std::uint16_t> VideoFrameDecoder::keyframeAtOrBefore(std::uint16_t frame) const
{
    const auto codec = static_cast<video::Codec>(m_stream.codec);
    auto it = m_stream.packets.upper_bound(frame);
    for (std::size_t looked = 0; it != m_stream.packets.begin() && looked < kMaxDecoded; ++looked) {
        --it;
        if (video::isKeyframe(codec, video::Framing::SwfVideoFrame, it->second))
            return it->first;
    }
    return std::nullopt;
}

bool VideoFrameDecoder::decodeRange(std::uint16_t first, std::uint16_t last)
{
    bool decoded = false;
    auto it = m_stream.packets.lower_bound(first);
    const auto end = m_stream.packets.upper_bound(last);
    for (; it != end; ++it) {
        m_decodedFrame = it->first;
        if (auto status = m_decoder->decode(it->second); status) {
            decoded = true;
        } else {
            // The decoder keeps its last good picture; the next keyframe recovers.
            m_log([&] {
                return "frame " + std::to_string(it->first) + ": " + status.error().message();
            });
        }
    }
    return decoded;
}

std::shared_ptr<const swf::Bitmap> VideoFrameDecoder::decode(std::uint16_t frame)
{
    if (m_stream.packets.empty() || !makeDecoder() || m_decodedFrame == frame)
        return nullptr;
    const std::optional<std::uint16_t> keyframe = keyframeAtOrBefore(frame);
    // Onward from the last frame decoded while no keyframe lies between, and the way
    // is short; otherwise afresh from the keyframe.
    const bool onward = m_decodedFrame && *m_decodedFrame < frame &&
                        (!keyframe || *keyframe <= *m_decodedFrame) &&
                        std::size_t(frame - *m_decodedFrame) <= kMaxDecoded;
    bool decoded = false;
    if (onward) {
        decoded = decodeRange(std::uint16_t(*m_decodedFrame + 1), frame);
    } else {
        m_decoder->reset();
        std::uint16_t first = 0;
        if (keyframe)
            first = *keyframe;
        else if (frame >= kMaxDecoded)
            first = std::uint16_t(frame - kMaxDecoded + 1);
        decoded = decodeRange(first, frame);
    }
    const video::Picture* picture = decoded ? m_decoder->picture() : nullptr;
    if (!picture || picture->width == 0 || picture->height == 0 ||
        picture->pixels.size() < std::size_t(picture->width) * picture->height)
        return nullptr;
    auto copy = std::make_shared<swf::Bitmap>();
    copy->width = picture->width;
    copy->height = picture->height;
    copy->pixels = picture->pixels;
    return copy;
}

} // namespace runtime
