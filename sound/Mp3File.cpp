#include "Mp3File.h"

#include "Decoder.h"
#include "Limits.h"

#include <algorithm>
#include <optional>

namespace sound {

namespace {

using swf::ErrorCode;
using swf::makeError;

// ID3v2: "ID3", version (2 bytes), flags, then the size in four 7-bit bytes.
std::size_t id3Length(std::span<const std::uint8_t> file)
{
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3')
        return 0;
    const std::size_t size = std::size_t(file[6] & 0x7f) << 21 | std::size_t(file[7] & 0x7f) << 14 |
                             std::size_t(file[8] & 0x7f) << 7 | std::size_t(file[9] & 0x7f);
    const std::size_t footer = (file[5] & 0x10) ? 10 : 0;
    return std::min(file.size(), 10 + size + footer);
}

// The format of the first layer III frame header at or after `from`.
std::optional<SoundFormat> firstFrameFormat(std::span<const std::uint8_t> file, std::size_t from)
{
    static constexpr double kRates[3][3] = {
        {11025, 12000, 8000}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    for (std::size_t i = from; i + 4 <= file.size(); ++i) {
        if (file[i] != 0xff || (file[i + 1] & 0xe0) != 0xe0)
            continue;
        const int version = (file[i + 1] >> 3) & 3; // 0: 2.5, 2: 2, 3: 1
        const int layer = (file[i + 1] >> 1) & 3;
        const int rate = (file[i + 2] >> 2) & 3;
        if (version == 1 || layer != 1 || rate == 3)
            continue;
        SoundFormat format;
        format.codec = Codec::Mp3;
        format.rate = kRates[version == 0 ? 0 : version == 2 ? 1 : 2][rate];
        format.stereo = (file[i + 3] >> 6) != 3;
        return format;
    }
    return std::nullopt;
}

} // namespace

bool hasId3Tag(std::span<const std::uint8_t> file)
{
    return id3Length(file) > 0;
}

swf::Result<DecodedSound> decodeMp3File(std::span<const std::uint8_t> file)
{
    const std::size_t start = id3Length(file);
    const auto format = firstFrameFormat(file, start);
    if (!format)
        return makeError(ErrorCode::BadValue, "no MP3 frame in the file");
    SoundDefinition sound;
    sound.format = *format;
    sound.sampleCount = std::uint32_t(limits::kMaxDecodedFrames);
    sound.data.assign(file.begin() + std::ptrdiff_t(start), file.end());
    return decodeEventSound(sound);
}

} // namespace sound
