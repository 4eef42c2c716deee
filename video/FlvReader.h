#pragma once

// FLV files: header, tags, the audio and video tag headers, script data and a keyframe
// index. The host reads the whole file; everything here points into its bytes, which
// must outlive what is read from them.
#include "format/Result.h"
#include "script/amf/AmfDocument.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace video::flv {

struct FileHeader {
    std::uint8_t version = 0;
    bool hasAudio = false;
    bool hasVideo = false;
    std::uint32_t dataOffset = 0;
};

enum class TagType : std::uint8_t { Audio = 8, Video = 9, ScriptData = 18 };

enum class FrameType : std::uint8_t {
    Keyframe = 1,
    Inter = 2,
    DisposableInter = 3,
    GeneratedKeyframe = 4,
    Command = 5, // video info or command frame: no picture
};

struct VideoTagHeader {
    FrameType frameType = FrameType::Keyframe;
    std::uint8_t codecId = 0;
};

struct AudioTagHeader {
    std::uint8_t format = 0;    // 10 is AAC
    std::uint8_t rateIndex = 0; // 5.5, 11, 22, 44 kHz
    bool sixteenBit = false;
    bool stereo = false;
    /// AAC only: 0 the sequence header (AudioSpecificConfig), 1 raw frames.
    std::optional<std::uint8_t> aacPacketType;
};

struct Tag {
    TagType type = TagType::Audio;
    /// Milliseconds, the 24 bits and the extended byte above them.
    std::uint32_t timestampMs = 0;
    std::uint32_t streamId = 0;
    /// Where the tag's header starts in the file.
    std::size_t fileOffset = 0;
    /// The tag's data after its audio or video header: for video what the stream
    /// decoders take with Framing::FlvTag; for script data the AMF 0 body.
    std::span<const std::uint8_t> payload;
    VideoTagHeader video;
    AudioTagHeader audio;
};

struct ScriptEvent {
    std::uint32_t timestampMs = 0;
    std::string name; // onMetaData, onCuePoint, ...
    // The tag's values as read; `argument` is the one after the name (node 0, which is
    // undefined, when the tag has none).
    script::amf::Document values;
    script::amf::NodeId argument = 0;

    // The value of the argument's member `memberName`, or null.
    const script::amf::Node* member(std::string_view memberName) const;
};

struct Keyframe {
    std::uint32_t timeMs = 0;
    std::size_t tagIndex = 0; // into FlvFile::tags
};

struct FlvFile {
    FileHeader header;
    std::vector<Tag> tags; // audio, video and script data, in file order
    std::vector<ScriptEvent> scripts;
    std::vector<Keyframe> keyframes; // by time
    bool keyframesFromMetadata = false;
    /// What was wrong but could be read past, one line each: a cut-off end, a wrong
    /// back-pointer, unknown or encrypted tags, script data that did not parse.
    std::vector<std::string> diagnostics;

    /// The onMetaData event, or null.
    const ScriptEvent* metadata() const;
};

/// Reads a whole file. It fails when the header is not FLV's, when the first tag is
/// damaged, or past the caps of Limits.h; damage further on ends the tags there, with a
/// diagnostic.
swf::Result<FlvFile> readFlv(std::span<const std::uint8_t> bytes);

/// The header alone (for telling an FLV from other files).
swf::Result<FileHeader> readFileHeader(std::span<const std::uint8_t> bytes);

} // namespace video::flv
