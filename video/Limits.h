#pragma once

#include <cstddef>
#include <cstdint>

// The video library's caps on what a stream or an FLV file may ask of it, each with its
// reason.
namespace video::limits {

// Picture sides: the codings' own size fields reach 4095 (Screen Video) or 65535
// (H.263's custom size); 4096 is above any display the movies were made for.
inline constexpr std::uint32_t kMaxWidth = 4096;
inline constexpr std::uint32_t kMaxHeight = 4096;
// Pixels of one picture: 4096 x 2304 (a 4K frame), 36 MiB as ARGB, so a stream that
// claims both maximum sides cannot ask for 64 MiB per picture.
inline constexpr std::uint64_t kMaxPixels = 4096ull * 2304ull;

// One coded frame: a keyframe of a 4K stream at a high rate stays well under 8 MiB; a
// larger packet is damage, and libavcodec would copy it once more with padding.
inline constexpr std::size_t kMaxPacketBytes = 8u << 20;

// FLV tags of one file: two million is about eighteen hours of 30 fps video with its
// audio, and each tag costs the reader a small record.
inline constexpr std::size_t kMaxFlvTags = 2u << 20;

// Script data: values nest a few levels deep in real metadata (keyframes inside the
// metadata object); 32 bounds the reader's recursion.
inline constexpr int kMaxAmfDepth = 32;
// Script data values of one file, all tags and levels together: each costs about a
// hundred bytes in the tree, so a file of tiny values cannot grow it past ~100 MiB; real
// metadata holds two numbers per keyframe.
inline constexpr std::size_t kMaxAmfValues = 1u << 20;

// Diagnostics one FLV file keeps: a file damaged throughout reports its first problems
// and a count, not one line per tag.
inline constexpr std::size_t kMaxFlvDiagnostics = 32;

// Pictures decoded ahead of the one shown: enough to ride over one slow frame, few
// enough that a 4K stream holds under 200 MiB.
inline constexpr std::size_t kMaxPicturesAhead = 4;

} // namespace video::limits
