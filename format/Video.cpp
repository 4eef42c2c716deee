#include "Video.h"

#include "Limits.h"

#include <string>

namespace swf {

const std::vector<std::uint8_t>* VideoStream::packet(std::uint16_t frame) const
{
    auto it = packets.find(frame);
    return it != packets.end() ? &it->second : nullptr;
}

Result<VideoStream> parseVideoStream(ByteReader& in)
{
    VideoStream stream;
    stream.declaredFrameCount = in.u16();
    stream.width = in.u16();
    stream.height = in.u16();
    const std::uint8_t flags = in.u8();
    stream.codec = in.u8();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "DefineVideoStream");
    // The top four bits are reserved.
    stream.deblocking = static_cast<std::uint8_t>((flags >> 1) & 7);
    stream.smoothing = (flags & 1) != 0;
    return stream;
}

Status addVideoFrame(ByteReader& in, VideoStream& stream)
{
    const std::uint16_t frame = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "frame number");
    const auto data = in.rest();
    if (data.size() > limits::kMaxVideoBytesPerStream - stream.packetBytes)
        return makeError(ErrorCode::TooLarge, "video data of one stream");
    // Leniency: a frame number given twice keeps its first packet.
    if (stream.packets.contains(frame))
        return makeError(ErrorCode::BadValue, "frame " + std::to_string(frame) + " given twice");
    stream.packets.emplace(frame, std::vector<std::uint8_t>(data.begin(), data.end()));
    stream.packetBytes += data.size();
    return Ok{};
}

} // namespace swf
