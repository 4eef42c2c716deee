#pragma once

// Movies with an embedded video for the runtime, renderer and script tests: a stream whose
// frames each show their own colour in a square mark and one steady colour around it,
// coded at test time by libavcodec's Sorenson H.263 encoder. The mark is small enough for
// the encoder to code frames after a keyframe as changes of the frame before, the steady
// part as unchanged: only a decoder that has decoded that frame shows it right.
#include "MovieWriter.h"

#include <cstdint>
#include <vector>

namespace videomovies {

// The colour of the mark of each frame of the stream, 0xRRGGBB, far apart; and the
// colour around it in every frame (no grey, which decoders show for a missing reference).
inline constexpr std::uint32_t kColours[8] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00,
                                              0x00ffff, 0xff00ff, 0xffffff, 0x202020};
inline constexpr std::uint32_t kSteady = 0x3070b0;
inline constexpr std::uint16_t kStreamId = 1;
inline constexpr int kCodedWidth = 64;
inline constexpr int kCodedHeight = 48;
// The mark: one macroblock of the picture's twelve, in pixels.
inline constexpr int kMarkLeft = 32;
inline constexpr int kMarkTop = 16;
inline constexpr int kMarkSide = 16;

struct Options {
    int version = 8;
    // The size DefineVideoStream declares (the coded size unless set).
    std::uint16_t width = kCodedWidth;
    std::uint16_t height = kCodedHeight;
    int keyframeInterval = 4;
    std::uint8_t codec = 2;
    bool smoothing = false;
    // Frames whose packets are replaced by bytes no decoder reads.
    std::vector<int> damaged;
    // Placed by a PlaceObject2 with this matrix.
    swfwriter::Matrix matrix;
    // Action bytes run on a frame of the main timeline, by frame (none past the list).
    std::vector<std::vector<std::uint8_t>> frameActions;
};

// Eight frames on the main timeline: frame k shows stream frame k, placed at depth 1 as
// "video" on frame 0 and moved to ratio k after; each frame's packet comes in its own
// frame. Empty (no frames) when the encoder is missing.
swfwriter::MovieWriter solidColourMovie(const Options& options = {});
// The same stream's packets, one per colour of kColours.
std::vector<std::vector<std::uint8_t>> solidColourPackets(int keyframeInterval);
bool canEncode();

// Whether a premultiplied ARGB pixel shows 0xRRGGBB within what coding leaves.
bool near(std::uint32_t argb, std::uint32_t rgb, int tolerance = 24);

} // namespace videomovies
