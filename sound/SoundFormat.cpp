#include "SoundFormat.h"

#include "Limits.h"
#include "format/ByteReader.h"

#include <optional>

namespace sound {

using swf::ErrorCode;
using swf::makeError;

swf::Result<SoundFormat> soundFormatFromByte(std::uint8_t byte)
{
    static constexpr double kRates[] = {5512.5, 11025, 22050, 44100};
    SoundFormat format;
    const int codec = byte >> 4;
    switch (codec) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 11:
        format.codec = static_cast<Codec>(codec);
        break;
    default:
        return makeError(ErrorCode::Unsupported, "sound format " + std::to_string(codec));
    }
    format.rate = kRates[(byte >> 2) & 3];
    format.sixteenBit = (byte & 2) != 0;
    format.stereo = (byte & 1) != 0;
    // These codings have one rate and one channel whatever the other fields say.
    switch (format.codec) {
    case Codec::Nellymoser8k:
        format.rate = 8000;
        format.stereo = false;
        break;
    case Codec::Nellymoser16k:
    case Codec::Speex:
        format.rate = 16000;
        format.stereo = false;
        break;
    case Codec::Nellymoser:
        format.stereo = false;
        break;
    default:
        break;
    }
    return format;
}

swf::Result<SoundDefinition> parseDefineSound(std::span<const std::uint8_t> body)
{
    swf::ByteReader in(body);
    const std::uint8_t formatByte = in.u8();
    SoundDefinition sound;
    sound.sampleCount = in.u32();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "DefineSound: header");
    auto format = soundFormatFromByte(formatByte);
    if (!format)
        return format.error();
    sound.format = *format;
    if (sound.format.codec == Codec::Mp3) {
        sound.seekSamples = in.u16();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "DefineSound: seek samples");
    }
    const auto rest = in.rest();
    sound.data.assign(rest.begin(), rest.end());
    return sound;
}

swf::Result<SoundInfo> parseSoundInfo(std::span<const std::uint8_t> bytes)
{
    swf::ByteReader in(bytes);
    const std::uint8_t flags = in.u8();
    SoundInfo info;
    info.stop = (flags & 0x20) != 0;
    info.noMultiple = (flags & 0x10) != 0;
    if (flags & 0x01)
        info.inPoint = in.u32();
    if (flags & 0x02)
        info.outPoint = in.u32();
    if (flags & 0x04)
        info.loops = in.u16();
    if (flags & 0x08) {
        const std::size_t count = in.u8();
        if (in.remaining() < count * 8)
            return makeError(ErrorCode::Truncated, "SoundInfo: envelope");
        for (std::size_t i = 0; i < count && i < limits::kMaxEnvelopePoints; ++i) {
            EnvelopePoint point;
            point.position44 = in.u32();
            point.left = in.u16();
            point.right = in.u16();
            info.envelope.push_back(point);
        }
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "SoundInfo");
    if (info.loops == 0)
        info.loops = 1;
    return info;
}

swf::Result<StreamHead> parseStreamHead(std::span<const std::uint8_t> body)
{
    swf::ByteReader in(body);
    in.u8(); // the playback format: a hint for the output device, not the data's
    const std::uint8_t formatByte = in.u8();
    StreamHead head;
    head.samplesPerBlock = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "SoundStreamHead");
    auto format = soundFormatFromByte(formatByte);
    if (!format)
        return format.error();
    head.format = *format;
    // Leniency: the latency field is often missing from MP3 heads; it is only a hint.
    if (head.format.codec == Codec::Mp3 && in.remaining() >= 2)
        head.latencySeek = in.s16();
    return head;
}

} // namespace sound
