#include "ImageEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h uses FILE without including it
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace swfwriter {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// libjpeg's memory destination: a malloc'd buffer handed back at the end.
struct Destination {
    unsigned char* buffer = nullptr;
    unsigned long size = 0;

    std::vector<std::uint8_t> take()
    {
        std::vector<std::uint8_t> out(buffer, buffer + size);
        std::free(buffer);
        buffer = nullptr;
        size = 0;
        return out;
    }
};

// The samples of one row in the colour model asked for.
void fillRow(const Image& image, int y, JpegColor color, std::vector<JSAMPLE>& row)
{
    for (int x = 0; x < image.width; ++x) {
        const Color c = image.at(x, y);
        switch (color) {
        case JpegColor::Rgb:
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
            break;
        case JpegColor::Grayscale:
            row[x] = c.g;
            break;
        case JpegColor::Cmyk:
            // Inverted inks: stored C' = R, M' = G, Y' = B with no black ink (K' = 255).
            row[4 * x] = c.r;
            row[4 * x + 1] = c.g;
            row[4 * x + 2] = c.b;
            row[4 * x + 3] = 255;
            break;
        }
    }
}

struct Job {
    jpeg_compress_struct info{};
    ErrorManager errors{};
    Destination tables, image;
    std::vector<JSAMPLE> row;
};

// Returns false when libjpeg failed. With `split`, the tables go to job.tables and the
// image is written without them.
bool compress(Job& job, const Image& source, int quality, JpegColor color, bool split)
{
    job.info.err = jpeg_std_error(&job.errors.base);
    job.errors.base.error_exit = onError;
    if (setjmp(job.errors.jump))
        return false;
    jpeg_create_compress(&job.info);
    job.info.image_width = static_cast<JDIMENSION>(source.width);
    job.info.image_height = static_cast<JDIMENSION>(source.height);
    job.info.input_components = color == JpegColor::Rgb ? 3 : color == JpegColor::Grayscale ? 1 : 4;
    job.info.in_color_space = color == JpegColor::Rgb         ? JCS_RGB
                              : color == JpegColor::Grayscale ? JCS_GRAYSCALE
                                                              : JCS_CMYK;
    jpeg_set_defaults(&job.info);
    jpeg_set_quality(&job.info, quality, TRUE);
    if (split) {
        jpeg_mem_dest(&job.info, &job.tables.buffer, &job.tables.size);
        jpeg_write_tables(&job.info); // marks the tables as written
    }
    jpeg_mem_dest(&job.info, &job.image.buffer, &job.image.size);
    jpeg_start_compress(&job.info, split ? FALSE : TRUE);
    job.row.resize(std::size_t(source.width) * job.info.input_components);
    while (job.info.next_scanline < job.info.image_height) {
        fillRow(source, static_cast<int>(job.info.next_scanline), color, job.row);
        JSAMPROW rows[1] = {job.row.data()};
        jpeg_write_scanlines(&job.info, rows, 1);
    }
    jpeg_finish_compress(&job.info);
    return true;
}

SplitJpeg run(const Image& source, int quality, JpegColor color, bool split)
{
    Job job;
    const bool ok = compress(job, source, quality, color, split);
    jpeg_destroy_compress(&job.info);
    SplitJpeg out{job.tables.take(), job.image.take()};
    if (!ok)
        throw std::runtime_error("JPEG encoding failed");
    return out;
}

} // namespace

Image Image::filled(int width, int height, Color c)
{
    return Image{width, height, std::vector<Color>(std::size_t(width) * height, c)};
}

std::vector<std::uint8_t> encodeJpeg(const Image& image, int quality, JpegColor color)
{
    return run(image, quality, color, false).image;
}

SplitJpeg encodeJpegSplit(const Image& image, int quality)
{
    return run(image, quality, JpegColor::Rgb, true);
}

std::vector<std::uint8_t> withErroneousHeader(const std::vector<std::uint8_t>& jpeg)
{
    std::vector<std::uint8_t> out(jpeg.size() + 4);
    out[0] = 0xff;
    out[1] = 0xd9;
    out[2] = 0xff;
    out[3] = 0xd8;
    std::copy(jpeg.begin(), jpeg.end(), out.begin() + 4);
    return out;
}

} // namespace swfwriter
