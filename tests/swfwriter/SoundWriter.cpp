#include "SoundWriter.h"

#include "BitWriter.h"

namespace swfwriter {

std::vector<std::uint8_t> defineSound(std::uint16_t id, SoundFormatBits format,
                                      std::uint32_t sampleCount,
                                      const std::vector<std::uint8_t>& data,
                                      std::uint16_t mp3SeekSamples)
{
    ByteWriter out;
    out.u16(id);
    out.u8(format.byte());
    out.u32(sampleCount);
    if (format.codec == 2)
        out.u16(mp3SeekSamples);
    out.bytes(data);
    return out.data();
}

std::vector<std::uint8_t> soundInfo(const SoundInfoRecord& info)
{
    ByteWriter out;
    out.u8(std::uint8_t((info.stop ? 0x20 : 0) | (info.noMultiple ? 0x10 : 0) |
                        (info.envelope.empty() ? 0 : 0x08) | (info.loops ? 0x04 : 0) |
                        (info.outPoint ? 0x02 : 0) | (info.inPoint ? 0x01 : 0)));
    if (info.inPoint)
        out.u32(*info.inPoint);
    if (info.outPoint)
        out.u32(*info.outPoint);
    if (info.loops)
        out.u16(*info.loops);
    if (!info.envelope.empty()) {
        out.u8(std::uint8_t(info.envelope.size()));
        for (const EnvelopeRecord& point : info.envelope) {
            out.u32(point.position44);
            out.u16(point.left);
            out.u16(point.right);
        }
    }
    return out.data();
}

std::vector<std::uint8_t> startSound(std::uint16_t id, const SoundInfoRecord& info)
{
    ByteWriter out;
    out.u16(id);
    out.bytes(soundInfo(info));
    return out.data();
}

std::vector<std::uint8_t> startSound2(const std::string& className, const SoundInfoRecord& info)
{
    ByteWriter out;
    out.cstring(className);
    out.bytes(soundInfo(info));
    return out.data();
}

std::vector<std::uint8_t> defineButtonSound(std::uint16_t buttonId,
                                            const std::array<std::uint16_t, 4>& soundIds,
                                            const SoundInfoRecord& info)
{
    ByteWriter out;
    out.u16(buttonId);
    for (std::uint16_t id : soundIds) {
        out.u16(id);
        if (id != 0)
            out.bytes(soundInfo(info));
    }
    return out.data();
}

std::vector<std::uint8_t> soundStreamHead(SoundFormatBits format, std::uint16_t samplesPerBlock,
                                          std::int16_t mp3Latency)
{
    ByteWriter out;
    out.u8(format.byte() & 0x0f);
    out.u8(format.byte());
    out.u16(samplesPerBlock);
    if (format.codec == 2)
        out.s16(mp3Latency);
    return out.data();
}

std::vector<std::uint8_t> mp3StreamBlock(std::uint16_t sampleCount, std::int16_t seekSamples,
                                         const std::vector<std::uint8_t>& frames)
{
    ByteWriter out;
    out.u16(sampleCount);
    out.s16(seekSamples);
    out.bytes(frames);
    return out.data();
}

} // namespace swfwriter
