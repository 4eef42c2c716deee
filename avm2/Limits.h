#pragma once

#include <cstddef>
#include <cstdint>

// The ActionScript 3 machine's caps on what a movie's byte code may ask of it. Every
// count and index read from an ABC block is checked against these before it is used,
// so that a damaged or hostile block ends in a clear diagnostic, never in a crash or a
// runaway allocation. Each value sits well above what compilers emit.
namespace avm2::limits {

// One ABC block: the largest real ones (whole games with their libraries) are a few
// megabytes. The cap bounds everything parsed from a block at a small multiple of it.
inline constexpr std::size_t kMaxAbcBytes = 64 * 1024 * 1024;

// Entries of each constant pool table, and of the method, metadata, class and script
// tables. The format's indices are u30; compilers stay below a few hundred thousand.
inline constexpr std::uint32_t kMaxPoolEntries = 1u << 22;

// Parameters of one method: the instruction set addresses locals with u30, but the
// language has no real use for more than a few dozen.
inline constexpr std::uint32_t kMaxMethodParams = 4096;

// Traits of one instance, class, script or activation: the largest generated classes
// (embedded resource tables) hold a few thousand.
inline constexpr std::uint32_t kMaxTraits = 1u << 18;

// Interfaces one class implements, metadata items, entries of one metadata list, and
// type parameters of a TypeName (Vector.<T> has one).
inline constexpr std::uint32_t kMaxInterfaces = 4096;
inline constexpr std::uint32_t kMaxMetadataItems = 4096;
inline constexpr std::uint32_t kMaxTypeParams = 16;
// Type names applied inside type names (Vector.<Vector.<int>>): real code nests two or
// three deep.
inline constexpr std::uint32_t kMaxTypeNesting = 32;

// A method body's stack, locals and scopes: the frame is allocated from these, so they
// are capped well below memory; compilers need tens to hundreds.
inline constexpr std::uint32_t kMaxStack = 65536;
inline constexpr std::uint32_t kMaxLocals = 65536;
inline constexpr std::uint32_t kMaxScopeDepth = 65536;

// Exception handlers of one body.
inline constexpr std::uint32_t kMaxExceptions = 65536;

} // namespace avm2::limits

namespace avm2::limits {

// Nested calls before "Error #1023: Stack overflow occurred.": each interpreted call
// takes some C++ stack, and this depth stays far inside a thread's 8 MB.
inline constexpr std::uint32_t kMaxCallDepth = 2000;

// Frame scripts one clip may register: frames of a timeline are capped by the format at
// 65,535.
inline constexpr std::uint32_t kMaxFrameScripts = 65536;

// C++ stack the nested calls of one script may take: well inside the 8 MB of a thread's
// stack, whatever the size of the interpreter's frames in this build.
inline constexpr std::size_t kMaxNativeStackBytes = 3u * 1024 * 1024;

// Calls an error's stack trace names, innermost first.
inline constexpr std::size_t kMaxStackTraceLines = 64;

// Values on the machine's frame stack, shared by every active call (locals, operand
// stacks and scope stacks): 16 bytes each.
inline constexpr std::size_t kMaxFrameValues = 1u << 20;

// Code units a native method builds into one string (String.replace): past this it
// throws "Error #1000: The system is out of memory." instead of growing one string
// to gigabytes in a single step ($& repeated over a long subject).
inline constexpr std::size_t kMaxBuiltStringUnits = 1u << 28;

} // namespace avm2::limits

namespace avm2::limits {

// One ByteArray's bytes: the reference refuses lengths past its address space; this cap
// keeps a movie's writes, length assignments and decompression well inside memory while
// leaving room for the largest real payloads (embedded assets of a few hundred MB).
inline constexpr std::uint32_t kMaxByteArrayLength = 512u * 1024 * 1024;

// Nesting of JSON.parse's arrays and objects and of JSON.stringify's values, and of the
// AMF bridge's values: each level takes a native call frame.
inline constexpr std::uint32_t kMaxJsonDepth = 1000;

// Timers (setTimeout, setInterval) pending at once; a movie that leaks intervals stops
// adding more rather than growing the queue without end.
inline constexpr std::size_t kMaxTimers = 65536;

// Elements of one Vector: its storage is dense, so new Vector.<int>(0xFFFFFFFF) would
// ask for gigabytes at once. Real programs stay far below 64 Mi elements.
inline constexpr std::uint32_t kMaxVectorLength = 1u << 26;

} // namespace avm2::limits
