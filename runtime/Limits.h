#pragma once

#include <cstddef>
#include <cstdint>

// The runtime's caps and fixed numbers: how much work one step may queue and run, and
// the depth ranges scripts see. The caps on what a movie's bytes may ask for (sizes,
// nesting, live objects) stay with the file format, in format/Limits.h.
namespace runtime::limits {

// Actions the script engine may execute in one step (a frame advance or a pointer
// event), summed over every block and event the step runs. A frame script that jumps
// back to its own frame, or two clips that keep re-entering each other's frames,
// would otherwise run for ever; ten million actions take seconds in any player, far
// beyond a real frame's work. The script time budget usually ends a runaway block
// first: this bounds the step as a whole, and is exact where a clock is not.
inline constexpr std::uint64_t kMaxActionsPerStep = 10'000'000;
// Blocks and events handed to the engine in one step, whatever they execute: an event
// without a handler runs no action, so the cap above alone would not end a queue that
// keeps refilling itself. Ten entries for each of the most display objects a movie may
// have leaves room for an enterFrame, load and unload of each.
inline constexpr std::size_t kMaxBlocksPerStep = 1'000'000;

// Depths as scripts see them. The file format's depths start at 0 and the timeline
// uses them; scripts see those shifted down by 16384, so that what scripts create from
// depth 0 up lies above everything the timeline places:
//   stored depth = script depth + kScriptDepthOffset.
inline constexpr int kScriptDepthOffset = 16384;
// The depths attachMovie, createEmptyMovieClip, duplicateMovieClip and swapDepths
// accept, as scripts see them; others are refused.
inline constexpr int kMinScriptDepth = -16384;
inline constexpr int kMaxScriptDepth = 2130690044;
// removeMovieClip removes only what stands from script depth 0 up to here: the
// timeline's own depths (below 0) and the reserved top of the range are left alone.
inline constexpr int kMaxRemovableScriptDepth = 2130690031;

// Movies scripts load (loadMovie, loadMovieNum, MovieClipLoader). Levels on the stage at
// once, level 0 included: each is a whole movie playing, and real movies use a few.
inline constexpr std::size_t kMaxLevels = 256;
// Loads and unloads waiting at once: a script asking in a loop does not queue without
// end. A step carries out this many at most; the rest wait for the next, so that one
// step never reads hundreds of files.
inline constexpr std::size_t kMaxMovieRequests = 256;
inline constexpr std::size_t kMaxMovieLoadsPerStep = 16;
// The bytes of one loaded file, as fetched: the file format's cap on a movie and its
// header; an image is never larger than that either.
inline constexpr std::size_t kMaxLoadedFileBytes = std::size_t{256} * 1024 * 1024 + 64;
// Movies loaded into clips of movies loaded into clips...: real movies nest two or three
// deep, and each level of nesting is another whole movie.
inline constexpr int kMaxMovieNesting = 16;
// Loaded movies alive at once, and their declared lengths together: a script that loads
// a large movie into many clips stops here rather than at the end of memory.
inline constexpr std::size_t kMaxLoadedMovies = 512;
inline constexpr std::size_t kMaxLoadedMovieBytes = std::size_t{1024} * 1024 * 1024;

// The script limits a movie gets when it has no ScriptLimits tag: the values of the
// authoring tool's own player.
inline constexpr int kDefaultMaxRecursionDepth = 256;
inline constexpr double kDefaultScriptTimeoutSeconds = 15.0;

// UTF-16 units a text field holds: what scripts and variables put in past this is cut
// off. A million units is far more than any field shows, and keeps every edit and
// layout of one field bounded.
inline constexpr std::size_t kMaxFieldText = 1'000'000;
// Nesting of tags in a field's HTML that is tracked; deeper tags still show their text,
// in the format of the deepest tracked level.
inline constexpr std::size_t kMaxHtmlNesting = 64;

} // namespace runtime::limits
