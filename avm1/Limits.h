#pragma once

#include <cstddef>
#include <cstdint>

// The interpreter's caps. A movie's byte code is as untrusted as the rest of its bytes:
// each of these bounds something a script could otherwise grow without end, so that a
// runaway or hostile script ends with a diagnostic instead of a crash, a hang or
// exhausted memory. Each value sits well above what real movies do.
namespace avm1::limits {

// Function calls nested at once, when the movie sets no ScriptLimits tag: the value
// the authoring tool's player used.
inline constexpr int kDefaultMaxRecursion = 256;
// Script time budget per block, in seconds, without a ScriptLimits tag.
inline constexpr double kDefaultTimeoutSeconds = 15.0;
// Native frames the interpreter may be re-entered through (a getter calling a
// function that sorts an array whose comparison reads a getter...). Each costs C++
// stack, so this stays well below what the thread's stack holds even with the
// recursion cap above.
inline constexpr int kMaxNativeReentry = 512;

// Values on the operand stack of one activation chain. Real code keeps a few dozen;
// a loop that pushes without popping stops here.
inline constexpr std::size_t kMaxStackValues = 1u << 20;
// Registers of a DefineFunction2 (its count is a byte).
inline constexpr std::size_t kMaxRegisters = 256;
// Nested with blocks and try blocks in one activation (the format allows any
// nesting; compilers emit a few).
inline constexpr std::size_t kMaxScopeNesting = 64;
inline constexpr std::size_t kMaxTryNesting = 64;

// Instructions of one decoded block: a block is at most a tag (a few megabytes), so
// this bounds the decoded form's memory to a small multiple of the movie's.
inline constexpr std::size_t kMaxInstructionsPerBlock = 1u << 22;
// Entries of a constant pool (its count is 16 bits).
inline constexpr std::size_t kMaxConstantPool = 65535;

// Strings made by scripts: concatenation in a loop doubles a string each time, so
// without a cap 30 iterations exhaust memory. 64 MiB is far beyond any real text.
inline constexpr std::size_t kMaxStringBytes = 64u << 20;
// Array length a script may set or create densely; larger sparse indexes remain
// ordinary properties.
inline constexpr std::uint32_t kMaxDenseArrayLength = 1u << 24;
// Elements one Array method call visits, holes included (reverse, sort and splice fill
// them in as the reference does): a.reverse() on an array whose length is 2^31 - 1
// would otherwise run for minutes and build billions of properties. An array cannot
// hold more elements than an object holds properties.
inline constexpr std::uint32_t kMaxArrayMethodElements = 1u << 22;
// Properties on one object.
inline constexpr std::size_t kMaxPropertiesPerObject = 1u << 22;
// Live heap cells: past this the running script is stopped (after a collection that
// could not free enough), instead of the process running out of memory.
inline constexpr std::size_t kMaxLiveCells = 16u << 20;
// Prototype chain walked for one lookup: chains can be made circular through
// __proto__, so every walk stops here.
inline constexpr int kMaxPrototypeChain = 256;
// Getter and setter calls of one accessor property nested at once, and calls of one
// watcher (each counts its own, as the reference does); __resolve calls nested inside
// one property access chain. They recurse through the same access paths.
inline constexpr int kMaxPropertyHookDepth = 65;
// Elements enumerated by one Enumerate: for..in over a huge object still ends.
inline constexpr std::size_t kMaxEnumerated = 1u << 22;
// Objects nested inside one value a built-in writes out (ExternalInterface's XML,
// SharedObject and LocalConnection data): cyclic objects would nest without end.
inline constexpr int kMaxSerializedNesting = 256;
// LocalConnection names held at once, messages waiting for delivery, and the bytes of
// one message's arguments: a script connecting or sending in a loop meets these long
// before memory runs short.
inline constexpr std::size_t kMaxLocalConnections = 1024;
inline constexpr std::size_t kMaxPendingMessages = 4096;
inline constexpr std::size_t kMaxMessageBytes = 1u << 20;
// Events of file dialogs and sockets waiting for the end of the step.
inline constexpr std::size_t kMaxDeferredEvents = 4096;
// FileReferences waiting at once for a dialog's answer or a transfer: each holds a host
// dialog or a file in memory.
inline constexpr std::size_t kMaxWaitingFileReferences = 256;
// Files of one FileReferenceList selection the scripts see; a host's longer answer is cut.
inline constexpr std::size_t kMaxChosenFiles = 4096;
// Passes over the waiting FileReferences after one step: a handler that starts a transfer
// hears it end in the same step, but handlers that keep starting new ones cannot hold it.
inline constexpr int kMaxFileEventRounds = 8;
// SharedObjects one run keeps (each getLocal name and path makes one).
inline constexpr std::size_t kMaxSharedObjects = 4096;
// Timers (setInterval/setTimeout) alive at once.
inline constexpr std::size_t kMaxTimers = 4096;
// Calls of one timer in one step: a short interval fires as often as the step's time
// covers, and this bounds the calls a long step (a very low frame rate) could owe.
inline constexpr int kMaxTimerCallsPerStep = 100;
// Calls of all timers in one step: thousands of zero intervals would otherwise owe
// hundreds of thousands of calls a frame.
inline constexpr int kMaxTimerCallsPerStepTotal = 10000;

// Loads (XML.load, LoadVars.load) waiting for delivery at once: a script that loads in
// a loop does not queue without end.
inline constexpr std::size_t kMaxPendingLoads = 256;
// Bytes of one loaded file: its text becomes one string, which kMaxStringBytes bounds.
inline constexpr std::size_t kMaxLoadedFileBytes = 32u << 20;
// Request headers one object keeps (addRequestHeader): nothing is sent, so a script
// adding them in a loop only grows a list.
inline constexpr std::int32_t kMaxRequestHeaders = 1 << 12;

// Tab stops one TextFormat keeps: fields use a handful; more only costs memory.
inline constexpr std::size_t kMaxTabStops = 1024;
// Text fields bound to variables at once: each variable assignment on a clip looks at
// them all, and no movie shows more fields than that.
inline constexpr std::size_t kMaxBoundFields = 65536;

// Characters of static text one TextSnapshot keeps: more than any clip shows, and each
// snapshot copies its text.
inline constexpr std::size_t kMaxSnapshotCharacters = 1u << 20;

// Filters one display object takes from a script: each is a pass over the object's
// layer when it is drawn, and movies use a handful.
inline constexpr std::size_t kMaxClipFilters = 64;
// Values a ConvolutionFilter's matrix keeps: a 15 x 15 kernel is the largest drawn, and
// what a script sets beyond that is kept but bounded, as an array-like's length may be
// anything.
inline constexpr std::size_t kMaxConvolutionValues = 4096;
// perlinNoise's octaves: each halves the one before, so past a byte's eight bits they
// add nothing a pixel shows; the cap bounds a call's work at 32 passes over the bitmap.
inline constexpr int kMaxPerlinOctaves = 32;

// Actions between two looks at the clock: reading it each action would cost more
// than the action.
inline constexpr std::uint32_t kClockCheckInterval = 1u << 16;

// A context menu's own items shown at once: the reference shows no more than this.
inline constexpr std::size_t kMaxContextMenuItems = 15;

} // namespace avm1::limits
