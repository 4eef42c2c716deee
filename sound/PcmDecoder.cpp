// Uncompressed samples need no library: 8-bit ones are unsigned, 16-bit ones signed and
// little-endian. The "native" coding is the writer's byte order, which for the tools
// that made these movies was little-endian too.
#include "Decoder.h"

#include <algorithm>

namespace sound {

namespace {

class PcmDecoder final : public Decoder {
public:
    explicit PcmDecoder(const SoundFormat& format) : m_format(format) {}

    swf::Status decode(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& out,
                       std::size_t maxFrames) override
    {
        const std::size_t channels = std::size_t(m_format.channels());
        const std::size_t bytesPerFrame = channels * (m_format.sixteenBit ? 2 : 1);
        const std::size_t frames = std::min(bytes.size() / bytesPerFrame, maxFrames);
        const std::size_t values = frames * channels;
        out.reserve(out.size() + values);
        if (m_format.sixteenBit) {
            for (std::size_t i = 0; i < values; ++i)
                out.push_back(static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
        } else {
            for (std::size_t i = 0; i < values; ++i)
                out.push_back(static_cast<std::int16_t>((int(bytes[i]) - 128) * 256));
        }
        return swf::Ok{};
    }

private:
    SoundFormat m_format;
};

} // namespace

swf::Result<std::unique_ptr<Decoder>> makeDecoder(const SoundFormat& format)
{
    if (format.codec == Codec::PcmNative || format.codec == Codec::PcmLittle)
        return std::unique_ptr<Decoder>(std::make_unique<PcmDecoder>(format));
    return makeAvDecoder(format);
}

} // namespace sound
