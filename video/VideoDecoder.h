#pragma once

// Video frames of every coding the format carries, decoded by libavcodec into pictures
// the renderer can draw. Plain C++: the runtime asks, hosts never see it.
#include "format/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace video {

/// The codec numbers of DefineVideoStream and of FLV video tags.
enum class Codec : std::uint8_t {
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
    H264 = 7,
};

/// Whether `value` names a codec this player decodes.
bool isKnownCodec(std::uint8_t value);

/// Where the coded frames come from: FLV's VP6 packets start with a size-adjustment
/// byte that VideoFrame's do not.
enum class Framing : std::uint8_t { SwfVideoFrame, FlvTag };

/// One decoded frame: premultiplied 0xAARRGGBB, row after row, `width * height` pixels,
/// already cut to the size the stream shows.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

struct StreamSettings {
    Codec codec = Codec::SorensonH263;
    Framing framing = Framing::SwfVideoFrame;
    /// The size the stream declares (DefineVideoStream's, or FLV metadata's; 0 = the
    /// coded size).
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    /// DefineVideoStream's deblocking flag: 0 as the stream says, 1 off, 2.. on.
    std::uint8_t deblocking = 0;
};

/// Decodes one stream's frames in order. Not thread-safe; one per stream.
class StreamDecoder {
public:
    virtual ~StreamDecoder() = default;

    /// Decodes the next coded frame. On damage it fails and the last good picture stays
    /// the one shown; the next keyframe recovers.
    virtual swf::Status decode(std::span<const std::uint8_t> packet) = 0;

    /// The last good picture, or null before the first.
    virtual const Picture* picture() const = 0;

    /// Forgets the decoder's references, before decoding from a keyframe after a seek.
    /// The last picture stays until a new one is decoded.
    virtual void reset() = 0;

    /// How many pictures the decoder has produced: tells a frame that made a new picture
    /// from one that failed or made none (H.264's configuration, a delayed frame).
    virtual std::uint64_t picturesDecoded() const { return 0; }

    /// Receives every picture a timed decode makes, with the time it is to be shown.
    using PictureSink = std::function<void(const Picture&, std::int64_t presentationMs)>;

    /// Decodes a frame whose decoding time is `decodeMs` (an FLV tag's time). H.264
    /// shows frames in another order than they are coded, later by the composition time
    /// its packets carry; each picture the decoder gives out, in showing order, goes to
    /// `sink`. Failure is as decode()'s.
    virtual swf::Status decodeTimed(std::span<const std::uint8_t> packet, std::int64_t decodeMs,
                                    const PictureSink& sink)
    {
        const std::uint64_t before = picturesDecoded();
        swf::Status status = decode(packet);
        if (picturesDecoded() != before && picture() && sink)
            sink(*picture(), decodeMs);
        return status;
    }

    /// At the end of a stream: gives `sink` the pictures the decoder still holds back.
    /// Decoding goes on only after reset().
    virtual swf::Status drain(const PictureSink& sink)
    {
        (void)sink;
        return swf::Ok{};
    }
};

swf::Result<std::unique_ptr<StreamDecoder>> makeStreamDecoder(const StreamSettings& settings);

/// Whether `packet` starts a keyframe (a frame that needs no earlier one), read from the
/// coding's own frame header. Screen Video has no such bit: a frame that codes every
/// block counts as one (FLV's index uses its tags' frame type instead). Keyframes.cpp
/// lists each coding's rule.
bool isKeyframe(Codec codec, Framing framing, std::span<const std::uint8_t> packet);

} // namespace video
