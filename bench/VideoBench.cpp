// Video benchmark: decoding and colour conversion on one core, as a multiple of the
// stream's own frame rate. A 1280x720 Sorenson H.263 stream is coded at start by
// libavcodec's encoder (goal >= 3 x real time); VP6 has no encoder, so a movie or an FLV
// holding VP6 may be given to measure it (goal >= 10 x at 640x480). A stream of only a
// few frames is decoded over and over, from its first keyframe each time. Median of five
// runs each.
//     bench-video [FILE.swf|FILE.flv]
#include "TestPictures.h"
#include "format/MovieHeader.h"
#include "format/TagReader.h"
#include "video/FlvReader.h"
#include "video/VideoDecoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Stream {
    video::StreamSettings settings;
    double frameRate = 25;
    std::vector<std::vector<std::uint8_t>> packets;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Decodes at least `minimumFrames` frames; returns frames decoded per second.
double decodeSpeed(const Stream& stream, std::size_t minimumFrames)
{
    auto decoder = video::makeStreamDecoder(stream.settings);
    if (!decoder)
        return 0;
    std::size_t frames = 0;
    const auto start = Clock::now();
    while (frames < minimumFrames) {
        (*decoder)->reset();
        for (const auto& packet : stream.packets) {
            (void)(*decoder)->decode(packet);
            ++frames;
        }
    }
    return double(frames) / std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* name, const Stream& stream, double goal)
{
    std::vector<double> speeds;
    for (int run = 0; run < 5; ++run)
        speeds.push_back(decodeSpeed(stream, 200));
    const double framesPerSecond = median(speeds);
    auto decoder = video::makeStreamDecoder(stream.settings);
    std::uint32_t width = 0, height = 0;
    if (decoder && (*decoder)->decode(stream.packets.front()) && (*decoder)->picture()) {
        width = (*decoder)->picture()->width;
        height = (*decoder)->picture()->height;
    }
    // The factor is against the stream's own rate; frames a second tell what it means
    // for a stream whose container gives an odd rate.
    std::printf("%s %ux%u at %.1f fps: %.1f x real time, %.0f frames/s   (goal >= %.0f x)\n", name,
                width, height, stream.frameRate, framesPerSecond / stream.frameRate,
                framesPerSecond, goal);
}

std::optional<Stream> vp6FromMovie(std::span<const std::uint8_t> bytes)
{
    auto movie = swf::decodeMovieFile(bytes);
    if (!movie)
        return std::nullopt;
    Stream stream;
    stream.frameRate = movie->header.frameRate > 0 ? movie->header.frameRate : 12;
    swf::TagReader tags(movie->bytes().subspan(movie->tagsOffset));
    while (auto tag = tags.next()) {
        if (tag->code == 60 && tag->body.size() >= 10 && stream.packets.empty()) {
            stream.settings.codec = video::Codec(tag->body[9]);
            stream.settings.width = std::uint32_t(tag->body[4] | tag->body[5] << 8);
            stream.settings.height = std::uint32_t(tag->body[6] | tag->body[7] << 8);
        } else if (tag->code == 61 && tag->body.size() > 4) {
            stream.packets.emplace_back(tag->body.begin() + 4, tag->body.end());
        }
    }
    return stream;
}

std::optional<Stream> vp6FromFlv(std::span<const std::uint8_t> bytes)
{
    auto file = video::flv::readFlv(bytes);
    if (!file)
        return std::nullopt;
    Stream stream;
    stream.settings.framing = video::Framing::FlvTag;
    std::uint32_t lastMs = 0;
    for (const auto& tag : file->tags) {
        if (tag.type != video::flv::TagType::Video ||
            tag.video.frameType == video::flv::FrameType::Command)
            continue;
        stream.settings.codec = video::Codec(tag.video.codecId);
        stream.packets.emplace_back(tag.payload.begin(), tag.payload.end());
        lastMs = tag.timestampMs;
    }
    if (stream.packets.size() > 1 && lastMs > 0)
        stream.frameRate = 1000.0 * double(stream.packets.size() - 1) / lastMs;
    return stream;
}

Stream h263Stream()
{
    // Colour bars with a square crossing them: detail for the coder, motion for the
    // inter frames; a keyframe every 50 frames.
    std::vector<pictures::Image> images;
    const auto bars = pictures::colourBars(1280, 720);
    for (int i = 0; i < 100; ++i) {
        pictures::Image image = bars;
        for (std::uint32_t y = 200; y < 400; ++y)
            for (std::uint32_t x = 0; x < 200; ++x)
                image.rgb[y * 1280 + (x + 10 * std::uint32_t(i)) % 1280] = 0x808080;
        images.push_back(std::move(image));
    }
    Stream stream;
    stream.settings.codec = video::Codec::SorensonH263;
    stream.packets = pictures::encode("flv", images, 50);
    return stream;
}

} // namespace

int main(int argc, char** argv)
{
    if (!pictures::hasEncoder("flv")) {
        std::puts("bench-video: libavcodec lacks the Sorenson H.263 encoder");
        return 1;
    }
    report("Sorenson H.263", h263Stream(), 3);

    if (argc < 2) {
        std::puts("VP6: no VP6 stream given");
        return 0;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    auto stream = vp6FromFlv(bytes);
    if (!stream)
        stream = vp6FromMovie(bytes);
    if (!stream || stream->packets.empty() ||
        (stream->settings.codec != video::Codec::Vp6 &&
         stream->settings.codec != video::Codec::Vp6Alpha)) {
        std::printf("VP6: %s holds no VP6 stream\n", argv[1]);
        return 1;
    }
    report(stream->settings.codec == video::Codec::Vp6 ? "VP6" : "VP6 with alpha", *stream, 10);
    return 0;
}
