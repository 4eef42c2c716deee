#include "FlvReader.h"

#include "Limits.h"
#include "script/BigEndian.h"
#include "script/amf/AmfCodec.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace video::flv {

namespace {

using swf::ErrorCode;
using swf::makeError;

constexpr std::size_t kTagHeaderBytes = 11;
constexpr std::size_t kBackPointerBytes = 4;
constexpr std::uint8_t kAacFormat = 10;
constexpr std::uint8_t kAvcCodec = 7;

std::string at(std::size_t offset)
{
    return " at byte " + std::to_string(offset);
}

// Keeps the first problems; the rest are counted and reported in one line at the end.
struct Diagnostics {
    std::vector<std::string>& lines;
    std::size_t dropped = 0;
    std::string last;
    void add(std::string line)
    {
        last = line;
        if (lines.size() < limits::kMaxFlvDiagnostics)
            lines.push_back(std::move(line));
        else
            ++dropped;
    }
};

// The tag's own header: audio and video tags start with one (AAC one byte more).
bool readMediaHeader(Tag& tag, std::span<const std::uint8_t> data, std::string& problem)
{
    if (data.empty()) {
        problem = "empty media tag";
        return false;
    }
    if (tag.type == TagType::Audio) {
        tag.audio.format = data[0] >> 4;
        tag.audio.rateIndex = (data[0] >> 2) & 3;
        tag.audio.sixteenBit = (data[0] & 2) != 0;
        tag.audio.stereo = (data[0] & 1) != 0;
        std::size_t header = 1;
        if (tag.audio.format == kAacFormat) {
            if (data.size() < 2) {
                problem = "AAC tag without its packet type";
                return false;
            }
            tag.audio.aacPacketType = data[1];
            header = 2;
        }
        tag.payload = data.subspan(header);
        return true;
    }
    const std::uint8_t frameType = data[0] >> 4;
    if (frameType < 1 || frameType > 5) {
        problem = "video frame type " + std::to_string(frameType);
        return false;
    }
    tag.video.frameType = FrameType(frameType);
    tag.video.codecId = data[0] & 0x0f;
    tag.payload = data.subspan(1);
    return true;
}

void readScript(FlvFile& file, const Tag& tag, Diagnostics& diagnostics, std::size_t& budget)
{
    ScriptEvent event;
    event.timestampMs = tag.timestampMs;
    // The values of all tags share the file's budget; node 0 of each tag's document is
    // no value of the tag's.
    const script::amf::ReadOptions options{
        .maxNesting = limits::kMaxAmfDepth, .maxValues = budget + 1, .dataEndClosesObjects = true};
    std::vector<script::amf::NodeId> values;
    script::BigEndianReader in(tag.payload);
    while (in.ok() && in.remaining() > 0) {
        auto value = script::amf::readAmf0(event.values, in, options);
        if (!value) {
            budget -= event.values.size() - 1;
            diagnostics.add("script data" + at(tag.fileOffset) + ": " + value.error().message());
            return;
        }
        values.push_back(*value);
    }
    budget -= event.values.size() - 1;
    if (values.empty() || event.values[values.front()].kind != script::amf::Kind::String) {
        diagnostics.add("script data without an event name" + at(tag.fileOffset));
        return;
    }
    event.name = event.values[values.front()].text;
    if (values.size() > 1)
        event.argument = values[1];
    file.scripts.push_back(std::move(event));
}

bool isVideoKeyframe(const Tag& tag)
{
    if (tag.type != TagType::Video)
        return false;
    if (tag.video.frameType != FrameType::Keyframe &&
        tag.video.frameType != FrameType::GeneratedKeyframe)
        return false;
    // An H.264 configuration record is marked a keyframe but holds no picture.
    if (tag.video.codecId == kAvcCodec && (tag.payload.empty() || tag.payload[0] != 1))
        return false;
    return true;
}

// The metadata's index (`keyframes.times` in seconds, `keyframes.filepositions` in
// bytes), used only when every position is the start of a keyframe tag of this file.
bool indexFromMetadata(FlvFile& file)
{
    const ScriptEvent* metadata = file.metadata();
    const script::amf::Node* keyframes = metadata ? metadata->member("keyframes") : nullptr;
    if (!keyframes)
        return false;
    const script::amf::Document& doc = metadata->values;
    auto arrayOf = [&](const char* name) -> const script::amf::Node* {
        const script::amf::Member* m = script::amf::findMember(*keyframes, name);
        const script::amf::Node* node = m ? &doc[m->value] : nullptr;
        return node && node->kind == script::amf::Kind::Array && node->strictArray ? node : nullptr;
    };
    const script::amf::Node* times = arrayOf("times");
    const script::amf::Node* positions = arrayOf("filepositions");
    auto reject = [&](const char* why) {
        file.diagnostics.push_back(std::string("the metadata's keyframe index is ignored: ") + why);
        return false;
    };
    if (!times || !positions || times->elements.size() != positions->elements.size())
        return reject("times and positions do not match");
    std::vector<Keyframe> index;
    for (std::size_t i = 0; i < positions->elements.size(); ++i) {
        const script::amf::Node& position = doc[positions->elements[i]];
        const script::amf::Node& time = doc[times->elements[i]];
        if (position.kind != script::amf::Kind::Number || time.kind != script::amf::Kind::Number ||
            !(position.number >= 0) || !(position.number < double(SIZE_MAX)) || !(time.number >= 0))
            return reject("an entry is not a number");
        const std::size_t offset = std::size_t(position.number);
        const auto tag =
            std::lower_bound(file.tags.begin(), file.tags.end(), offset,
                             [](const Tag& t, std::size_t value) { return t.fileOffset < value; });
        if (tag == file.tags.end() || tag->fileOffset != offset || !isVideoKeyframe(*tag))
            return reject("a position is not a keyframe");
        const auto tagIndex = std::size_t(tag - file.tags.begin());
        if (!index.empty() && tagIndex <= index.back().tagIndex)
            return reject("positions go backwards");
        index.push_back({tag->timestampMs, tagIndex});
    }
    file.keyframes = std::move(index);
    return true;
}

void indexFromTags(FlvFile& file)
{
    for (std::size_t i = 0; i < file.tags.size(); ++i)
        if (isVideoKeyframe(file.tags[i]))
            file.keyframes.push_back({file.tags[i].timestampMs, i});
}

} // namespace

