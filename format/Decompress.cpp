#include "Decompress.h"

#include <algorithm>
#include <libdeflate.h>
#include <lzma.h>
#include <optional>
#include <zlib.h>

namespace swf {

namespace {

constexpr std::size_t kChunk = 256 * 1024;

// Grows the output for the next chunk and says how much room the decoder gets; none
// when memory runs out.
std::size_t makeRoom(ByteBuffer& out, std::size_t used, std::size_t cap, std::size_t stopAfter)
{
    std::size_t limit = cap + 1; // one byte past the cap tells us the cap was exceeded
    if (stopAfter)
        limit = std::min(limit, stopAfter);
    // Growing by half keeps the number of moves small for large movies.
    const std::size_t want = std::min(std::max(used + kChunk, used + used / 2), limit);
    if (out.size() < want && !out.resize(want))
        return 0;
    return want - used;
}

} // namespace

namespace {

// The whole stream at once into a buffer of the expected size: several times faster
// than streaming, when the size given is right. Nothing when it is not, or when the
// stream is damaged: the streaming decoder then keeps as much as can be had.
std::optional<Decompressed> inflateWhole(std::span<const std::uint8_t> input,
                                         std::size_t expectedSize)
{
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    if (!decompressor)
        return std::nullopt;
    Decompressed result;
    if (!result.bytes.resize(expectedSize)) {
        libdeflate_free_decompressor(decompressor);
        return std::nullopt;
    }
    std::size_t read = 0, written = 0;
    const libdeflate_result status =
        libdeflate_zlib_decompress_ex(decompressor, input.data(), input.size(), result.bytes.data(),
                                      result.bytes.size(), &read, &written);
    libdeflate_free_decompressor(decompressor);
    if (status != LIBDEFLATE_SUCCESS)
        return std::nullopt;
    result.bytes.resize(written);
    result.complete = true;
    return result;
}

} // namespace

Result<Decompressed> inflateZlib(std::span<const std::uint8_t> input, std::size_t sizeHint,
                                 std::size_t cap, std::size_t stopAfter)
{
    if (sizeHint > 0 && sizeHint <= cap && (stopAfter == 0 || stopAfter >= sizeHint)) {
        if (auto whole = inflateWhole(input, sizeHint))
            return std::move(*whole);
    }
    // The two-byte zlib header is checked here and the stream inflated raw: the
    // checksum at its end would cost a sixth of the time, and damaged data is kept as
    // far as it goes anyway.
    if (input.size() < 2 || (input[0] & 0x0f) != Z_DEFLATED || (input[0] >> 4) > 7 ||
        ((input[0] << 8) | input[1]) % 31 != 0 || (input[1] & 0x20))
        return makeError(ErrorCode::DecompressionFailed, "zlib header");
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return makeError(ErrorCode::DecompressionFailed, "zlib could not start");
    Decompressed result;
    zs.next_in = const_cast<Bytef*>(input.data() + 2);
    std::size_t inputLeft = input.size() - 2;
    std::size_t used = 0;
    int status = Z_OK;
    while (true) {
        const std::size_t room = makeRoom(result.bytes, used, cap, stopAfter);
        if (room == 0)
            break;
        // zlib counts in 32-bit units; feed large inputs in slices.
        const auto inSlice = static_cast<uInt>(std::min<std::size_t>(inputLeft, 1u << 30));
        zs.avail_in = inSlice;
        zs.next_out = result.bytes.data() + used;
        zs.avail_out = static_cast<uInt>(room);
        status = inflate(&zs, Z_NO_FLUSH);
        inputLeft -= inSlice - zs.avail_in;
        used += room - zs.avail_out;
        if (status == Z_STREAM_END) {
            result.complete = true;
            break;
        }
        if (status != Z_OK && status != Z_BUF_ERROR)
            break; // damaged: keep what came out before the fault
        if (status == Z_BUF_ERROR && inputLeft == 0 && zs.avail_out != 0)
            break; // input cut short
        if (used > cap)
            break;
    }
    inflateEnd(&zs);
    if (used > cap)
        return makeError(ErrorCode::TooLarge, "uncompressed size");
    result.bytes.resize(used);
    return result;
}

Result<Decompressed> decodeLzma(std::span<const std::uint8_t> propertiesAndData,
                                std::size_t sizeHint, std::size_t cap, std::size_t stopAfter)
{
    constexpr std::size_t kPropertiesSize = 5;
    if (propertiesAndData.size() < kPropertiesSize)
        return makeError(ErrorCode::Truncated, "LZMA properties");
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, propertiesAndData.data(), kPropertiesSize) !=
        LZMA_OK)
        return makeError(ErrorCode::DecompressionFailed, "LZMA properties");
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    // A hostile dictionary size would make liblzma allocate it up front.
    const bool dictionaryOk = options && options->dict_size <= 256 * 1024 * 1024;
    lzma_stream zs = LZMA_STREAM_INIT;
    const bool started = dictionaryOk && lzma_raw_decoder(&zs, filters) == LZMA_OK;
    free(filters[0].options);
    if (!started)
        return makeError(ErrorCode::DecompressionFailed, "LZMA properties");

    Decompressed result;
    const auto data = propertiesAndData.subspan(kPropertiesSize);
    zs.next_in = data.data();
    zs.avail_in = data.size();
    std::size_t used = 0;
    while (true) {
        // The raw stream may lack an end marker: stop at the expected size when known.
        std::size_t limit = stopAfter ? stopAfter : 0;
        if (sizeHint && (!limit || sizeHint < limit))
            limit = sizeHint;
        if (limit && used >= limit) {
            result.complete = true;
            break;
        }
        std::size_t room = makeRoom(result.bytes, used, cap, stopAfter);
        if (limit)
            room = std::min(room, limit - used);
        if (room == 0)
            break;
        zs.next_out = result.bytes.data() + used;
        zs.avail_out = room;
        const lzma_ret status = lzma_code(&zs, LZMA_RUN);
        used += room - zs.avail_out;
        if (status == LZMA_STREAM_END) {
            result.complete = true;
            break;
        }
        if (status != LZMA_OK)
            break; // damaged: keep what came out before the fault
        if (zs.avail_in == 0 && zs.avail_out != 0)
            break; // input cut short
        if (used > cap)
            break;
    }
    lzma_end(&zs);
    if (used > cap)
        return makeError(ErrorCode::TooLarge, "uncompressed size");
    result.bytes.resize(used);
    return result;
}

} // namespace swf
