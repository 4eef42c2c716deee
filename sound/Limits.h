#pragma once

#include <cstddef>
#include <cstdint>

// The sound library's caps on what a movie may ask of it, each with its reason.
namespace sound::limits {

// The mixer's output: every source is converted to this before it is mixed.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// Decoded frames one event sound may hold: 2^25 frames is over twelve minutes at
// 44.1 kHz (128 MiB as 16-bit stereo), far above a button click or a loop.
inline constexpr std::size_t kMaxDecodedFrames = std::size_t(1) << 25;

// Frames one stream block may add; a block covers one movie frame, which at the lowest
// sensible frame rate (1 fps) and 44.1 kHz is 44,100 frames.
inline constexpr std::size_t kMaxStreamBlockFrames = 1 << 17;
// Decoded frames a stream may hold waiting to be played: ten seconds at 44.1 kHz, so a
// movie whose blocks come faster than they play cannot grow the queue without bound.
inline constexpr std::size_t kMaxQueuedStreamFrames = 441000;

// Voices mixed at once. The mix costs a little per voice; 256 is far above the handful a
// movie plays, and a movie that starts a sound every frame meets it instead of growing.
inline constexpr std::size_t kMaxVoices = 256;

// Ended voices the mixer remembers for takeEnded(); a host that never asks would
// otherwise keep one entry for every sound ever played.
inline constexpr std::size_t kMaxEndedKept = 1024;

// Envelope points of one SoundInfo: the count field is 8 bits wide.
inline constexpr std::size_t kMaxEnvelopePoints = 255;

// Loops of one event sound: the field is 16 bits wide, so this is the format's own cap.
inline constexpr std::uint32_t kMaxLoops = 65535;

// Compressed bytes fed to the decoder at once; packets are split to this size so one
// call never decodes minutes of sound into a scratch frame.
inline constexpr std::size_t kMaxPacketBytes = 1 << 16;

// Decode calls one sound may take: each yields at least one codec frame, so this bounds
// a stream of packets that decode to nothing.
inline constexpr std::size_t kMaxDecodeCalls = 1 << 20;

// Fields kept from one file's ID3 tag: more than any real tag has, so a tag made of many
// tiny frames gives scripts no more than this.
inline constexpr std::size_t kMaxId3Fields = 256;

} // namespace sound::limits
