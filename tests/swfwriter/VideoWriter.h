#pragma once

// The embedded-video tags: DefineVideoStream and VideoFrame. Packets are given already
// coded (tests code them with the encoder of tests/runtime/VideoFrames.h).
#include <cstdint>
#include <vector>

namespace swfwriter {

struct VideoStreamHeader {
    std::uint16_t frameCount = 0; // NumFrames
    std::uint16_t width = 0;      // pixels
    std::uint16_t height = 0;
    std::uint8_t deblocking = 0; // three bits
    bool smoothing = false;
    std::uint8_t codec = 2; // Sorenson H.263
};

// DefineVideoStream (tag 60).
std::vector<std::uint8_t> defineVideoStream(std::uint16_t id, const VideoStreamHeader& header);
// VideoFrame (tag 61): the packet of frame `frame` of stream `streamId`.
std::vector<std::uint8_t> videoFrame(std::uint16_t streamId, std::uint16_t frame,
                                     const std::vector<std::uint8_t>& packet);

} // namespace swfwriter
