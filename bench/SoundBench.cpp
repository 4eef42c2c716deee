// Sound benchmark: 32 voices (MP3 and ADPCM sounds, looping, at rates that need
// resampling) mixed for a minute of output, as a share of one core against its 3 % goal;
// and ten minutes of 44.1 kHz stereo MP3 decoded, against 200 times real time. Median of
// five runs each.
//     bench-sound
#include "ToneEncoder.h"
#include "sound/Decoder.h"
#include "sound/EventVoice.h"
#include "sound/Mixer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// `minutes` of MP3: half a minute of tones coded once, its frames repeated.
sound::SoundDefinition mp3Sound(double rate, int channels, double minutes)
{
    const std::size_t frames = std::size_t(rate * 30);
    const auto tone = tones::sine(440, rate, frames, channels, 0.4);
    const tones::Encoded encoded = tones::encode("libmp3lame", tone, int(rate), channels);
    sound::SoundDefinition sound;
    sound.format.codec = sound::Codec::Mp3;
    sound.format.rate = rate;
    sound.format.stereo = channels == 2;
    const std::vector<std::uint8_t> half = encoded.joined();
    const int repeats = std::max(1, int(minutes * 2));
    for (int i = 0; i < repeats; ++i)
        sound.data.insert(sound.data.end(), half.begin(), half.end());
    sound.sampleCount = std::uint32_t(frames * std::size_t(repeats));
    return sound;
}

sound::SoundDefinition adpcmSound(double rate)
{
    const auto tone = tones::sine(660, rate, 4096, 1, 0.4);
    sound::SoundDefinition sound;
    sound.format.codec = sound::Codec::Adpcm;
    sound.format.rate = rate;
    sound.data = tones::encode("adpcm_swf", tone, int(rate), 1).joined();
    sound.sampleCount = 4096;
    return sound;
}

} // namespace

int main()
{
    if (!tones::hasEncoder("libmp3lame") || !tones::hasEncoder("adpcm_swf")) {
        std::puts("bench-sound: libavcodec lacks the MP3 or ADPCM encoder");
        return 1;
    }
    // Mixing: sixteen MP3 voices at 22 kHz and sixteen ADPCM voices at 11 kHz, looping.
    const auto mp3 = std::make_shared<const sound::DecodedSound>(
        *sound::decodeEventSound(mp3Sound(22050, 2, 0.5)));
    const auto adpcm =
        std::make_shared<const sound::DecodedSound>(*sound::decodeEventSound(adpcmSound(11025)));
    constexpr double kMixSeconds = 60;
    std::vector<double> shares;
    for (int run = 0; run < 5; ++run) {
        sound::Mixer mixer;
        for (int i = 0; i < 32; ++i) {
            sound::EventPlayback playback;
            playback.loops = 65535;
            mixer.play(std::make_unique<sound::EventVoice>(i % 2 ? adpcm : mp3, playback));
        }
        std::vector<float> buffer(2 * 1024);
        const auto start = Clock::now();
        for (std::size_t done = 0; done < std::size_t(kMixSeconds * 44100); done += 1024)
            mixer.read(buffer.data(), 1024);
        shares.push_back(seconds(start) / kMixSeconds * 100);
    }
    std::printf("mix of 32 voices (MP3 + ADPCM): %.2f %% of one core   (goal <= 3 %%)\n",
                median(shares));

    // Decoding: ten minutes of 44.1 kHz stereo MP3.
    const sound::SoundDefinition tenMinutes = mp3Sound(44100, 2, 10);
    std::vector<double> speeds;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        auto decoded = sound::decodeEventSound(tenMinutes);
        const double took = seconds(start);
        const double length = double(decoded->frames()) / decoded->rate;
        speeds.push_back(length / took);
    }
    std::printf("MP3 decode, 10 minutes 44.1 kHz stereo: %.0f x real time   (goal >= 200 x)\n",
                median(speeds));
    return 0;
}
