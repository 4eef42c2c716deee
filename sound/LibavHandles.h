#pragma once

// Owners of libavcodec's objects, and its logging kept quiet, for the sound and the video
// decoders: the library reports damaged data on standard error, while the engine's own
// diagnostics say what matters and a normal run prints nothing.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <memory>
#include <mutex>

namespace libav {

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ParserFree {
    void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextFree>;
using Parser = std::unique_ptr<AVCodecParserContext, ParserFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;

inline void quietLogging()
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
}

} // namespace libav
