#pragma once

// Decoded planes to the premultiplied 0xAARRGGBB pictures the renderer draws.
#include <cstdint>

namespace video {

/// 4:2:0 planes: `u`, `v` (and `a` when set) as the decoder left them; chroma rows and
/// columns cover two of luma's.
struct YuvPlanes {
    const std::uint8_t* y = nullptr;
    const std::uint8_t* u = nullptr;
    const std::uint8_t* v = nullptr;
    const std::uint8_t* a = nullptr; // null: opaque
    int yStride = 0;
    int uStride = 0;
    int vStride = 0;
    int aStride = 0;
};

/// Whether luma runs 16..235 (broadcast range, what the video codings of the era code)
/// or 0..255 (an H.264 stream flagged full-range).
enum class YuvRange : std::uint8_t { Limited, Full };

/// BT.601 conversion of the top-left `width` x `height` pixels into `out`, row after row.
void convertYuv420(const YuvPlanes& planes, YuvRange range, std::uint32_t width,
                   std::uint32_t height, std::uint32_t* out);

/// Packed 8-bit blue, green, red rows (Screen Video's decoders) into opaque pixels.
void convertBgr24(const std::uint8_t* rows, int stride, std::uint32_t width, std::uint32_t height,
                  std::uint32_t* out);

} // namespace video
