#pragma once

// Known signals for the sound tests: sine tones, coded at test time by libavcodec's own
// encoders, and the measures that tell what came out of the decoders.
#include <cstdint>
#include <span>
#include <vector>

namespace tones {

// `frames` frames of a sine of `hz` at `rate`, peak `level` (full scale is 1), the same
// in every channel.
std::vector<std::int16_t> sine(double hz, double rate, std::size_t frames, int channels,
                               double level = 0.5);

struct Encoded {
    std::vector<std::vector<std::uint8_t>> packets;
    int initialPadding = 0;                  // frames the encoder put before the signal
    std::vector<std::uint8_t> configuration; // the encoder's global header (AAC's config)
    std::vector<std::uint8_t> joined() const;
};

// Codes the samples with the libavcodec encoder called `encoder` ("adpcm_swf",
// "nellymoser", "libmp3lame", "pcm_alaw", "pcm_mulaw"); no packets when the encoder is
// missing.
Encoded encode(const char* encoder, std::span<const std::int16_t> samples, int rate, int channels);
bool hasEncoder(const char* encoder);

// Frequency of one channel of interleaved samples, from its rising zero crossings.
double frequency(std::span<const float> samples, int channels, int channel, double rate);
// Root mean square of one channel (a full-scale sine gives about 0.707).
double rms(std::span<const float> samples, int channels, int channel);
std::vector<float> toFloat(std::span<const std::int16_t> samples);

} // namespace tones
