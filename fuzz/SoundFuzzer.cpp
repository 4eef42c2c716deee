// libFuzzer target: DefineSound bodies through every decoder, played whole as an event
// sound and cut into stream blocks, with the voices mixed. The format byte chooses the
// coding, so every decoder sees damaged data.
#include "sound/Decoder.h"
#include "sound/EventVoice.h"
#include "sound/Mixer.h"
#include "sound/SoundFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace {

// Enough output to run through a few decoded blocks without making each run slow.
constexpr std::size_t kMixFrames = 4096;
constexpr std::size_t kMaxStreamFrames = 1 << 16;

void mixBriefly(sound::Mixer& mixer)
{
    std::vector<float> out(kMixFrames * 2);
    for (int i = 0; i < 4; ++i)
        (void)mixer.read(out.data(), kMixFrames);
}

void playAsStream(const sound::SoundDefinition& sound)
{
    auto decoder = sound::makeDecoder(sound.format);
    if (!decoder)
        return;
    // Blocks of a size the data itself picks, so block edges land everywhere.
    const std::size_t block = sound.data.empty() ? 1 : 1 + sound.data[0] % 97;
    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at < sound.data.size(); at += block) {
        const auto part =
            std::span(sound.data).subspan(at, std::min(block, sound.data.size() - at));
        if (!(*decoder)->decode(part, samples, kMaxStreamFrames))
            break;
    }
    (*decoder)->finish(samples, kMaxStreamFrames);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto sound = sound::parseDefineSound(std::span(data, size));
    if (!sound)
        return 0;
    playAsStream(*sound);
    auto decoded = sound::decodeEventSound(*sound);
    if (!decoded)
        return 0;
    sound::Mixer mixer;
    sound::EventPlayback playback;
    playback.loops = 2;
    playback.inPoint44 = sound->sampleCount % 700;
    playback.envelope = {{0, 32768, 0}, {2000, 0, 32768}};
    auto shared = std::make_shared<const sound::DecodedSound>(std::move(*decoded));
    (void)mixer.play(std::make_unique<sound::EventVoice>(shared, playback));
    (void)mixer.play(std::make_unique<sound::EventVoice>(shared, sound::EventPlayback{}));
    mixBriefly(mixer);
    return 0;
}
