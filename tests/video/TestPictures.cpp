#include "TestPictures.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pictures {

namespace {

int channel(std::uint32_t rgb, int shift)
{
    return int((rgb >> shift) & 0xff);
}

// BT.601, broadcast range: the conversion the decoders' output is read back with.
void toYuv(const Image& image, AVFrame& frame)
{
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint32_t c = image.at(x, y);
            const double r = channel(c, 16), g = channel(c, 8), b = channel(c, 0);
            frame.data[0][y * std::uint32_t(frame.linesize[0]) + x] =
                std::uint8_t(std::lround(16 + 0.25679 * r + 0.50413 * g + 0.09791 * b));
        }
    }
    for (std::uint32_t y = 0; y < image.height / 2; ++y) {
        for (std::uint32_t x = 0; x < image.width / 2; ++x) {
            double r = 0, g = 0, b = 0;
            for (std::uint32_t dy = 0; dy < 2; ++dy) {
                for (std::uint32_t dx = 0; dx < 2; ++dx) {
                    const std::uint32_t c = image.at(2 * x + dx, 2 * y + dy);
                    r += channel(c, 16) / 4.0;
                    g += channel(c, 8) / 4.0;
                    b += channel(c, 0) / 4.0;
                }
            }
            frame.data[1][y * std::uint32_t(frame.linesize[1]) + x] =
                std::uint8_t(std::lround(128 - 0.14822 * r - 0.29099 * g + 0.43922 * b));
            frame.data[2][y * std::uint32_t(frame.linesize[2]) + x] =
                std::uint8_t(std::lround(128 + 0.43922 * r - 0.36779 * g - 0.07142 * b));
        }
    }
}

void toBgr(const Image& image, AVFrame& frame)
{
    for (std::uint32_t y = 0; y < image.height; ++y) {
        std::uint8_t* row = frame.data[0] + y * std::uint32_t(frame.linesize[0]);
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const std::uint32_t c = image.at(x, y);
            row[3 * x] = std::uint8_t(c);
            row[3 * x + 1] = std::uint8_t(c >> 8);
            row[3 * x + 2] = std::uint8_t(c >> 16);
        }
    }
}

void drain(AVCodecContext* context, AVPacket* packet, std::vector<std::vector<std::uint8_t>>& out)
{
    while (avcodec_receive_packet(context, packet) == 0) {
        out.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
}

// The NAL units of Annex B bytes (start codes of three or four bytes).
std::vector<std::vector<std::uint8_t>> nalUnits(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::vector<std::uint8_t>> units;
    std::size_t start = SIZE_MAX;
    for (std::size_t i = 0; i + 3 <= bytes.size(); ++i) {
        if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1) {
            if (start != SIZE_MAX) {
                std::size_t end = i;
                while (end > start && bytes[end - 1] == 0)
                    --end;
                units.emplace_back(bytes.begin() + std::ptrdiff_t(start),
                                   bytes.begin() + std::ptrdiff_t(end));
            }
            start = i + 3;
            i += 2;
        }
    }
    if (start != SIZE_MAX && start < bytes.size())
        units.emplace_back(bytes.begin() + std::ptrdiff_t(start), bytes.end());
    return units;
}

void putLength(std::vector<std::uint8_t>& out, std::size_t length, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(std::uint8_t(length >> (8 * i)));
}

} // namespace

