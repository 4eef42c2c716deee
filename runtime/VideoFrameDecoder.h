#pragma once

#include "format/Bitmap.h"
#include "format/Video.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace video {
class StreamDecoder;
}

namespace runtime {

// Decodes the frames of one embedded stream in whatever order they are asked for: onward
// from the last frame decoded while that is the shorter way, otherwise afresh from the
// keyframe at or before the frame (at most limits::kMaxVideoFramesDecodedAtOnce frames).
class VideoFrameDecoder {
public:
    // Diagnostics go to `log`, made only when it is called.
    using Log = std::function<void(const std::function<std::string()>&)>;

    VideoFrameDecoder(const swf::VideoStream& stream, Log log);
    ~VideoFrameDecoder();

    // The picture of `frame` when decoding it gave one; null when it gave nothing new
    // (no decoder for the codec, no packets, or only damaged ones on the way: the last
    // good picture stands).
    std::shared_ptr<const swf::Bitmap> decode(std::uint16_t frame);
    // The next frame decodes from its keyframe, with the deblocking setting given.
    void restart(int deblocking);

private:
    bool makeDecoder();
    std::optional<std::uint16_t> keyframeAtOrBefore(std::uint16_t frame) const;
    bool decodeRange(std::uint16_t first, std::uint16_t last);

    const swf::VideoStream& m_stream;
    Log m_log;
    int m_deblocking;
    std::unique_ptr<video::StreamDecoder> m_decoder;
    bool m_decoderFailed = false;
    // The last packet the decoder was given; its references build on it.
    std::optional<std::uint16_t> m_decodedFrame;
};

} // namespace runtime
