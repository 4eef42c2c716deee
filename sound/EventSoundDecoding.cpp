#include "Decoder.h"
#include "Limits.h"

#include <algorithm>

namespace sound {

swf::Result<DecodedSound> decodeEventSound(const SoundDefinition& sound)
{
    auto decoder = makeDecoder(sound.format);
    if (!decoder)
        return decoder.error();
    DecodedSound decoded;
    decoded.rate = sound.format.rate;
    decoded.channels = sound.format.channels();
    const std::size_t skip = sound.format.codec == Codec::Mp3 ? sound.seekSamples : 0;
    const std::size_t wanted =
        std::min<std::size_t>(limits::kMaxDecodedFrames, std::size_t(sound.sampleCount) + skip);
    // Damage ends the sound where it starts: what was decoded before it still plays.
    if ((*decoder)->decode(sound.data, decoded.samples, wanted))
        (*decoder)->finish(decoded.samples, wanted - decoded.frames());
    const std::size_t channels = std::size_t(decoded.channels);
    const std::size_t dropped = std::min(skip, decoded.frames());
    decoded.samples.erase(decoded.samples.begin(),
                          decoded.samples.begin() + std::ptrdiff_t(dropped * channels));
    if (decoded.frames() > sound.sampleCount)
        decoded.samples.resize(std::size_t(sound.sampleCount) * channels);
    decoded.samples.shrink_to_fit();
    return decoded;
}

} // namespace sound
