#pragma once

// FLV files and their AMF0 script data, for the video tests and the fuzzer's seeds. The
// writer lays out what it is told, right or wrong: tests damage files through raw().
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace swfwriter {

// AMF0 values, appended in order. Objects and ECMA arrays are opened, filled with
// key()/value pairs, and closed; a strict array is opened with its count, then its
// values follow.
class AmfWriter {
public:
    AmfWriter& number(double value);
    AmfWriter& boolean(bool value);
    AmfWriter& string(std::string_view text); // the long form past 65535 bytes
    AmfWriter& null();
    AmfWriter& undefined();
    AmfWriter& date(double msSince1970, std::int16_t timezoneMinutes = 0);
    AmfWriter& beginObject();
    AmfWriter& beginEcmaArray(std::uint32_t countHint);
    AmfWriter& key(std::string_view name);
    AmfWriter& end(); // of an object or ECMA array
    AmfWriter& beginStrictArray(std::uint32_t count);
    AmfWriter& raw(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    void putBigEndian(std::uint64_t value, int byteCount);
    std::vector<std::uint8_t> m_bytes;
};

class FlvWriter {
public:
    explicit FlvWriter(bool hasAudio = true, bool hasVideo = true);

    // Where the next tag's header will start.
    std::size_t position() const { return m_bytes.size(); }

    // A video tag: frame type (1 keyframe, 2 inter, 3 disposable, 5 command), codec id,
    // then the coded frame as the FLV wrapper of its coding holds it.
    FlvWriter& video(std::uint32_t ms, std::uint8_t frameType, std::uint8_t codecId,
                     std::span<const std::uint8_t> frame);
    // An audio tag: the SoundFormat byte, the AAC packet type for format 10, the data.
    FlvWriter& audio(std::uint32_t ms, std::uint8_t formatByte, std::span<const std::uint8_t> data,
                     int aacPacketType = -1);
    FlvWriter& script(std::uint32_t ms, std::span<const std::uint8_t> amf);
    // Any tag type byte with its data; the back-pointer after it is `backPointer` when
    // not negative, else the right one.
    FlvWriter& tag(std::uint8_t typeByte, std::uint32_t ms, std::span<const std::uint8_t> data,
                   std::int64_t backPointer = -1, std::uint32_t streamId = 0);

    std::vector<std::uint8_t>& raw() { return m_bytes; }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    void putBigEndian(std::uint64_t value, int byteCount);
    std::vector<std::uint8_t> m_bytes;
};

} // namespace swfwriter
