// Writes the sound fuzzer's seeds: DefineSound bodies (after the character id) of a short
// tone in every coding, coded by libavcodec's encoders where it has one, so that the
// fuzzer starts from data each decoder accepts.
//     make-sound-seeds FOLDER
#include "SoundWriter.h"
#include "ToneEncoder.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Coding {
    const char* name;
    std::uint8_t codec;
    std::uint8_t rateIndex;
    bool stereo;
    const char* encoder; // null: raw 16-bit PCM, or noise for codings nothing here encodes
};

constexpr double kRates[] = {5512.5, 11025, 22050, 44100};

bool writeSeed(const std::string& path, const std::vector<std::uint8_t>& tagBody)
{
    std::ofstream out(path, std::ios::binary);
    // The fuzzer reads DefineSound's body after the two bytes of the character id.
    out.write(reinterpret_cast<const char*>(tagBody.data()) + 2,
              static_cast<std::streamsize>(tagBody.size() - 2));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sound-seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Coding codings[] = {
        {"pcm-native-8", 0, 1, false, nullptr},
        {"pcm-little-16", 3, 2, true, nullptr},
        {"adpcm", 1, 2, false, "adpcm_swf"},
        {"adpcm-stereo", 1, 3, true, "adpcm_swf"},
        {"mp3", 2, 3, false, "libmp3lame"},
        {"nellymoser-16k", 4, 0, false, "nellymoser"},
        {"nellymoser-8k", 5, 0, false, "nellymoser"},
        {"nellymoser", 6, 2, false, "nellymoser"},
        {"alaw", 7, 1, false, "pcm_alaw"},
        {"mulaw", 8, 1, false, "pcm_mulaw"},
        {"speex", 11, 0, false, nullptr},
    };
    bool ok = true;
    for (const auto& coding : codings) {
        double rate = kRates[coding.rateIndex];
        if (coding.codec == 4)
            rate = 16000;
        if (coding.codec == 5 || coding.codec == 11)
            rate = 8000;
        const int channels = coding.stereo ? 2 : 1;
        const std::size_t frames = static_cast<std::size_t>(rate / 10);
        const auto samples = tones::sine(440, rate, frames, channels);
        std::vector<std::uint8_t> data;
        std::uint16_t seek = 0;
        if (coding.encoder && tones::hasEncoder(coding.encoder)) {
            const auto encoded =
                tones::encode(coding.encoder, samples, static_cast<int>(rate), channels);
            data = encoded.joined();
            seek = static_cast<std::uint16_t>(encoded.initialPadding);
        } else if (coding.codec == 0 || coding.codec == 3) {
            for (std::size_t i = 0; i < samples.size(); ++i) {
                if (coding.codec == 0) {
                    data.push_back(static_cast<std::uint8_t>((samples[i] >> 8) + 128));
                } else {
                    data.push_back(static_cast<std::uint8_t>(samples[i] & 0xff));
                    data.push_back(static_cast<std::uint8_t>((samples[i] >> 8) & 0xff));
                }
            }
        } else {
            // Speex: nothing here encodes it; a repeating pattern still walks the decoder.
            for (std::size_t i = 0; i < 600; ++i)
                data.push_back(static_cast<std::uint8_t>(i * 37 + 11));
        }
        const swfwriter::SoundFormatBits format{coding.codec, coding.rateIndex, coding.codec != 0,
                                                coding.stereo};
        ok &= writeSeed(
            folder + "/" + coding.name + ".bin",
            swfwriter::defineSound(1, format, static_cast<std::uint32_t>(frames), data, seek));
    }
    return ok ? 0 : 1;
}
