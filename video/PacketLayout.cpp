#include "PacketLayout.h"

namespace video {

std::optional<CodedPacket> unwrapPacket(Codec codec, Framing framing,
                                        std::span<const std::uint8_t> packet)
{
    CodedPacket coded;
    coded.payload = packet;
    const bool vp6 = codec == Codec::Vp6 || codec == Codec::Vp6Alpha;
    if (vp6 && framing == Framing::FlvTag) {
        if (packet.empty())
            return std::nullopt;
        coded.cropRight = packet[0] >> 4;
        coded.cropBottom = packet[0] & 0x0f;
        coded.payload = packet.subspan(1);
    }
    if (codec == Codec::Vp6Alpha && coded.payload.size() < 3)
        return std::nullopt;
    if (codec == Codec::H264 && packet.size() < 4)
        return std::nullopt;
    return coded;
}

std::optional<AvcPacketType> avcPacketType(std::span<const std::uint8_t> packet)
{
    if (packet.size() < 4 || packet[0] > 2)
        return std::nullopt;
    return AvcPacketType(packet[0]);
}

std::span<const std::uint8_t> avcPayload(std::span<const std::uint8_t> packet)
{
    return packet.size() < 4 ? std::span<const std::uint8_t>{} : packet.subspan(4);
}

} // namespace video
