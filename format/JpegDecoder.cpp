#include "ImageDecoders.h"
#include "Limits.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including it
#include <jpeglib.h>
#include <string>
#include <vector>

namespace swf::image {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; its
// default ends the process. Ours jumps back to decodeInto() instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool tooManyScans = false;
};

// Everything the decoding keeps, owned by the caller of decodeInto(). No object with a
// destructor lives in decodeInto() itself, so that the jump back skips none.
struct Session {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    std::vector<JSAMPLE> row;
    Bitmap bitmap;
    Error error;
};

[[noreturn]] void onError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(errors->jump, 1);
}

// Warnings (corrupt data, data cut short) are counted by libjpeg; nothing is printed.
void onMessage(j_common_ptr) {}

void onProgress(j_common_ptr info)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > limits::kMaxJpegScans) {
        reinterpret_cast<ErrorManager*>(info->err)->tooManyScans = true;
        onError(info);
    }
}

// Some files carry an end-of-image and start-of-image pair (FF D9 FF D8) before the
// stream's own start-of-image: the old authoring tool wrote it, and the format says
// readers must accept it. The pair is dropped before libjpeg sees the stream.
std::span<const std::uint8_t> withoutErroneousHeader(std::span<const std::uint8_t> data)
{
    if (data.size() >= 4 && data[0] == 0xff && data[1] == 0xd9 && data[2] == 0xff &&
        data[3] == 0xd8)
        return data.subspan(4);
    return data;
}

void packRow(Session& s, std::uint32_t y)
{
    const JSAMPLE* in = s.row.data();
    std::uint32_t* out = s.bitmap.pixels.data() + std::size_t(y) * s.bitmap.width;
    const bool cmyk = s.info.out_color_space == JCS_CMYK;
    // Adobe's CMYK files store each ink inverted (255 is no ink); others store the ink.
    const bool inverted = s.info.saw_Adobe_marker;
    for (std::uint32_t x = 0; x < s.bitmap.width; ++x) {
        switch (s.info.out_color_components) {
        case 1:
            out[x] = packArgb(255, in[x], in[x], in[x]);
            break;
        case 3:
            out[x] = packArgb(255, in[3 * x], in[3 * x + 1], in[3 * x + 2]);
            break;
        default: {
            const JSAMPLE* p = in + 4 * x;
            auto channel = [&](int ink) {
                const int c = inverted ? p[ink] : 255 - p[ink];
                const int k = inverted ? p[3] : 255 - p[3];
                return static_cast<std::uint8_t>(c * k / 255);
            };
            out[x] = cmyk ? packArgb(255, channel(0), channel(1), channel(2))
                          : packArgb(255, p[0], p[1], p[2]);
            break;
        }
        }
    }
}

// Sizes the bitmap from the header before libjpeg allocates anything for the image.
bool allocateInto(Session& s, PixelBudget& budget, std::string_view what)
{
    auto bitmap = allocateBitmap(s.info.image_width, s.info.image_height, budget, what);
    if (!bitmap) {
        s.error = bitmap.error();
        return false;
    }
    s.bitmap = std::move(bitmap).value();
    return true;
}

// Runs libjpeg over the streams. Returns false with s.error set on failure.
bool decodeInto(Session& s, std::span<const std::uint8_t> tables,
                std::span<const std::uint8_t> data, PixelBudget& budget, std::string_view what)
{
    s.info.err = jpeg_std_error(&s.errors.base);
    s.errors.base.error_exit = onError;
    s.errors.base.output_message = onMessage;
    if (setjmp(s.errors.jump)) {
        if (s.errors.tooManyScans) {
            s.error = makeError(ErrorCode::TooLarge, std::string(what) + ": JPEG scan count");
        } else {
            char text[JMSG_LENGTH_MAX] = {};
            (*s.errors.base.format_message)(reinterpret_cast<j_common_ptr>(&s.info), text);
            s.error =
                makeError(ErrorCode::BadValue, std::string(what) + ": JPEG data (" + text + ")");
        }
        return false;
    }
    jpeg_create_decompress(&s.info);
    s.progress.progress_monitor = onProgress;
    s.info.progress = &s.progress;

    if (!tables.empty()) {
        // A tables-only stream: libjpeg keeps its quantisation and Huffman tables for
        // the image that follows. Should it hold a whole image, the image is dropped.
        jpeg_mem_src(&s.info, tables.data(), static_cast<unsigned long>(tables.size()));
        if (jpeg_read_header(&s.info, FALSE) == JPEG_HEADER_OK)
            jpeg_abort_decompress(&s.info);
    }
    // Image data often holds its own tables as a separate stream first (SOI, tables,
    // EOI, then SOI and the image): every tables-only stream is read until the image's.
    // Each takes at least four bytes of the data, so this ends.
    jpeg_mem_src(&s.info, data.data(), static_cast<unsigned long>(data.size()));
    while (jpeg_read_header(&s.info, FALSE) == JPEG_HEADER_TABLES_ONLY) {
    }

    if (!allocateInto(s, budget, what))
        return false;

    switch (s.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        s.info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        s.info.out_color_space = JCS_CMYK;
        break;
    default:
        s.info.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&s.info);
    if (s.info.output_width != s.bitmap.width || s.info.output_height != s.bitmap.height) {
        s.error = makeError(ErrorCode::BadValue, std::string(what) + ": JPEG output size");
        return false;
    }
    s.row.resize(std::size_t(s.info.output_width) * s.info.output_components);
    while (s.info.output_scanline < s.info.output_height) {
        JSAMPROW rows[1] = {s.row.data()};
        const std::uint32_t y = s.info.output_scanline;
        if (jpeg_read_scanlines(&s.info, rows, 1) != 1)
            break;
        packRow(s, y);
    }
    // A stream cut short is completed by libjpeg with a warning; the rows it invents
    // stay, as they would in a browser, but the bitmap is marked incomplete.
    s.bitmap.complete = s.errors.base.num_warnings == 0;
    return true;
}

} // namespace

Result<Bitmap> decodeJpeg(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> data,
                          PixelBudget& budget, std::string_view what)
{
    Session session;
    const bool ok = decodeInto(session, withoutErroneousHeader(tables),
                               withoutErroneousHeader(data), budget, what);
    jpeg_destroy_decompress(&session.info);
    if (!ok)
        return session.error;
    return std::move(session.bitmap);
}

} // namespace swf::image
