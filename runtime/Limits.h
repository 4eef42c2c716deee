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

// Hit tests of one step (HitTestBudget), in units of about one edge of a shape tested.
// A character definition visited by a button's hit area costs kHitTestVisitCost, as a
// visit looks its character up, checks boxes and inverts a matrix; a definition and
// point written down so as not to be walked twice costs kHitTestRecordCost more (both
// measured by bench-pointer). Four million units take some ten milliseconds: less
// than a frame at any common rate, and far more than a pointer event over a real
// movie's buttons costs, as the boxes of hit areas leave only the few under the
// pointer to test. Buttons whose hit areas place buttons (a hostile or damaged movie)
// would otherwise walk millions of definitions at every event.
inline constexpr std::uint64_t kMaxHitTestWorkPerStep = 4'000'000;
inline constexpr std::uint64_t kHitTestVisitCost = 32;
inline constexpr std::uint64_t kHitTestRecordCost = 192;
// Placements looked at while the boxes of a movie's hit areas are worked out
// (HitAreas), once per movie: rounds over the placements that sprites and buttons make
// of one another, as many as the nesting cap. Past this the boxes are left unbounded,
// which costs pruning and never a hit.
inline constexpr std::uint64_t kMaxHitAreaWork = 16'000'000;

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
// Characters of a field's restrict list that count: each typed character is checked
// against every entry, so the list stays short enough for that to cost nothing.
inline constexpr std::size_t kMaxRestrictLength = 1024;
// UTF-16 units one text event types (a key, an input method's commit): far more than a
// person types at once; more from a host is cut off.
inline constexpr std::size_t kMaxTypedText = 65536;
// Nesting of tags in a field's HTML that is tracked; deeper tags still show their text,
// in the format of the deepest tracked level.
inline constexpr std::size_t kMaxHtmlNesting = 64;
// Tab stops one TEXTFORMAT tag of a field's HTML gives: as many as a script's
// TextFormat may hold.
inline constexpr std::size_t kMaxTabStops = 1024;
// Text layout: font sizes past 2,000 pixels and lengths past a million pixels show
// nothing a stage can hold, and keep all of layout's sums well inside 32 bits.
inline constexpr std::int64_t kMaxTextSizeTwips = 2000 * 20;
inline constexpr std::int64_t kMaxTextLengthTwips = 1'000'000 * 20;
// Lines one field lays out: every unit of the largest text on a line of its own.
inline constexpr std::size_t kMaxTextLines = kMaxFieldText + 1;

// BitmapData's sizes as the reference allows them: up to 2880 pixels a side for movies
// of SWF 9 and before; from SWF 10 up to 8191 a side and 16,777,215 pixels in all. At
// four bytes a pixel the largest bitmap is 64 MiB.
inline constexpr int kMaxBitmapSideSwf9 = 2880;
inline constexpr int kMaxBitmapSide = 8191;
inline constexpr std::int64_t kMaxBitmapPixels = 16'777'215;
// Pixels of every script bitmap alive at once (1 GiB): a script making bitmaps in a loop
// is refused here once the collector cannot free enough, rather than exhaust memory.
inline constexpr std::uint64_t kMaxLiveBitmapPixels = std::uint64_t{256} << 20;

// What scripts draw with the drawing API (moveTo, lineTo, curveTo, the fill and line
// styles). One clip records at most as many calls as a movie's shape may hold records,
// and as many styles as one style array; all the clips of a player together hold eight
// times that, some 200 MB: enough for a drawing program left running for hours, and a
// script that draws in a loop without clear() stops there instead of at the end of
// memory. Calls past a cap are refused, with a diagnostic.
inline constexpr std::size_t kMaxDrawingCommands = std::size_t{1} << 20;
inline constexpr std::size_t kMaxDrawingStyles = 65535;
inline constexpr std::size_t kMaxDrawingCommandsTotal = std::size_t{8} << 20;
// Drawing coordinates, twips: as far as a shape's own records may reach.
inline constexpr std::int32_t kMaxDrawingCoordinate = 1 << 30;

// Video frames one jump of an embedded video decodes: it decodes from the keyframe at or
// before the frame shown, and encoders place keyframes seconds apart. A stream whose
// keyframes lie farther apart starts this many frames back instead, showing smeared
// pictures until its next keyframe, so that one jump cannot cost minutes of decoding.
inline constexpr std::size_t kMaxVideoFramesDecodedAtOnce = 300;

} // namespace runtime::limits
