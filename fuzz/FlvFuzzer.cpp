// libFuzzer target: an FLV file's bytes through the reader (tags, script data, keyframe
// index), then every video tag through a decoder of its coding, in order as playback
// does, with what the decoders hold back drained at the end; each tag is also read as a
// movie's VideoFrame. Any crash, hang, sanitizer report or runaway allocation is a
// finding.
#include "video/FlvReader.h"
#include "video/VideoDecoder.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto file = video::flv::readFlv(std::span(data, size));
    if (!file)
        return 0;
    std::map<std::pair<std::uint8_t, video::Framing>, std::unique_ptr<video::StreamDecoder>>
        decoders;
    const video::StreamDecoder::PictureSink checkPicture = [](const video::Picture& picture,
                                                              std::int64_t) {
        if (picture.pixels.size() != std::size_t(picture.width) * picture.height)
            __builtin_trap();
    };
    for (const video::flv::Tag& tag : file->tags) {
        if (tag.type != video::flv::TagType::Video || !video::isKnownCodec(tag.video.codecId))
            continue;
        for (video::Framing framing : {video::Framing::FlvTag, video::Framing::SwfVideoFrame}) {
            auto& decoder = decoders[{tag.video.codecId, framing}];
            if (!decoder) {
                video::StreamSettings settings;
                settings.codec = video::Codec(tag.video.codecId);
                settings.framing = framing;
                settings.width = 1 + tag.video.codecId * 50; // some cut, some not
                settings.height = 1 + tag.video.codecId * 40;
                auto made = video::makeStreamDecoder(settings);
                if (!made)
                    continue;
                decoder = std::move(made.value());
            }
            (void)video::isKeyframe(video::Codec(tag.video.codecId), framing, tag.payload);
            (void)decoder->decodeTimed(tag.payload, tag.timestampMs, checkPicture);
        }
    }
    for (auto& [coding, decoder] : decoders)
        if (decoder)
            (void)decoder->drain(checkPicture);
    return 0;
}
