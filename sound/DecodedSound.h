#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sound {

/// Sound decoded to 16-bit samples at its own rate, interleaved by channel. A frame is one
/// sample of every channel.
struct DecodedSound {
    double rate = 44100;
    int channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
};

} // namespace sound
