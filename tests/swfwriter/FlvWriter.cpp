#include "FlvWriter.h"

#include <bit>

namespace swfwriter {

void AmfWriter::putBigEndian(std::uint64_t value, int byteCount)
{
    for (int i = byteCount - 1; i >= 0; --i)
        m_bytes.push_back(std::uint8_t(value >> (8 * i)));
}

AmfWriter& AmfWriter::number(double value)
{
    m_bytes.push_back(0x00);
    putBigEndian(std::bit_cast<std::uint64_t>(value), 8);
    return *this;
}

AmfWriter& AmfWriter::boolean(bool value)
{
    m_bytes.push_back(0x01);
    m_bytes.push_back(value ? 1 : 0);
    return *this;
}

AmfWriter& AmfWriter::string(std::string_view text)
{
    const bool isLong = text.size() > 0xffff;
    m_bytes.push_back(isLong ? 0x0c : 0x02);
    putBigEndian(text.size(), isLong ? 4 : 2);
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

AmfWriter& AmfWriter::null()
{
    m_bytes.push_back(0x05);
    return *this;
}

AmfWriter& AmfWriter::undefined()
{
    m_bytes.push_back(0x06);
    return *this;
}

AmfWriter& AmfWriter::date(double msSince1970, std::int16_t timezoneMinutes)
{
    m_bytes.push_back(0x0b);
    putBigEndian(std::bit_cast<std::uint64_t>(msSince1970), 8);
    putBigEndian(std::uint16_t(timezoneMinutes), 2);
    return *this;
}

AmfWriter& AmfWriter::beginObject()
{
    m_bytes.push_back(0x03);
    return *this;
}

AmfWriter& AmfWriter::beginEcmaArray(std::uint32_t countHint)
{
    m_bytes.push_back(0x08);
    putBigEndian(countHint, 4);
    return *this;
}

AmfWriter& AmfWriter::key(std::string_view name)
{
    putBigEndian(name.size(), 2);
    m_bytes.insert(m_bytes.end(), name.begin(), name.end());
    return *this;
}

AmfWriter& AmfWriter::end()
{
    m_bytes.insert(m_bytes.end(), {0x00, 0x00, 0x09});
    return *this;
}

AmfWriter& AmfWriter::beginStrictArray(std::uint32_t count)
{
    m_bytes.push_back(0x0a);
    putBigEndian(count, 4);
    return *this;
}

AmfWriter& AmfWriter::raw(std::span<const std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

FlvWriter::FlvWriter(bool hasAudio, bool hasVideo)
{
    m_bytes = {'F', 'L', 'V', 1, std::uint8_t((hasAudio ? 4 : 0) | (hasVideo ? 1 : 0))};
    putBigEndian(9, 4);
    putBigEndian(0, 4); // the first back-pointer, before any tag
}

void FlvWriter::putBigEndian(std::uint64_t value, int byteCount)
{
    for (int i = byteCount - 1; i >= 0; --i)
        m_bytes.push_back(std::uint8_t(value >> (8 * i)));
}

FlvWriter& FlvWriter::tag(std::uint8_t typeByte, std::uint32_t ms,
                          std::span<const std::uint8_t> data, std::int64_t backPointer,
                          std::uint32_t streamId)
{
    m_bytes.push_back(typeByte);
    putBigEndian(data.size(), 3);
    putBigEndian(ms & 0xffffff, 3);
    m_bytes.push_back(std::uint8_t(ms >> 24));
    putBigEndian(streamId, 3);
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    putBigEndian(backPointer >= 0 ? std::uint64_t(backPointer) : 11 + data.size(), 4);
    return *this;
}

FlvWriter& FlvWriter::video(std::uint32_t ms, std::uint8_t frameType, std::uint8_t codecId,
                            std::span<const std::uint8_t> frame)
{
    std::vector<std::uint8_t> data{std::uint8_t(frameType << 4 | (codecId & 0x0f))};
    data.insert(data.end(), frame.begin(), frame.end());
    return tag(9, ms, data);
}

FlvWriter& FlvWriter::audio(std::uint32_t ms, std::uint8_t formatByte,
                            std::span<const std::uint8_t> payload, int aacPacketType)
{
    std::vector<std::uint8_t> data{formatByte};
    if (aacPacketType >= 0)
        data.push_back(std::uint8_t(aacPacketType));
    data.insert(data.end(), payload.begin(), payload.end());
    return tag(8, ms, data);
}

FlvWriter& FlvWriter::script(std::uint32_t ms, std::span<const std::uint8_t> amf)
{
    return tag(18, ms, amf);
}

} // namespace swfwriter
