// Keyframes, told from each coding's own frame header:
// - Sorenson H.263: the picture type after the picture size (0 = intra).
// - VP6: the first bit of the frame header (0 = intra), after FLV's crop byte and the
//   alpha offset.
// - Screen Video: a frame that codes every block needs no earlier one; frames that skip
//   blocks keep those from the previous picture. FLV also marks keyframes in its tag's
//   frame type, which the FLV reader's index uses; a movie's frames are decoded in order
//   either way.
// - Screen Video 2: as Screen Video, and no block may be a difference against, or be
//   primed from, the previous picture. Frames with palette information are not read
//   further and count as inter frames.
// - H.264: an access unit holding an IDR slice (4-byte NAL lengths, as FLV writers use).
#include "PacketLayout.h"
#include "VideoDecoder.h"

namespace video {

namespace {

// Most significant bit first, as the video codings order their header fields.
class HeaderBits {
public:
    explicit HeaderBits(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    std::uint32_t read(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (m_bit >= m_bytes.size() * 8) {
                m_ok = false;
                return 0;
            }
            const std::uint8_t byte = m_bytes[m_bit / 8];
            value = value << 1 | ((byte >> (7 - m_bit % 8)) & 1u);
            ++m_bit;
        }
        return value;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_bit = 0;
    bool m_ok = true;
};

bool sorensonKeyframe(std::span<const std::uint8_t> bytes)
{
    HeaderBits bits(bytes);
    if (bits.read(17) != 1)
        return false;
    bits.read(5); // version
    bits.read(8); // temporal reference
    const std::uint32_t sizeCode = bits.read(3);
    if (sizeCode == 0)
        bits.read(16);
    else if (sizeCode == 1)
        bits.read(32);
    const std::uint32_t pictureType = bits.read(2);
    return bits.ok() && pictureType == 0;
}

std::uint32_t bigEndian16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 8 | bytes[at + 1];
}

bool screenKeyframe(std::span<const std::uint8_t> bytes, bool version2)
{
    const std::size_t header = version2 ? 5 : 4;
    if (bytes.size() < header)
        return false;
    const std::uint32_t blockWidth = ((bytes[0] >> 4) + 1) * 16;
    const std::uint32_t width = bigEndian16(bytes, 0) & 0x0fff;
    const std::uint32_t blockHeight = ((bytes[2] >> 4) + 1) * 16;
    const std::uint32_t height = bigEndian16(bytes, 2) & 0x0fff;
    if (width == 0 || height == 0)
        return false;
    if (version2 && (bytes[4] & 0x01))
        return false;
    const std::uint32_t blocks =
        ((width + blockWidth - 1) / blockWidth) * ((height + blockHeight - 1) / blockHeight);
    std::size_t at = header;
    for (std::uint32_t i = 0; i < blocks; ++i) {
        if (at + 2 > bytes.size())
            return false;
        const std::uint32_t size = bigEndian16(bytes, at);
        if (size == 0)
            return false;
        // Version 2's block flags: diff blocks (bit 2) and priming from the previous
        // picture (bit 0) both lean on the earlier frame.
        if (version2 && at + 3 <= bytes.size() && (bytes[at + 2] & 0x05))
            return false;
        at += 2 + size;
    }
    return at <= bytes.size();
}

bool avcKeyframe(std::span<const std::uint8_t> packet)
{
    if (avcPacketType(packet) != AvcPacketType::Nalu)
        return false;
    const std::span<const std::uint8_t> units = avcPayload(packet);
    for (std::size_t at = 0; at + 5 <= units.size();) {
        const std::size_t length = std::size_t(units[at]) << 24 | std::size_t(units[at + 1]) << 16 |
                                   std::size_t(units[at + 2]) << 8 | units[at + 3];
        if (length == 0 || length > units.size() - at - 4)
            return false;
        if ((units[at + 4] & 0x1f) == 5)
            return true;
        at += 4 + length;
    }
    return false;
}

} // namespace

bool isKnownCodec(std::uint8_t value)
{
    return value >= std::uint8_t(Codec::SorensonH263) && value <= std::uint8_t(Codec::H264);
}

bool isKeyframe(Codec codec, Framing framing, std::span<const std::uint8_t> packet)
{
    const auto coded = unwrapPacket(codec, framing, packet);
    if (!coded)
        return false;
    switch (codec) {
    case Codec::SorensonH263:
        return sorensonKeyframe(coded->payload);
    case Codec::Vp6:
        return !coded->payload.empty() && (coded->payload[0] & 0x80) == 0;
    case Codec::Vp6Alpha:
        return coded->payload.size() > 3 && (coded->payload[3] & 0x80) == 0;
    case Codec::ScreenVideo:
        return screenKeyframe(coded->payload, false);
    case Codec::ScreenVideo2:
        return screenKeyframe(coded->payload, true);
    case Codec::H264:
        return avcKeyframe(coded->payload);
    }
    return false;
}

} // namespace video
