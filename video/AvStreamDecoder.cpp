// The video codings, decoded by libavcodec one frame per packet on the caller's thread
// (the decoder's own threads would make the order of work, not the output, vary, and
// playback already decodes ahead on a thread of its own).
#include "ColorConversion.h"
#include "Limits.h"
#include "PacketLayout.h"
#include "VideoDecoder.h"
#include "sound/LibavHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

namespace video {

namespace {

using swf::ErrorCode;
using swf::makeError;

AVCodecID codecId(Codec codec)
{
    switch (codec) {
    case Codec::SorensonH263:
        return AV_CODEC_ID_FLV1;
    case Codec::ScreenVideo:
        return AV_CODEC_ID_FLASHSV;
    case Codec::Vp6:
        return AV_CODEC_ID_VP6F;
    case Codec::Vp6Alpha:
        return AV_CODEC_ID_VP6A;
    case Codec::ScreenVideo2:
        return AV_CODEC_ID_FLASHSV2;
    case Codec::H264:
        return AV_CODEC_ID_H264;
    }
    return AV_CODEC_ID_NONE;
}

const char* codecName(Codec codec)
{
    switch (codec) {
    case Codec::SorensonH263:
        return "Sorenson H.263";
    case Codec::ScreenVideo:
        return "Screen Video";
    case Codec::Vp6:
        return "VP6";
    case Codec::Vp6Alpha:
        return "VP6 with alpha";
    case Codec::ScreenVideo2:
        return "Screen Video 2";
    case Codec::H264:
        return "H.264";
    }
    return "unknown";
}

class AvStreamDecoder final : public StreamDecoder {
public:
    explicit AvStreamDecoder(const StreamSettings& settings) : m_settings(settings) {}

    swf::Status open(std::span<const std::uint8_t> extradata = {})
    {
        const AVCodec* codec = avcodec_find_decoder(codecId(m_settings.codec));
        if (!codec)
            return makeError(ErrorCode::Unsupported, std::string("no decoder for video coding ") +
                                                         codecName(m_settings.codec));
        m_context.reset(avcodec_alloc_context3(codec));
        if (!m_packet)
            m_packet.reset(av_packet_alloc());
        if (!m_frame)
            m_frame.reset(av_frame_alloc());
        if (!m_context || !m_packet || !m_frame)
            return makeError(ErrorCode::TooLarge, "video decoder");
        m_context->thread_count = 1;
        m_context->max_pixels = std::int64_t(limits::kMaxPixels);
        // A damaged frame fails instead of being shown with its damage hidden.
        m_context->err_recognition = AV_EF_EXPLODE;
        // H.263's inverse transform is only specified to a tolerance; the floating-point
        // one comes nearest the exact transform the streams were made to show.
        if (m_settings.codec == Codec::SorensonH263)
            m_context->idct_algo = FF_IDCT_FAAN;
        if (m_settings.deblocking == 1)
            m_context->skip_loop_filter = AVDISCARD_ALL;
        if (!extradata.empty()) {
            m_context->extradata = static_cast<std::uint8_t*>(
                av_mallocz(extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!m_context->extradata)
                return makeError(ErrorCode::TooLarge, "H.264 configuration");
            std::memcpy(m_context->extradata, extradata.data(), extradata.size());
            m_context->extradata_size = int(extradata.size());
        }
        if (avcodec_open2(m_context.get(), codec, nullptr) < 0)
            return makeError(ErrorCode::Unsupported, std::string("the ") +
                                                         codecName(m_settings.codec) +
                                                         " decoder cannot open");
        return swf::Ok{};
    }

    swf::Status decode(std::span<const std::uint8_t> packet) override
    {
        return decodeTimed(packet, 0, {});
    }

    swf::Status decodeTimed(std::span<const std::uint8_t> packet, std::int64_t decodeMs,
                            const PictureSink& sink) override
    {
        m_sink = &sink;
        if (packet.size() > limits::kMaxPacketBytes)
            return makeError(ErrorCode::TooLarge, "video frame");
        const auto coded = unwrapPacket(m_settings.codec, m_settings.framing, packet);
        if (!coded || coded->payload.empty())
            return makeError(ErrorCode::Truncated, "video frame");
        std::span<const std::uint8_t> payload = coded->payload;
        if (m_settings.codec == Codec::H264) {
            const auto type = avcPacketType(packet);
            if (!type)
                return makeError(ErrorCode::BadValue, "H.264 packet type");
            if (*type == AvcPacketType::SequenceHeader)
                return open(avcPayload(packet));
            if (*type == AvcPacketType::EndOfSequence)
                return swf::Ok{};
            payload = avcPayload(packet);
            if (payload.empty())
                return makeError(ErrorCode::Truncated, "H.264 frame");
        }
        std::int64_t presentationMs = decodeMs;
        if (m_settings.codec == Codec::H264) {
            // The composition time: signed 24 bits after the packet type.
            std::int32_t offset = std::int32_t(std::uint32_t(packet[1]) << 16 |
                                               std::uint32_t(packet[2]) << 8 | packet[3]);
            if (offset & 0x800000)
                offset -= 0x1000000;
            presentationMs += offset;
        }
        if (av_new_packet(m_packet.get(), int(payload.size())) < 0)
            return makeError(ErrorCode::TooLarge, "video frame");
        std::memcpy(m_packet->data, payload.data(), payload.size());
        // Screen Video 2's decoder keeps a keyframe's picture for the difference blocks of
        // the frames after it, and knows a keyframe only by this flag.
        if (isKeyframe(m_settings.codec, m_settings.framing, packet))
            m_packet->flags |= AV_PKT_FLAG_KEY;
        m_packet->pts = presentationMs;
        m_packet->dts = decodeMs;
        const int sent = avcodec_send_packet(m_context.get(), m_packet.get());
        av_packet_unref(m_packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN))
            return makeError(ErrorCode::BadValue,
                             std::string("damaged ") + codecName(m_settings.codec) + " frame");
        m_crop = *coded;
        m_crop.payload = {};
        return receive(*coded);
    }

