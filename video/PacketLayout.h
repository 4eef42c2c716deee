#pragma once

// Where the coded picture starts inside one frame's bytes: the wrappers the two
// containers put around each coding.
#include "VideoDecoder.h"

#include <cstdint>
#include <optional>
#include <span>

namespace video {

struct CodedPacket {
    /// The bytes libavcodec's decoder for the coding expects.
    std::span<const std::uint8_t> payload;
    /// FLV's VP6 crop: pixels to take off the right and the bottom of the coded size.
    std::uint8_t cropRight = 0;
    std::uint8_t cropBottom = 0;
};

/// AVC packet types of FLV's H.264 tags.
enum class AvcPacketType : std::uint8_t { SequenceHeader = 0, Nalu = 1, EndOfSequence = 2 };

/// Unwraps one frame; nothing when the wrapper itself is cut short. VP6 with alpha keeps
/// its 24-bit alpha offset in front, as the decoder reads it; H.264 keeps its type byte
/// and composition time in front (see avcPacketType()).
std::optional<CodedPacket> unwrapPacket(Codec codec, Framing framing,
                                        std::span<const std::uint8_t> packet);

/// The type of an H.264 packet, nothing when it is too short to hold one.
std::optional<AvcPacketType> avcPacketType(std::span<const std::uint8_t> packet);
/// The NAL units' bytes of an H.264 packet, after type byte and composition time.
std::span<const std::uint8_t> avcPayload(std::span<const std::uint8_t> packet);

} // namespace video
