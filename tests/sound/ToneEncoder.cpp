#include "ToneEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tones {

std::vector<std::int16_t> sine(double hz, double rate, std::size_t frames, int channels,
                               double level)
{
    std::vector<std::int16_t> out;
    out.reserve(frames * std::size_t(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = level * std::sin(2 * std::numbers::pi * hz * double(i) / rate);
        for (int c = 0; c < channels; ++c)
            out.push_back(std::int16_t(std::lrint(value * 32767)));
    }
    return out;
}

std::vector<std::uint8_t> Encoded::joined() const
{
    std::vector<std::uint8_t> all;
    for (const auto& packet : packets)
        all.insert(all.end(), packet.begin(), packet.end());
    return all;
}

bool hasEncoder(const char* encoder)
{
    return avcodec_find_encoder_by_name(encoder) != nullptr;
}

namespace {

void fill(AVFrame& frame, std::span<const std::int16_t> samples, std::size_t first, int channels)
{
    const auto format = AVSampleFormat(frame.format);
    for (int i = 0; i < frame.nb_samples; ++i) {
        for (int c = 0; c < channels; ++c) {
            const std::size_t at =
                (first + std::size_t(i)) * std::size_t(channels) + std::size_t(c);
            const std::int16_t value = at < samples.size() ? samples[at] : 0;
            switch (format) {
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<std::int16_t*>(frame.data[0])[i * channels + c] = value;
                break;
            case AV_SAMPLE_FMT_S16P:
                reinterpret_cast<std::int16_t*>(frame.data[c])[i] = value;
                break;
            case AV_SAMPLE_FMT_FLT:
                reinterpret_cast<float*>(frame.data[0])[i * channels + c] = value / 32768.0f;
                break;
            case AV_SAMPLE_FMT_FLTP:
                reinterpret_cast<float*>(frame.data[c])[i] = value / 32768.0f;
                break;
            case AV_SAMPLE_FMT_S32P:
                reinterpret_cast<std::int32_t*>(frame.data[c])[i] = value * 65536;
                break;
            default:
                break;
            }
        }
    }
}

void drain(AVCodecContext* context, AVPacket* packet, Encoded& out)
{
    while (avcodec_receive_packet(context, packet) == 0) {
        out.packets.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
}

} // namespace

Encoded encode(const char* encoder, std::span<const std::int16_t> samples, int rate, int channels)
{
    Encoded out;
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (!codec)
        return out;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->sample_rate = rate;
    av_channel_layout_default(&context->ch_layout, channels);
    context->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    context->bit_rate = 64000 * channels;
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return out;
    }
    out.initialPadding = context->initial_padding;
    if (context->extradata && context->extradata_size > 0)
        out.configuration.assign(context->extradata, context->extradata + context->extradata_size);
    const int frameSize = context->frame_size > 0 ? context->frame_size : 1024;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const std::size_t total = samples.size() / std::size_t(channels);
    for (std::size_t first = 0; first < total; first += std::size_t(frameSize)) {
        frame->nb_samples = frameSize;
        if (codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)
            frame->nb_samples = int(std::min<std::size_t>(std::size_t(frameSize), total - first));
        frame->format = context->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
        frame->sample_rate = rate;
        av_frame_get_buffer(frame, 0);
        fill(*frame, samples, first, channels);
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

double frequency(std::span<const float> samples, int channels, int channel, double rate)
{
    const std::size_t frames = samples.size() / std::size_t(channels);
    std::size_t firstCrossing = 0, lastCrossing = 0, crossings = 0;
    // A crossing counts only after the signal was clearly below zero, so coding noise
    // around zero adds none.
    bool armed = false;
    for (std::size_t i = 1; i < frames; ++i) {
        const float now = samples[i * std::size_t(channels) + std::size_t(channel)];
        if (now < -0.02f) {
            armed = true;
        } else if (armed && now >= 0) {
            armed = false;
            if (crossings == 0)
                firstCrossing = i;
            lastCrossing = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return double(crossings - 1) * rate / double(lastCrossing - firstCrossing);
}

double rms(std::span<const float> samples, int channels, int channel)
{
    const std::size_t frames = samples.size() / std::size_t(channels);
    if (frames == 0)
        return 0;
    double sum = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double v = samples[i * std::size_t(channels) + std::size_t(channel)];
        sum += v * v;
    }
    return std::sqrt(sum / double(frames));
}

std::vector<float> toFloat(std::span<const std::int16_t> samples)
{
    std::vector<float> out;
    out.reserve(samples.size());
    for (std::int16_t s : samples)
        out.push_back(s / 32768.0f);
    return out;
}

} // namespace tones
