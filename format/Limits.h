#pragma once

#include <cstddef>
#include <cstdint>

// The engine's caps on what a movie may ask of it. Every size, count and depth read
// from a movie is checked against one of these before it is used, so that a damaged
// or hostile file ends in a clear message instead of a crash, a hang or a runaway
// allocation. Each value sits well above what real movies need.
namespace swf::limits {

inline constexpr std::size_t kMiB = 1024 * 1024;

// Uncompressed movie size, declared or actual. Real movies stay in the tens of
// megabytes; 256 MiB leaves room for large ones while bounding memory.
inline constexpr std::size_t kMaxMovieBytes = 256 * kMiB;

// Bitmaps: the authoring tool's own limits per side and per image, and a budget for
// all decoded pixels of one movie (4 bytes each: 1 GiB at most).
inline constexpr std::uint32_t kMaxBitmapSide = 8191;
inline constexpr std::uint64_t kMaxBitmapPixels = 16777215;
inline constexpr std::uint64_t kMaxTotalBitmapPixels = 256ull * 1024 * 1024;
// Scans of one progressive JPEG. Encoders write about ten; every scan passes over the
// whole image again, so a file with thousands of them would cost minutes to decode.
inline constexpr int kMaxJpegScans = 256;

// Filters: one FILTERLIST runs its filters one after another on every frame drawn;
// real movies use a handful, so 32 is far above real use. A convolution costs
// columns x rows reads per pixel, and real kernels are 3 to 5 a side.
inline constexpr std::size_t kMaxFiltersPerList = 32;
inline constexpr std::size_t kMaxConvolutionSide = 32;

// Shapes: records of one shape or glyph, style entries per style array.
inline constexpr std::size_t kMaxShapeRecords = 1u << 20;
inline constexpr std::size_t kMaxStylesPerArray = 65535;
// Glyphs of one font and glyph entries of one text record.
inline constexpr std::size_t kMaxGlyphs = 65535;
// Shape coordinates, in twips, either way from the origin: 53 million pixels. Pens
// that wander further are refused, so that sums, midpoints and interpolations of two
// coordinates never leave 32 bits.
inline constexpr std::int32_t kMaxCoordinate = 1 << 30;

// Timelines: frames of one timeline (the header's count is 16 bits) and control
// tags in one frame.
inline constexpr std::size_t kMaxFrames = 65535;
inline constexpr std::size_t kMaxTagsPerFrame = 1u << 20;

// Embedded video: the bytes of one stream's VideoFrame packets together; a long clip at
// a high rate stays in the tens of megabytes. (Their count needs no cap of its own: frame
// numbers are 16 bits, and a number keeps one packet.)
inline constexpr std::size_t kMaxVideoBytesPerStream = 128 * kMiB;

// Notes on tolerated defects kept per movie: a hostile file could otherwise make one
// per tag, and the first few are what a reader of the log needs.
inline constexpr std::size_t kMaxNotes = 64;

// Imports (Imports.h). A library movie may import from others in turn; authoring tools
// make one level, rarely two, so four bounds a chain that would otherwise follow the
// files as deep as they go. Files fetched for one movie, over every level: real movies
// import from one or two libraries, and each file costs a read and a parse. Their
// bytes together, as fetched (each still passes kMaxMovieBytes once decompressed):
// shared libraries of fonts and clips stay in the low megabytes.
inline constexpr int kMaxImportNesting = 4;
inline constexpr std::size_t kMaxImportFiles = 32;
inline constexpr std::size_t kMaxImportBytes = 64 * kMiB;

// Depth of nested display objects: a sprite that places itself, directly or through
// others, stops growing at this depth.
inline constexpr int kMaxDisplayNesting = 64;
// Depth of sprite definitions nested inside sprite definitions while parsing.
inline constexpr int kMaxDefinitionNesting = 8;

// Display objects alive at once in one movie. Nesting alone does not bound them: a
// sprite that places itself twice doubles at every level of the nesting cap. Real
// movies keep a few thousand.
inline constexpr std::size_t kMaxDisplayObjects = 100000;
// Action blocks run for one frame (or one input event), those that running them queues
// included: a frame script that jumps back to its own frame would otherwise never end.
inline constexpr std::size_t kMaxActionsPerFrame = 100000;

} // namespace swf::limits
