#include "StreamDecoder.h"

#include "Limits.h"

namespace sound {

swf::Result<StreamDecoder> StreamDecoder::create(const StreamHead& head)
{
    auto decoder = makeDecoder(head.format);
    if (!decoder)
        return decoder.error();
    StreamDecoder stream;
    stream.m_format = head.format;
    stream.m_decoder = std::move(decoder.value());
    return stream;
}

std::vector<std::int16_t> StreamDecoder::decodeBlock(std::span<const std::uint8_t> block)
{
    std::vector<std::int16_t> samples;
    if (m_damaged)
        return samples;
    if (m_format.codec == Codec::Mp3)
        block = block.size() >= 4 ? block.subspan(4) : std::span<const std::uint8_t>();
    if (!m_decoder->decode(block, samples, limits::kMaxStreamBlockFrames))
        m_damaged = true;
    return samples;
}

} // namespace sound
