#pragma once

// Known pictures for the video tests and the benchmark, coded at run time by libavcodec's
// own encoders ("flv" for Sorenson H.263, "flashsv", "flashsv2").
#include <cstdint>
#include <vector>

namespace pictures {

/// An opaque picture, 0xRRGGBB row after row.
struct Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t at(std::uint32_t x, std::uint32_t y) const { return rgb[y * width + x]; }
};

/// The eight bars, left to right: white, yellow, cyan, green, magenta, red, blue, black.
inline constexpr std::uint32_t kBars[8] = {0xffffff, 0xffff00, 0x00ffff, 0x00ff00,
                                           0xff00ff, 0xff0000, 0x0000ff, 0x000000};
Image colourBars(std::uint32_t width, std::uint32_t height);

/// A white 32 x 32 square on grey, its left edge at `x`, its top at `y`.
inline constexpr std::uint32_t kSquareSide = 32;
Image square(std::uint32_t width, std::uint32_t height, std::uint32_t x, std::uint32_t y);

bool hasEncoder(const char* encoder);

/// Codes the images in order, one packet each; a keyframe every `keyframeInterval`
/// images. No packets when the encoder is missing.
std::vector<std::vector<std::uint8_t>> encode(const char* encoder, const std::vector<Image>& images,
                                              int keyframeInterval);

/// H.264 as FLV carries it: the configuration record's packet, then one packet per image
/// in coding order (type byte, composition time, NAL units with 4-byte lengths), each
/// with its decoding time for 25 images a second. Coded by libx264, with `bFrames`
/// frames shown before the one they are coded after; empty when libx264 is missing.
struct AvcStream {
    std::vector<std::uint8_t> configuration;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<std::uint32_t> decodeMs;
    std::uint32_t firstShownMs = 0; // when the first image is shown, in the same time
};
AvcStream encodeAvc(const std::vector<Image>& images, int keyframeInterval, int bFrames = 0);

/// Distance between two colours: the largest of the red, green and blue differences.
int colourDistance(std::uint32_t a, std::uint32_t b);

} // namespace pictures
