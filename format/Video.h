#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace swf {

// DefineVideoStream: a video whose frames the timeline carries in VideoFrame tags,
// gathered here at parse time so that a frame number finds its packet.
struct VideoStream {
    std::uint16_t declaredFrameCount = 0; // NumFrames
    // The size the stream shows, pixels.
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    // VideoFlagsDeblocking: 0 as the stream says, 1 off, 2 and up on.
    std::uint8_t deblocking = 0;
    bool smoothing = false; // VideoFlagsSmoothing
    std::uint8_t codec = 0; // CodecID
    // The VideoFrame packets by frame number (FrameNum), one per number.
    std::map<std::uint16_t, std::vector<std::uint8_t>> packets;
    std::size_t packetBytes = 0;

    // The packet of frame `frame`, or nullptr when the movie carries none.
    const std::vector<std::uint8_t>* packet(std::uint16_t frame) const;
};

// Reads DefineVideoStream after its character id.
Result<VideoStream> parseVideoStream(ByteReader& in);
// Reads VideoFrame after its stream id and adds its packet to `stream`. A second packet
// for a frame number is refused; the first one stays.
Status addVideoFrame(ByteReader& in, VideoStream& stream);

} // namespace swf
