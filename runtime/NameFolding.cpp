#include "NameFolding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace runtime {

namespace {

// Letters first..last (every stride-th one) fold to the letter `delta` away. Made by
// tools/gen-name-folding; ASCII is handled before the table.
struct FoldRun {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    std::uint8_t stride;
};

constexpr FoldRun kFoldRuns[] = {
    {0x00C0, 0x00D6, 32, 1},    {0x00D8, 0x00DE, 32, 1},    {0x0100, 0x012E, 1, 2},
    {0x0132, 0x0136, 1, 2},     {0x0139, 0x0147, 1, 2},     {0x014A, 0x0176, 1, 2},
    {0x0178, 0x0178, -121, 1},  {0x0179, 0x017D, 1, 2},     {0x0181, 0x0181, 210, 1},
    {0x0182, 0x0184, 1, 2},     {0x0186, 0x0186, 206, 1},   {0x0187, 0x0187, 1, 1},
    {0x0189, 0x018A, 205, 1},   {0x018B, 0x018B, 1, 1},     {0x018E, 0x018E, 79, 1},
    {0x018F, 0x018F, 202, 1},   {0x0190, 0x0190, 203, 1},   {0x0191, 0x0191, 1, 1},
    {0x0193, 0x0193, 205, 1},   {0x0194, 0x0194, 207, 1},   {0x0196, 0x0196, 211, 1},
    {0x0197, 0x0197, 209, 1},   {0x0198, 0x0198, 1, 1},     {0x019C, 0x019C, 211, 1},
    {0x019D, 0x019D, 213, 1},   {0x019F, 0x019F, 214, 1},   {0x01A0, 0x01A4, 1, 2},
    {0x01A6, 0x01A6, 218, 1},   {0x01A7, 0x01A7, 1, 1},     {0x01A9, 0x01A9, 218, 1},
    {0x01AC, 0x01AC, 1, 1},     {0x01AE, 0x01AE, 218, 1},   {0x01AF, 0x01AF, 1, 1},
    {0x01B1, 0x01B2, 217, 1},   {0x01B3, 0x01B5, 1, 2},     {0x01B7, 0x01B7, 219, 1},
    {0x01B8, 0x01B8, 1, 1},     {0x01BC, 0x01BC, 1, 1},     {0x01C4, 0x01C4, 2, 1},
    {0x01C5, 0x01C5, 1, 1},     {0x01C7, 0x01C7, 2, 1},     {0x01C8, 0x01C8, 1, 1},
    {0x01CA, 0x01CA, 2, 1},     {0x01CB, 0x01DB, 1, 2},     {0x01DE, 0x01EE, 1, 2},
    {0x01F1, 0x01F1, 2, 1},     {0x01F2, 0x01F4, 1, 2},     {0x01F6, 0x01F6, -97, 1},
    {0x01F7, 0x01F7, -56, 1},   {0x01F8, 0x021E, 1, 2},     {0x0220, 0x0220, -130, 1},
    {0x0222, 0x0232, 1, 2},     {0x0386, 0x0386, 38, 1},    {0x0388, 0x038A, 37, 1},
    {0x038C, 0x038C, 64, 1},    {0x038E, 0x038F, 63, 1},    {0x0391, 0x03A1, 32, 1},
    {0x03A3, 0x03AB, 32, 1},    {0x03D8, 0x03EE, 1, 2},     {0x03F4, 0x03F4, -60, 1},
    {0x0400, 0x040F, 80, 1},    {0x0410, 0x042F, 32, 1},    {0x0460, 0x0480, 1, 2},
    {0x048A, 0x04BE, 1, 2},     {0x04C1, 0x04CD, 1, 2},     {0x04D0, 0x04F4, 1, 2},
    {0x04F8, 0x04F8, 1, 1},     {0x0500, 0x050E, 1, 2},     {0x0531, 0x0556, 48, 1},
    {0x1E00, 0x1E94, 1, 2},     {0x1EA0, 0x1EF8, 1, 2},     {0x1F08, 0x1F0F, -8, 1},
    {0x1F18, 0x1F1D, -8, 1},    {0x1F28, 0x1F2F, -8, 1},    {0x1F38, 0x1F3F, -8, 1},
    {0x1F48, 0x1F4D, -8, 1},    {0x1F59, 0x1F5F, -8, 2},    {0x1F68, 0x1F6F, -8, 1},
    {0x1F88, 0x1F8F, -8, 1},    {0x1F98, 0x1F9F, -8, 1},    {0x1FA8, 0x1FAF, -8, 1},
    {0x1FB8, 0x1FB9, -8, 1},    {0x1FBA, 0x1FBB, -74, 1},   {0x1FBC, 0x1FBC, -9, 1},
    {0x1FC8, 0x1FCB, -86, 1},   {0x1FCC, 0x1FCC, -9, 1},    {0x1FD8, 0x1FD9, -8, 1},
    {0x1FDA, 0x1FDB, -100, 1},  {0x1FE8, 0x1FE9, -8, 1},    {0x1FEA, 0x1FEB, -112, 1},
    {0x1FEC, 0x1FEC, -7, 1},    {0x1FF8, 0x1FF9, -128, 1},  {0x1FFA, 0x1FFB, -126, 1},
    {0x1FFC, 0x1FFC, -9, 1},    {0x2126, 0x2126, -7517, 1}, {0x212A, 0x212A, -8383, 1},
    {0x212B, 0x212B, -8262, 1}, {0x2160, 0x216F, 16, 1},    {0x24B6, 0x24CF, 26, 1},
    {0xFF21, 0xFF3A, 32, 1},
};

// One code point of well-formed UTF-8 at `at`, or nothing (0 bytes).
struct Decoded {
    char32_t c = 0;
    std::size_t bytes = 0;
};

Decoded decodeAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else {
        return {};
    }
    if (at + length > text.size())
        return {};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return {};
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms and surrogates are not letters: they stay as they are.
    if ((length == 3 && c < 0x800) || (c >= 0xD800 && c <= 0xDFFF))
        return {};
    return {c, length};
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t foldNameLetter(char32_t c)
{
    if (c < 0x80)
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    const auto run = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                                      [](char32_t x, const FoldRun& r) { return x < r.first; });
    if (run == std::begin(kFoldRuns))
        return c;
    const FoldRun& r = *std::prev(run);
    if (c > r.last || (c - r.first) % r.stride != 0)
        return c;
    return static_cast<char32_t>(static_cast<std::int32_t>(c) + r.delta);
}

bool isAsciiText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string foldedName(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            out += static_cast<char>(foldNameLetter(lead));
            ++at;
            continue;
        }
        const Decoded d = decodeAt(text, at);
        if (d.bytes == 0) {
            // Not UTF-8 here: the byte is kept, and so is the rest of a longer
            // sequence, which the next steps copy as they come.
            out += static_cast<char>(lead);
            ++at;
            continue;
        }
        appendUtf8(out, foldNameLetter(d.c));
        at += d.bytes;
    }
    return out;
}

} // namespace runtime
