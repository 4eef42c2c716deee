#include "VideoWriter.h"

#include "BitWriter.h"

namespace swfwriter {

std::vector<std::uint8_t> defineVideoStream(std::uint16_t id, const VideoStreamHeader& header)
{
    ByteWriter out;
    out.u16(id);
    out.u16(header.frameCount);
    out.u16(header.width);
    out.u16(header.height);
    out.ub(4, 0); // reserved
    out.ub(3, header.deblocking);
    out.ub(1, header.smoothing ? 1 : 0);
    out.u8(header.codec);
    return out.data();
}

std::vector<std::uint8_t> videoFrame(std::uint16_t streamId, std::uint16_t frame,
                                     const std::vector<std::uint8_t>& packet)
{
    ByteWriter out;
    out.u16(streamId);
    out.u16(frame);
    out.bytes(packet);
    return out.data();
}

} // namespace swfwriter
