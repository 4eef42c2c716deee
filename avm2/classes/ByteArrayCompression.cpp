#include "ByteArrayCompression.h"

#include <lzma.h>
#include <zlib.h>

namespace avm2 {

namespace {

bool deflateBytes(bool raw, std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out)
{
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, raw ? -15 : 15, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, static_cast<uLong>(in.size())));
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return r == Z_STREAM_END;
}

bool inflateBytes(bool raw, std::span<const std::uint8_t> in, std::size_t maxOutput,
                  std::vector<std::uint8_t>& out)
{
    z_stream z{};
    if (inflateInit2(&z, raw ? -15 : 15) != Z_OK)
        return false;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    out.clear();
    std::uint8_t buffer[65536];
    int r = Z_OK;
    while (r == Z_OK) {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        r = inflate(&z, Z_NO_FLUSH);
        const std::size_t got = sizeof buffer - z.avail_out;
        if (out.size() + got > maxOutput) {
            r = Z_MEM_ERROR;
            break;
        }
        out.insert(out.end(), buffer, buffer + got);
        if (r == Z_BUF_ERROR && z.avail_in == 0)
            break; // the input ended before the stream did
    }
    inflateEnd(&z);
    return r == Z_STREAM_END;
}

bool lzmaCompress(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& out)
{
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, LZMA_PRESET_DEFAULT))
        return false;
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&s, &options) != LZMA_OK)
        return false;
    out.resize(in.size() + in.size() / 2 + 4096);
    s.next_in = in.data();
    s.avail_in = in.size();
    s.next_out = out.data();
    s.avail_out = out.size();
    lzma_ret r = LZMA_OK;
    while (r == LZMA_OK) {
        r = lzma_code(&s, LZMA_FINISH);
        if (r == LZMA_OK && s.avail_out == 0) {
            const std::size_t done = out.size();
            out.resize(done * 2);
            s.next_out = out.data() + done;
            s.avail_out = out.size() - done;
        }
    }
    out.resize(s.total_out);
    lzma_end(&s);
    if (r != LZMA_STREAM_END || out.size() < 13)
        return false;
    // The encoder streams, so it leaves the size unknown; the format records it.
    std::uint64_t size = in.size();
    for (int i = 0; i < 8; ++i)
        out[5 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    return true;
}

bool lzmaUncompress(std::span<const std::uint8_t> in, std::size_t maxOutput,
                    std::vector<std::uint8_t>& out)
{
    if (in.size() < 13)
        return false;
    std::uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = (size << 8) | in[5 + static_cast<std::size_t>(i)];
    if (size != UINT64_MAX && size > maxOutput)
        return false;
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&s, UINT64_MAX) != LZMA_OK)
        return false;
    s.next_in = in.data();
    s.avail_in = in.size();
    out.clear();
    std::uint8_t buffer[65536];
    lzma_ret r = LZMA_OK;
    while (r == LZMA_OK) {
        s.next_out = buffer;
        s.avail_out = sizeof buffer;
        r = lzma_code(&s, s.avail_in ? LZMA_RUN : LZMA_FINISH);
        const std::size_t got = sizeof buffer - s.avail_out;
        if (out.size() + got > maxOutput) {
            r = LZMA_MEMLIMIT_ERROR;
            break;
        }
        out.insert(out.end(), buffer, buffer + got);
        if (r == LZMA_OK && got == 0 && s.avail_in == 0)
            break;
    }
    lzma_end(&s);
    return r == LZMA_STREAM_END && (size == UINT64_MAX || out.size() == size);
}

} // namespace

bool compressBytes(Compression kind, std::span<const std::uint8_t> in,
                   std::vector<std::uint8_t>& out)
{
    if (kind == Compression::Lzma)
        return lzmaCompress(in, out);
    return deflateBytes(kind == Compression::Deflate, in, out);
}

bool uncompressBytes(Compression kind, std::span<const std::uint8_t> in, std::size_t maxOutput,
                     std::vector<std::uint8_t>& out)
{
    if (kind == Compression::Lzma)
        return lzmaUncompress(in, maxOutput, out);
    return inflateBytes(kind == Compression::Deflate, in, maxOutput, out);
}

} // namespace avm2