const script::amf::Node* ScriptEvent::member(std::string_view memberName) const
{
    const script::amf::Member* m = script::amf::findMember(values[argument], memberName);
    return m ? &values[m->value] : nullptr;
}

const ScriptEvent* FlvFile::metadata() const
{
    for (const ScriptEvent& event : scripts)
        if (event.name == "onMetaData")
            return &event;
    return nullptr;
}

swf::Result<FileHeader> readFileHeader(std::span<const std::uint8_t> bytes)
{
    script::BigEndianReader in(bytes);
    const std::uint32_t signature = in.u24();
    FileHeader header;
    header.version = in.u8();
    const std::uint8_t flags = in.u8();
    header.dataOffset = in.u32();
    if (!in.ok() || signature != 0x464c56) // "FLV"
        return makeError(ErrorCode::NotAMovie, "not an FLV file");
    if (header.version != 1)
        return makeError(ErrorCode::Unsupported, "FLV version " + std::to_string(header.version));
    header.hasAudio = (flags & 0x04) != 0;
    header.hasVideo = (flags & 0x01) != 0;
    if (header.dataOffset < 9 || header.dataOffset > bytes.size())
        return makeError(ErrorCode::BadValue, "FLV data offset");
    return header;
}

swf::Result<FlvFile> readFlv(std::span<const std::uint8_t> bytes)
{
    auto header = readFileHeader(bytes);
    if (!header)
        return header.error();
    FlvFile file;
    file.header = *header;
    Diagnostics diagnostics{file.diagnostics, 0, {}};
    std::size_t valueBudget = limits::kMaxAmfValues;
    std::size_t pos = file.header.dataOffset;
    std::size_t backPointerMismatches = 0;
    std::uint32_t expectedBack = 0;
    bool damaged = false;
    while (true) {
        if (pos == bytes.size()) {
            // The file stops right after a tag; everything in it was read.
            diagnostics.add("the file ends without its last tag size");
            break;
        }
        if (bytes.size() - pos < kBackPointerBytes) {
            diagnostics.add("the file ends inside a tag size" + at(pos));
            damaged = true;
            break;
        }
        script::BigEndianReader back(bytes.subspan(pos, kBackPointerBytes));
        // A wrong back-pointer harms no forward reading; it is reported, not fatal.
        if (back.u32() != expectedBack && backPointerMismatches++ == 0)
            diagnostics.add("previous tag size does not match" + at(pos));
        pos += kBackPointerBytes;
        if (pos == bytes.size())
            break;
        if (bytes.size() - pos < kTagHeaderBytes) {
            diagnostics.add("the file ends inside a tag header" + at(pos));
            damaged = true;
            break;
        }
        script::BigEndianReader in(bytes.subspan(pos, kTagHeaderBytes));
        const std::uint8_t typeByte = in.u8();
        const std::uint32_t dataSize = in.u24();
        const std::uint32_t low = in.u24();
        const std::uint32_t high = in.u8();
        const std::uint32_t streamId = in.u24();
        if (dataSize > bytes.size() - pos - kTagHeaderBytes) {
            diagnostics.add("a tag runs past the end of the file" + at(pos));
            damaged = true;
            break;
        }
        if (file.tags.size() >= limits::kMaxFlvTags)
            return makeError(ErrorCode::TooLarge, "FLV tag count");
        const auto data = bytes.subspan(pos + kTagHeaderBytes, dataSize);
        Tag tag;
        tag.fileOffset = pos;
        tag.timestampMs = high << 24 | low;
        tag.streamId = streamId;
        const std::uint8_t type = typeByte & 0x1f;
        std::string problem;
        if (typeByte & 0x20) {
            problem = "encrypted tag skipped";
        } else if (type == std::uint8_t(TagType::Audio) || type == std::uint8_t(TagType::Video)) {
            tag.type = TagType(type);
            readMediaHeader(tag, data, problem);
        } else if (type == std::uint8_t(TagType::ScriptData)) {
            tag.type = TagType::ScriptData;
            tag.payload = data;
        } else {
            problem = "unknown tag type " + std::to_string(type) + " skipped";
        }
        if (problem.empty()) {
            file.tags.push_back(tag);
            if (tag.type == TagType::ScriptData)
                readScript(file, tag, diagnostics, valueBudget);
        } else {
            diagnostics.add(problem + at(pos));
        }
        pos += kTagHeaderBytes + dataSize;
        expectedBack = std::uint32_t(kTagHeaderBytes + dataSize);
    }
    if (backPointerMismatches > 1)
        diagnostics.add(std::to_string(backPointerMismatches) + " previous tag sizes do not match");
    if (diagnostics.dropped > 0)
        file.diagnostics.push_back("and " + std::to_string(diagnostics.dropped) + " more problems");
    if (damaged && file.tags.empty())
        return makeError(ErrorCode::Truncated, "FLV: " + diagnostics.last);
    file.keyframesFromMetadata = indexFromMetadata(file);
    if (!file.keyframesFromMetadata)
        indexFromTags(file);
    return file;
}

} // namespace video::flv
