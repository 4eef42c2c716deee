#include "ImageDecoders.h"
#include "Limits.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <string>
#include <vector>

namespace swf::image {

namespace {

struct MemoryInput {
    std::span<const std::uint8_t> data;
    std::size_t position = 0;
};

int readInput(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* input = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t left = input->data.size() - input->position;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max(length, 0)));
    std::memcpy(buffer, input->data.data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifPtr = std::unique_ptr<GifFileType, GifCloser>;

Error gifError(int code, std::string_view what)
{
    const char* text = GifErrorString(code);
    return makeError(ErrorCode::BadValue,
                     std::string(what) + ": GIF data (" + (text ? text : "unknown error") + ")");
}

// Reads records up to the first image's descriptor; the transparent colour of a
// graphic control extension before it is kept. -1: no transparent colour.
Status findFirstImage(GifFileType* gif, int& transparentIndex, std::string_view what)
{
    transparentIndex = -1;
    while (true) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            return gifError(gif->Error, what);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) == GIF_OK ? Status(Ok{}) : gifError(gif->Error, what);
        if (type == TERMINATE_RECORD_TYPE)
            return makeError(ErrorCode::BadValue, std::string(what) + ": GIF data without image");
        if (type != EXTENSION_RECORD_TYPE)
            return gifError(D_GIF_ERR_WRONG_RECORD, what);
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) != GIF_OK)
            return gifError(gif->Error, what);
        GraphicsControlBlock control{};
        if (code == GRAPHICS_EXT_FUNC_CODE && block &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            transparentIndex = control.TransparentColor;
        while (block) {
            if (DGifGetExtensionNext(gif, &block) != GIF_OK)
                return gifError(gif->Error, what);
        }
    }
}

} // namespace

Result<Bitmap> decodeGif(std::span<const std::uint8_t> data, PixelBudget& budget,
                         std::string_view what)
{
    MemoryInput input{data};
    int openError = 0;
    GifPtr gif(DGifOpen(&input, readInput, &openError));
    if (!gif)
        return gifError(openError, what);
    int transparentIndex = -1;
    if (auto found = findFirstImage(gif.get(), transparentIndex, what); !found)
        return found.error();

    const GifImageDesc& frame = gif->Image;
    if (frame.Left < 0 || frame.Top < 0 || frame.Width < 0 || frame.Height < 0 ||
        std::uint32_t(frame.Width) > limits::kMaxBitmapSide ||
        std::uint32_t(frame.Height) > limits::kMaxBitmapSide)
        return makeError(ErrorCode::TooLarge, std::string(what) + ": GIF image size");
    // A logical screen of zero size is taken to be the image's own extent.
    std::uint32_t width = std::uint32_t(gif->SWidth);
    std::uint32_t height = std::uint32_t(gif->SHeight);
    if (width == 0 || height == 0) {
        width = std::uint32_t(frame.Left + frame.Width);
        height = std::uint32_t(frame.Top + frame.Height);
    }
    auto bitmap = allocateBitmap(width, height, budget, what);
    if (!bitmap)
        return bitmap.error();
    if (frame.Width == 0 || frame.Height == 0)
        return bitmap;
    const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!colors)
        return makeError(ErrorCode::BadValue, std::string(what) + ": GIF colour table");

    // Interlaced images come in four passes over the rows.
    static constexpr int kPassStart[] = {0, 4, 2, 1};
    static constexpr int kPassStep[] = {8, 8, 4, 2};
    const int passes = frame.Interlace ? 4 : 1;
    std::vector<GifPixelType> line(std::size_t(frame.Width));
    for (int pass = 0; pass < passes; ++pass) {
        const int start = frame.Interlace ? kPassStart[pass] : 0;
        const int step = frame.Interlace ? kPassStep[pass] : 1;
        for (int row = start; row < frame.Height; row += step) {
            if (DGifGetLine(gif.get(), line.data(), frame.Width) != GIF_OK) {
                // Data cut short: the rows read so far stay, the rest is transparent.
                bitmap->complete = false;
                return bitmap;
            }
            const std::uint32_t y = std::uint32_t(frame.Top + row);
            if (y >= height)
                continue;
            std::uint32_t* out = bitmap->pixels.data() + std::size_t(y) * width;
            for (int column = 0; column < frame.Width; ++column) {
                const std::uint32_t x = std::uint32_t(frame.Left + column);
                const int index = line[std::size_t(column)];
                // Indexes past the colour table draw nothing, like the transparent one.
                if (x >= width || index == transparentIndex || index >= colors->ColorCount)
                    continue;
                const GifColorType& c = colors->Colors[index];
                out[x] = packArgb(255, c.Red, c.Green, c.Blue);
            }
        }
    }
    return bitmap;
}

} // namespace swf::image
