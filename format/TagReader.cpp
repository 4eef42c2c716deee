#include "TagReader.h"

#include "ByteReader.h"
#include "TagCodes.h"

namespace swf {

std::string_view tagName(std::uint16_t code)
{
    switch (code) {
#define SWF_TAG_NAME(name, value)                                                                  \
    case value:                                                                                    \
        return #name;
        SWF_TAG_LIST(SWF_TAG_NAME)
#undef SWF_TAG_NAME
    }
    return "Unknown";
}

std::optional<TagRecord> TagReader::next()
{
    if (m_truncated || m_pos >= m_data.size())
        return std::nullopt;
    ByteReader in(m_data.subspan(m_pos));
    const std::uint16_t codeAndLength = in.u16();
    std::uint32_t length = codeAndLength & 0x3f;
    if (length == 0x3f)
        length = in.u32();
    if (!in.ok() || length > in.remaining()) {
        // A header cut short, or a length past the end: what was read so far stands.
        m_truncated = true;
        return std::nullopt;
    }
    TagRecord record;
    record.code = codeAndLength >> 6;
    record.offset = m_pos;
    record.body = in.take(length);
    m_pos += in.position();
    return record;
}

} // namespace swf
