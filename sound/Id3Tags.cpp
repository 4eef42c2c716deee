#include "Id3Tags.h"

#include "Limits.h"

#include <algorithm>
#include <string_view>

namespace sound {

namespace {

// The frames with a name of their own for scripts; v2.2 uses three-letter ids.
struct Alias {
    std::string_view id;
    std::string_view id22;
    std::string_view name;
};
constexpr Alias kAliases[] = {
    {"TIT2", "TT2", "songname"}, {"TPE1", "TP1", "artist"}, {"TALB", "TAL", "album"},
    {"TYER", "TYE", "year"},     {"TCON", "TCO", "genre"},  {"TRCK", "TRK", "track"},
    {"COMM", "COM", "comment"},
};

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | c >> 6);
        out += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += char(0xe0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xf0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3f));
        out += char(0x80 | (c >> 6 & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

std::string latin1(std::span<const std::uint8_t> bytes)
{
    std::string out;
    for (std::uint8_t b : bytes) {
        if (b == 0)
            break;
        appendUtf8(out, b);
    }
    return out;
}

std::string utf16(std::span<const std::uint8_t> bytes, bool bigEndian)
{
    if (bytes.size() >= 2 &&
        ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff))) {
        bigEndian = bytes[0] == 0xfe;
        bytes = bytes.subspan(2);
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit =
            bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
        if (unit == 0)
            break;
        if (unit >= 0xd800 && unit < 0xdc00 && i + 3 < bytes.size()) {
            const std::uint32_t low =
                bigEndian ? (bytes[i + 2] << 8 | bytes[i + 3]) : (bytes[i + 3] << 8 | bytes[i + 2]);
            if (low >= 0xdc00 && low < 0xe000) {
                unit = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
                i += 2;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

// A text frame's body: its encoding byte, then the text (COMM first has a language and a
// description, which scripts do not see).
std::string frameText(std::span<const std::uint8_t> body, bool comment)
{
    if (body.empty())
        return {};
    const std::uint8_t encoding = body[0];
    body = body.subspan(1);
    if (comment) {
        if (body.size() < 3)
            return {};
        body = body.subspan(3);
        // Past the description and its terminator (two zero bytes in UTF-16).
        const bool wide = encoding == 1 || encoding == 2;
        std::size_t i = 0;
        while (i < body.size()) {
            if (wide ? (i + 1 < body.size() && body[i] == 0 && body[i + 1] == 0) : body[i] == 0)
                break;
            i += wide ? 2 : 1;
        }
        body = body.subspan(std::min(body.size(), i + (wide ? 2 : 1)));
    }
    switch (encoding) {
    case 1:
        return utf16(body, false);
    case 2:
        return utf16(body, true);
    case 3: {
        const auto end = std::find(body.begin(), body.end(), std::uint8_t(0));
        return std::string(body.begin(), end);
    }
    default:
        return latin1(body);
    }
}

std::uint32_t syncSafe(std::span<const std::uint8_t> b)
{
    return std::uint32_t(b[0] & 0x7f) << 21 | std::uint32_t(b[1] & 0x7f) << 14 |
           std::uint32_t(b[2] & 0x7f) << 7 | std::uint32_t(b[3] & 0x7f);
}

void addField(Id3Fields& fields, std::string_view id, std::string text)
{
    if (fields.size() >= limits::kMaxId3Fields)
        return;
    for (const Alias& alias : kAliases) {
        if ((id == alias.id || id == alias.id22) && fields.size() + 1 < limits::kMaxId3Fields)
            fields.emplace_back(std::string(alias.name), text);
    }
    fields.emplace_back(std::string(id), std::move(text));
}

Id3Fields readVersion2(std::span<const std::uint8_t> file)
{
    Id3Fields fields;
    const int version = file[3];
    const bool extendedHeader = file[5] & 0x40;
    const std::size_t size = std::min<std::size_t>(syncSafe(file.subspan(6, 4)), file.size() - 10);
    std::span<const std::uint8_t> tag = file.subspan(10, size);
    if (extendedHeader && version >= 3 && tag.size() >= 4) {
        const std::size_t skip =
            version == 4 ? syncSafe(tag.first(4))
                         : (std::size_t(tag[0]) << 24 | tag[1] << 16 | tag[2] << 8 | tag[3]) + 4;
        tag = tag.subspan(std::min(tag.size(), skip));
    }
    const std::size_t idLength = version == 2 ? 3 : 4;
    const std::size_t headerLength = version == 2 ? 6 : 10;
    while (tag.size() >= headerLength && tag[0] != 0) {
        const std::string id(tag.begin(), tag.begin() + std::ptrdiff_t(idLength));
        std::size_t length = 0;
        if (version == 2)
            length = std::size_t(tag[3]) << 16 | tag[4] << 8 | tag[5];
        else if (version == 4)
            length = syncSafe(tag.subspan(4, 4));
        else
            length = std::size_t(tag[4]) << 24 | tag[5] << 16 | tag[6] << 8 | tag[7];
        if (length > tag.size() - headerLength)
            break;
        const auto body = tag.subspan(headerLength, length);
        const bool comment = id == "COMM" || id == "COM";
        if (id[0] == 'T' || comment)
            addField(fields, id, frameText(body, comment));
        tag = tag.subspan(headerLength + length);
    }
    return fields;
}

Id3Fields readVersion1(std::span<const std::uint8_t> file)
{
    Id3Fields fields;
    const auto tag = file.last(128);
    const auto text = [&](std::size_t at, std::size_t length) {
        std::string value = latin1(tag.subspan(at, length));
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        return value;
    };
    fields.emplace_back("songname", text(3, 30));
    fields.emplace_back("artist", text(33, 30));
    fields.emplace_back("album", text(63, 30));
    fields.emplace_back("year", text(93, 4));
    fields.emplace_back("comment", text(97, tag[125] == 0 && tag[126] != 0 ? 28 : 30));
    if (tag[125] == 0 && tag[126] != 0)
        fields.emplace_back("track", std::to_string(tag[126]));
    if (tag[127] != 0xff)
        fields.emplace_back("genre", std::to_string(tag[127]));
    return fields;
}

} // namespace

Id3Fields readId3Tags(std::span<const std::uint8_t> file)
{
    if (file.size() >= 10 && file[0] == 'I' && file[1] == 'D' && file[2] == '3' && file[3] >= 2 &&
        file[3] <= 4)
        return readVersion2(file);
    if (file.size() >= 128 && file[file.size() - 128] == 'T' && file[file.size() - 127] == 'A' &&
        file[file.size() - 126] == 'G')
        return readVersion1(file);
    return {};
}

} // namespace sound
