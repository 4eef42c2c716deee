// The compressed codings, decoded by libavcodec. Each coding's bytes are cut into the
// packets the decoder expects: MP3 by its parser (frames run across stream blocks),
// Nellymoser in whole 64-byte blocks, G.711 anywhere; ADPCM and Speex data go in whole,
// as their decoders find the block structure themselves.
#include "Decoder.h"
#include "LibavHandles.h"
#include "Limits.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

namespace sound {

namespace {

using swf::ErrorCode;
using swf::makeError;

AVCodecID codecId(Codec codec)
{
    switch (codec) {
    case Codec::Adpcm:
        return AV_CODEC_ID_ADPCM_SWF;
    case Codec::Mp3:
        return AV_CODEC_ID_MP3;
    case Codec::Nellymoser16k:
    case Codec::Nellymoser8k:
    case Codec::Nellymoser:
        return AV_CODEC_ID_NELLYMOSER;
    case Codec::G711ALaw:
        return AV_CODEC_ID_PCM_ALAW;
    case Codec::G711MuLaw:
        return AV_CODEC_ID_PCM_MULAW;
    case Codec::Speex:
        return AV_CODEC_ID_SPEEX;
    case Codec::Aac:
        return AV_CODEC_ID_AAC;
    case Codec::PcmNative:
    case Codec::PcmLittle:
        break;
    }
    return AV_CODEC_ID_NONE;
}

std::int16_t toInt16(float value)
{
    const float scaled = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
    return static_cast<std::int16_t>(std::lrint(scaled));
}

// One sample of channel `c`, frame `i`, whatever the decoder's sample layout.
std::int16_t sampleAt(const AVFrame& frame, int c, int i)
{
    const int channels = frame.ch_layout.nb_channels;
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const bool planar = av_sample_fmt_is_planar(format);
    const uint8_t* base = planar ? frame.extended_data[c] : frame.extended_data[0];
    const int index = planar ? i : i * channels + c;
    switch (format) {
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S16P:
        return reinterpret_cast<const std::int16_t*>(base)[index];
    case AV_SAMPLE_FMT_S32:
    case AV_SAMPLE_FMT_S32P:
        return static_cast<std::int16_t>(reinterpret_cast<const std::int32_t*>(base)[index] >> 16);
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP:
        return toInt16(reinterpret_cast<const float*>(base)[index]);
    case AV_SAMPLE_FMT_U8:
    case AV_SAMPLE_FMT_U8P:
        return static_cast<std::int16_t>((int(base[index]) - 128) * 256);
    default:
        return 0;
    }
}

class AvDecoder final : public Decoder {
public:
    swf::Status open(const SoundFormat& format, std::span<const std::uint8_t> extradata = {})
    {
        m_format = format;
        const AVCodec* codec = avcodec_find_decoder(codecId(format.codec));
        if (!codec)
            return makeError(ErrorCode::Unsupported,
                             "no decoder for sound format " + std::to_string(int(format.codec)));
        m_context.reset(avcodec_alloc_context3(codec));
        m_packet.reset(av_packet_alloc());
        m_frame.reset(av_frame_alloc());
        if (!m_context || !m_packet || !m_frame)
            return makeError(ErrorCode::TooLarge, "sound decoder");
        m_context->sample_rate = int(std::lround(format.rate));
        av_channel_layout_default(&m_context->ch_layout, format.channels());
        if (format.codec == Codec::Adpcm)
            m_context->bits_per_coded_sample = 16;
        if (!extradata.empty()) {
            if (extradata.size() > limits::kMaxPacketBytes)
                return makeError(ErrorCode::TooLarge, "sound decoder configuration");
            // The library's input is padded, as it may read past the end.
            m_context->extradata = static_cast<std::uint8_t*>(
                av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!m_context->extradata)
                return makeError(ErrorCode::TooLarge, "sound decoder configuration");
            std::memcpy(m_context->extradata, extradata.data(), extradata.size());
            m_context->extradata_size = int(extradata.size());
        }
        if (avcodec_open2(m_context.get(), codec, nullptr) < 0)
            return makeError(ErrorCode::Unsupported, "sound decoder cannot open");
        if (format.codec == Codec::Mp3)
            m_parser.reset(av_parser_init(AV_CODEC_ID_MP3));
        return swf::Ok{};
    }