Image colourBars(std::uint32_t width, std::uint32_t height)
{
    Image image{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            image.rgb[y * width + x] = kBars[std::min<std::uint32_t>(7, x * 8 / width)];
    return image;
}

Image square(std::uint32_t width, std::uint32_t height, std::uint32_t left, std::uint32_t top)
{
    Image image{width, height, std::vector<std::uint32_t>(std::size_t(width) * height, 0x808080)};
    for (std::uint32_t y = top; y < std::min(height, top + kSquareSide); ++y)
        for (std::uint32_t x = left; x < std::min(width, left + kSquareSide); ++x)
            image.rgb[y * width + x] = 0xffffff;
    return image;
}

bool hasEncoder(const char* encoder)
{
    return avcodec_find_encoder_by_name(encoder) != nullptr;
}

std::vector<std::vector<std::uint8_t>> encode(const char* encoder, const std::vector<Image>& images,
                                              int keyframeInterval)
{
    std::vector<std::vector<std::uint8_t>> out;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (!codec || images.empty())
        return out;
    const bool yuv = codec->id == AV_CODEC_ID_FLV1;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = int(images[0].width);
    context->height = int(images[0].height);
    context->time_base = AVRational{1, 25};
    context->framerate = AVRational{25, 1};
    context->pix_fmt = yuv ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR24;
    context->gop_size = keyframeInterval;
    context->max_b_frames = 0;
    context->thread_count = 1;
    if (yuv) {
        // Fine quantisers: the tests compare colours, not the encoder's rate control.
        context->bit_rate = 8'000'000;
        context->qmin = 2;
        context->qmax = 4;
    }
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return out;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    for (std::size_t i = 0; i < images.size(); ++i) {
        frame->format = context->pix_fmt;
        frame->width = context->width;
        frame->height = context->height;
        av_frame_get_buffer(frame, 0);
        if (yuv)
            toYuv(images[i], *frame);
        else
            toBgr(images[i], *frame);
        frame->pts = std::int64_t(i);
        avcodec_send_frame(context, frame);
        av_frame_unref(frame);
        drain(context, packet, out);
    }
    avcodec_send_frame(context, nullptr);
    drain(context, packet, out);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return out;
}

AvcStream encodeAvc(const std::vector<Image>& images, int keyframeInterval, int bFrames)
{
    AvcStream stream;
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec || images.empty())
        return stream;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = int(images[0].width);
    context->height = int(images[0].height);
    context->time_base = AVRational{1, 25};
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->gop_size = keyframeInterval;
    context->keyint_min = keyframeInterval;
    context->max_b_frames = bFrames;
    context->thread_count = 1;
    av_opt_set(context->priv_data, "preset", bFrames > 0 ? "veryfast" : "ultrafast", 0);
    if (bFrames == 0) {
        av_opt_set(context->priv_data, "tune", "zerolatency", 0);
        av_opt_set(context->priv_data, "profile", "baseline", 0);
    }
    av_opt_set(context->priv_data, "crf", "8", 0);
    av_opt_set(context->priv_data, "x264-params",
               bFrames > 0 ? "scenecut=0:b-adapt=0:b-pyramid=none:rc-lookahead=4" : "scenecut=0",
               0);
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return stream;
    }
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    std::vector<std::vector<std::uint8_t>> coded;
    std::vector<std::int64_t> pts, dts;
    const auto collect = [&] {
        while (avcodec_receive_packet(context, packet) == 0) {
            coded.emplace_back(packet->data, packet->data + packet->size);
            pts.push_back(packet->pts);
            dts.push_back(packet->dts);
            av_packet_unref(packet);
        }
    };
    for (std::size_t i = 0; i <= images.size(); ++i) {
        if (i < images.size()) {
            frame->format = context->pix_fmt;
            frame->width = context->width;
            frame->height = context->height;
            av_frame_get_buffer(frame, 0);
            toYuv(images[i], *frame);
            frame->pts = std::int64_t(i);
            avcodec_send_frame(context, frame);
            av_frame_unref(frame);
        } else {
            avcodec_send_frame(context, nullptr);
        }
        collect();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);

    std::vector<std::uint8_t> sps, pps;
    for (std::size_t n = 0; n < coded.size(); ++n) {
        const auto& bytes = coded[n];
        // FLV times start at zero: the first decoding time is taken off every one.
        const std::int64_t composition = (pts[n] - dts[n]) * 40;
        stream.decodeMs.push_back(std::uint32_t((dts[n] - dts[0]) * 40));
        std::vector<std::uint8_t> out{1, std::uint8_t(composition >> 16),
                                      std::uint8_t(composition >> 8), std::uint8_t(composition)};
        for (const auto& unit : nalUnits(bytes)) {
            const int type = unit.empty() ? 0 : unit[0] & 0x1f;
            if (type == 7 && sps.empty())
                sps = unit;
            else if (type == 8 && pps.empty())
                pps = unit;
            if (type == 7 || type == 8 || type == 9)
                continue;
            putLength(out, unit.size(), 4);
            out.insert(out.end(), unit.begin(), unit.end());
        }
        stream.frames.push_back(std::move(out));
    }
    if (sps.size() < 4 || pps.empty())
        return {};
    stream.firstShownMs = std::uint32_t((pts[0] - dts[0]) * 40);
    // AVCDecoderConfigurationRecord: version, profile, compatibility, level, 4-byte
    // lengths, one SPS, one PPS.
    stream.configuration = {0, 0, 0, 0, 1, sps[1], sps[2], sps[3], 0xff, 0xe1};
    putLength(stream.configuration, sps.size(), 2);
    stream.configuration.insert(stream.configuration.end(), sps.begin(), sps.end());
    stream.configuration.push_back(1);
    putLength(stream.configuration, pps.size(), 2);
    stream.configuration.insert(stream.configuration.end(), pps.begin(), pps.end());
    return stream;
}

int colourDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(channel(a, shift) - channel(b, shift)));
    return worst;
}

} // namespace pictures