    swf::Status drain(const PictureSink& sink) override
    {
        m_sink = &sink;
        if (!m_context || avcodec_send_packet(m_context.get(), nullptr) < 0)
            return swf::Ok{};
        return receive(m_crop);
    }

    const Picture* picture() const override { return m_pictures > 0 ? &m_picture : nullptr; }
    std::uint64_t picturesDecoded() const override { return m_pictures; }

    void reset() override
    {
        if (m_context)
            avcodec_flush_buffers(m_context.get());
    }

private:
    swf::Status receive(const CodedPacket& coded)
    {
        swf::Status status = swf::Ok{};
        while (true) {
            const int received = avcodec_receive_frame(m_context.get(), m_frame.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return status;
            if (received < 0)
                return makeError(ErrorCode::BadValue,
                                 std::string("damaged ") + codecName(m_settings.codec) + " frame");
            if (m_frame->decode_error_flags != 0 || (m_frame->flags & AV_FRAME_FLAG_CORRUPT))
                status = makeError(ErrorCode::BadValue, std::string("damaged ") +
                                                            codecName(m_settings.codec) + " frame");
            else
                status = convert(*m_frame, coded);
            if (status && *m_sink) {
                const std::int64_t shown = m_frame->best_effort_timestamp;
                (*m_sink)(m_picture, shown == AV_NOPTS_VALUE ? 0 : shown);
            }
            av_frame_unref(m_frame.get());
        }
    }

    swf::Status convert(const AVFrame& frame, const CodedPacket& coded)
    {
        if (frame.width <= 0 || frame.height <= 0)
            return makeError(ErrorCode::BadValue, "video frame size");
        std::uint32_t width = std::uint32_t(frame.width);
        std::uint32_t height = std::uint32_t(frame.height);
        if (width > limits::kMaxWidth || height > limits::kMaxHeight ||
            std::uint64_t(width) * height > limits::kMaxPixels)
            return makeError(ErrorCode::TooLarge, "video frame size");
        width -= std::min<std::uint32_t>(coded.cropRight, width - 1);
        height -= std::min<std::uint32_t>(coded.cropBottom, height - 1);
        if (m_settings.width > 0)
            width = std::min(width, m_settings.width);
        if (m_settings.height > 0)
            height = std::min(height, m_settings.height);

        m_next.width = width;
        m_next.height = height;
        m_next.pixels.resize(std::size_t(width) * height);
        switch (frame.format) {
        case AV_PIX_FMT_YUV420P:
        case AV_PIX_FMT_YUVJ420P:
        case AV_PIX_FMT_YUVA420P: {
            YuvPlanes planes;
            planes.y = frame.data[0];
            planes.u = frame.data[1];
            planes.v = frame.data[2];
            planes.yStride = frame.linesize[0];
            planes.uStride = frame.linesize[1];
            planes.vStride = frame.linesize[2];
            if (frame.format == AV_PIX_FMT_YUVA420P) {
                planes.a = frame.data[3];
                planes.aStride = frame.linesize[3];
            }
            const bool full =
                frame.format == AV_PIX_FMT_YUVJ420P || frame.color_range == AVCOL_RANGE_JPEG;
            convertYuv420(planes, full ? YuvRange::Full : YuvRange::Limited, width, height,
                          m_next.pixels.data());
            break;
        }
        case AV_PIX_FMT_BGR24:
            convertBgr24(frame.data[0], frame.linesize[0], width, height, m_next.pixels.data());
            break;
        default:
            return makeError(ErrorCode::Unsupported,
                             std::string(codecName(m_settings.codec)) + " picture layout");
        }
        std::swap(m_picture, m_next);
        ++m_pictures;
        return swf::Ok{};
    }

    StreamSettings m_settings;
    libav::CodecContext m_context;
    libav::Packet m_packet;
    libav::Frame m_frame;
    Picture m_picture;
    Picture m_next; // converted into, then swapped, so damage never shows half a picture
    std::uint64_t m_pictures = 0;
    const PictureSink* m_sink = nullptr; // the current call's
    CodedPacket m_crop;                  // the last packet's, for the pictures drained
};

} // namespace

swf::Result<std::unique_ptr<StreamDecoder>> makeStreamDecoder(const StreamSettings& settings)
{
    libav::quietLogging();
    if (!isKnownCodec(std::uint8_t(settings.codec)))
        return makeError(ErrorCode::Unsupported,
                         "video coding " + std::to_string(int(settings.codec)));
    if (settings.width > limits::kMaxWidth || settings.height > limits::kMaxHeight)
        return makeError(ErrorCode::TooLarge, "video stream size");
    auto decoder = std::make_unique<AvStreamDecoder>(settings);
    auto status = decoder->open();
    if (!status)
        return status.error();
    return std::unique_ptr<StreamDecoder>(std::move(decoder));
}

} // namespace video