    swf::Status decode(std::span<const std::uint8_t> bytes, std::vector<std::int16_t>& out,
                       std::size_t maxFrames) override
    {
        m_out = &out;
        m_room = maxFrames;
        if (m_parser)
            return decodeParsed(bytes);
        std::size_t step = bytes.size();
        if (m_format.codec == Codec::Nellymoser16k || m_format.codec == Codec::Nellymoser8k ||
            m_format.codec == Codec::Nellymoser)
            step = 64 * 64;
        else if (m_format.codec == Codec::G711ALaw || m_format.codec == Codec::G711MuLaw)
            step = limits::kMaxPacketBytes;
        for (std::size_t at = 0; at < bytes.size() && m_room > 0; at += step) {
            auto status = sendPacket(bytes.subspan(at, std::min(step, bytes.size() - at)));
            if (!status)
                return status;
        }
        return swf::Ok{};
    }

    void finish(std::vector<std::int16_t>& out, std::size_t maxFrames) override
    {
        m_out = &out;
        m_room = maxFrames;
        if (m_parser) {
            std::uint8_t* frameData = nullptr;
            int frameSize = 0;
            av_parser_parse2(m_parser.get(), m_context.get(), &frameData, &frameSize, nullptr, 0,
                             AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (frameSize > 0)
                (void)sendPacket({frameData, std::size_t(frameSize)});
        }
        // An empty packet asks the decoder for what it still holds.
        if (avcodec_send_packet(m_context.get(), nullptr) >= 0)
            (void)receiveFrames();
    }

private:
    swf::Status decodeParsed(std::span<const std::uint8_t> bytes)
    {
        const std::uint8_t* data = bytes.data();
        std::size_t left = bytes.size();
        for (std::size_t calls = 0; left > 0 && m_room > 0; ++calls) {
            if (calls >= limits::kMaxDecodeCalls)
                return makeError(ErrorCode::TooLarge, "sound data");
            std::uint8_t* frameData = nullptr;
            int frameSize = 0;
            const int chunk = int(std::min(left, limits::kMaxPacketBytes));
            // The parser reads a little past what it is given, as all of the library's
            // input may be read: it gets a copy followed by zeroed padding.
            m_parserInput.assign(data, data + chunk);
            m_parserInput.resize(std::size_t(chunk) + AV_INPUT_BUFFER_PADDING_SIZE, 0);
            const int used =
                av_parser_parse2(m_parser.get(), m_context.get(), &frameData, &frameSize,
                                 m_parserInput.data(), chunk, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
            if (used < 0)
                return makeError(ErrorCode::BadValue, "MP3 data");
            data += used;
            left -= std::size_t(used);
            if (frameSize > 0) {
                auto status = sendPacket({frameData, std::size_t(frameSize)});
                if (!status)
                    return status;
            } else if (used == 0) {
                break;
            }
        }
        return swf::Ok{};
    }

    swf::Status sendPacket(std::span<const std::uint8_t> bytes)
    {
        if (bytes.empty())
            return swf::Ok{};
        if (bytes.size() > std::size_t(std::numeric_limits<int>::max() / 2))
            return makeError(ErrorCode::TooLarge, "sound packet");
        const int size = int(bytes.size());
        if (av_new_packet(m_packet.get(), size) < 0)
            return makeError(ErrorCode::TooLarge, "sound packet");
        std::memcpy(m_packet->data, bytes.data(), std::size_t(size));
        const int sent = avcodec_send_packet(m_context.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN))
            return makeError(ErrorCode::BadValue, "damaged sound data");
        return receiveFrames();
    }

    swf::Status receiveFrames()
    {
        while (true) {
            const int received = avcodec_receive_frame(m_context.get(), m_frame.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return swf::Ok{};
            if (received < 0)
                return makeError(ErrorCode::BadValue, "damaged sound data");
            append(*m_frame);
            av_frame_unref(m_frame.get());
        }
    }

    // Adds the frame in the format's channel count: mono decoded into a stereo format is
    // doubled, stereo into mono averaged.
    void append(const AVFrame& frame)
    {
        const int decoded = frame.ch_layout.nb_channels;
        if (decoded <= 0)
            return;
        const int wanted = m_format.channels();
        const std::size_t frames = std::min(std::size_t(std::max(frame.nb_samples, 0)), m_room);
        for (std::size_t i = 0; i < frames; ++i) {
            const int left = sampleAt(frame, 0, int(i));
            const int right = decoded > 1 ? sampleAt(frame, 1, int(i)) : left;
            if (wanted == 1) {
                m_out->push_back(static_cast<std::int16_t>((left + right) / 2));
            } else {
                m_out->push_back(static_cast<std::int16_t>(left));
                m_out->push_back(static_cast<std::int16_t>(right));
            }
        }
        m_room -= frames;
    }

    SoundFormat m_format;
    libav::CodecContext m_context;
    libav::Parser m_parser;
    libav::Packet m_packet;
    libav::Frame m_frame;
    std::vector<std::uint8_t> m_parserInput;
    std::vector<std::int16_t>* m_out = nullptr;
    std::size_t m_room = 0;
};

// The rate and channels of an AudioSpecificConfig: object type (5 bits, or 6 more after
// 31), rate index (4 bits, or 24 bits of rate after 15), channel configuration (4 bits).
std::optional<SoundFormat> aacFormat(std::span<const std::uint8_t> config)
{
    static constexpr int kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                     22050, 16000, 12000, 11025, 8000,  7350};
    std::size_t bit = 0;
    const auto bits = [&](int n) -> std::optional<std::uint32_t> {
        if (bit + std::size_t(n) > config.size() * 8)
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < n; ++i, ++bit)
            value = value << 1 | ((config[bit / 8] >> (7 - bit % 8)) & 1);
        return value;
    };
    auto type = bits(5);
    if (type && *type == 31)
        type = bits(6);
    const auto rateIndex = bits(4);
    if (!type || !rateIndex)
        return std::nullopt;
    SoundFormat format;
    format.codec = Codec::Aac;
    if (*rateIndex == 15) {
        const auto rate = bits(24);
        if (!rate || *rate == 0)
            return std::nullopt;
        format.rate = *rate;
    } else if (*rateIndex < std::size(kRates)) {
        format.rate = kRates[*rateIndex];
    } else {
        return std::nullopt;
    }
    const auto channels = bits(4);
    if (!channels || *channels == 0)
        return std::nullopt;
    format.stereo = *channels >= 2;
    return format;
}

} // namespace

swf::Result<std::unique_ptr<Decoder>> makeAacDecoder(std::span<const std::uint8_t> config,
                                                     SoundFormat& format)
{
    libav::quietLogging();
    const std::optional<SoundFormat> read = aacFormat(config);
    if (!read)
        return makeError(ErrorCode::BadValue, "AAC configuration");
    format = *read;
    auto decoder = std::make_unique<AvDecoder>();
    auto status = decoder->open(format, config);
    if (!status)
        return status.error();
    return std::unique_ptr<Decoder>(std::move(decoder));
}

swf::Result<std::unique_ptr<Decoder>> makeAvDecoder(const SoundFormat& format)
{
    libav::quietLogging();
    auto decoder = std::make_unique<AvDecoder>();
    auto status = decoder->open(format);
    if (!status)
        return status.error();
    return std::unique_ptr<Decoder>(std::move(decoder));
}

} // namespace sound
