#include "MovieHeader.h"

#include "ByteReader.h"
#include "Decompress.h"
#include "Limits.h"
#include "Records.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace swf {

namespace {

constexpr std::size_t kSignatureBlock = 8;
// The rectangle takes at most 17 bytes; rate and count 4 more.
constexpr std::size_t kMaxHeaderTail = 21;

struct Signature {
    Compression compression;
    std::uint8_t version;
    std::uint32_t declaredLength;
};

Result<Signature> readSignature(std::span<const std::uint8_t> file)
{
    if (file.size() < kSignatureBlock)
        return makeError(ErrorCode::NotAMovie, "shorter than a movie header");
    Signature sig{};
    if (std::memcmp(file.data(), "FWS", 3) == 0)
        sig.compression = Compression::None;
    else if (std::memcmp(file.data(), "CWS", 3) == 0)
        sig.compression = Compression::Zlib;
    else if (std::memcmp(file.data(), "ZWS", 3) == 0)
        sig.compression = Compression::Lzma;
    else
        return makeError(ErrorCode::NotAMovie, "signature");
    ByteReader in(file.subspan(3));
    sig.version = in.u8();
    sig.declaredLength = in.u32();
    if (sig.declaredLength > limits::kMaxMovieBytes)
        return makeError(ErrorCode::TooLarge, "declared length");
    return sig;
}

// Uncompresses the body that follows the signature block; `stopAfter` limits the
// output when only the start is wanted.
Result<Decompressed> uncompressBody(const Signature& sig, std::span<const std::uint8_t> file,
                                    std::size_t stopAfter)
{
    const auto rest = file.subspan(kSignatureBlock);
    const std::size_t hint =
        sig.declaredLength > kSignatureBlock ? sig.declaredLength - kSignatureBlock : 0;
    switch (sig.compression) {
    case Compression::None: {
        Decompressed plain;
        const std::size_t n = stopAfter ? std::min(stopAfter, rest.size()) : rest.size();
        if (n > limits::kMaxMovieBytes)
            return makeError(ErrorCode::TooLarge, "file length");
        plain.bytes = ByteBuffer::copyOf(rest.first(n));
        if (plain.bytes.size() != n)
            return makeError(ErrorCode::TooLarge, "memory for the movie");
        plain.complete = true;
        return plain;
    }
    case Compression::Zlib:
        return inflateZlib(rest, hint, limits::kMaxMovieBytes, stopAfter);
    case Compression::Lzma: {
        // ZWS: a 32-bit compressed length (not needed to decode), then the LZMA data.
        if (rest.size() < 4)
            return makeError(ErrorCode::Truncated, "LZMA header");
        return decodeLzma(rest.subspan(4), hint, limits::kMaxMovieBytes, stopAfter);
    }
    }
    return makeError(ErrorCode::NotAMovie, "compression");
}

// Fills the fields that follow the signature block, and says where the tags start.
Result<std::size_t> readHeaderTail(std::span<const std::uint8_t> body, MovieHeader& header)
{
    ByteReader in(body);
    header.stage = readRect(in);
    header.frameRate = in.u16() / 256.0;
    header.frameCount = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "movie header");
    return in.position();
}

MovieHeader headerFrom(const Signature& sig, std::size_t fileLength)
{
    MovieHeader header;
    header.fileLength = static_cast<std::uint32_t>(
        std::min<std::size_t>(fileLength, std::numeric_limits<std::uint32_t>::max()));
    header.compression = sig.compression;
    header.version = sig.version;
    header.declaredLength = sig.declaredLength;
    return header;
}

} // namespace

Result<MovieHeader> readMovieHeader(std::span<const std::uint8_t> file)
{
    auto sig = readSignature(file);
    if (!sig)
        return sig.error();
    auto start = uncompressBody(*sig, file, kMaxHeaderTail);
    if (!start)
        return start.error();
    MovieHeader header = headerFrom(*sig, file.size());
    auto tail = readHeaderTail(start->bytes, header);
    if (!tail)
        return tail.error();
    return header;
}

Result<MovieFile> decodeMovieFile(std::span<const std::uint8_t> file)
{
    auto sig = readSignature(file);
    if (!sig)
        return sig.error();
    auto body = uncompressBody(*sig, file, 0);
    if (!body)
        return body.error();
    MovieFile movie;
    movie.header = headerFrom(*sig, file.size());
    auto tail = readHeaderTail(body->bytes, movie.header);
    if (!tail)
        return tail.error();
    movie.tagsOffset = *tail;
    movie.complete = body->complete;
    movie.body = std::make_shared<const ByteBuffer>(std::move(body->bytes));
    return movie;
}

} // namespace swf
