#include "VideoMovies.h"

#include "TestPictures.h"
#include "VideoWriter.h"

#include <algorithm>
#include <cstdlib>

namespace videomovies {

namespace {

constexpr const char* kEncoder = "flv";

} // namespace

bool canEncode()
{
    return pictures::hasEncoder(kEncoder);
}

std::vector<std::vector<std::uint8_t>> solidColourPackets(int keyframeInterval)
{
    std::vector<pictures::Image> images;
    for (std::uint32_t colour : kColours) {
        pictures::Image image{kCodedWidth, kCodedHeight,
                              std::vector<std::uint32_t>(kCodedWidth * kCodedHeight, kSteady)};
        for (int y = kMarkTop; y < kMarkTop + kMarkSide; ++y)
            std::fill_n(image.rgb.begin() + y * kCodedWidth + kMarkLeft, kMarkSide, colour);
        images.push_back(std::move(image));
    }
    auto packets = pictures::encode(kEncoder, images, keyframeInterval);
    if (packets.size() != images.size())
        packets.clear();
    return packets;
}

swfwriter::MovieWriter solidColourMovie(const Options& options)
{
    using namespace swfwriter;
    auto packets = solidColourPackets(options.keyframeInterval);
    MovieWriter movie(options.version, 200, 150, 12);
    if (packets.empty())
        return movie;
    for (int frame : options.damaged)
        packets[std::size_t(frame)] = std::vector<std::uint8_t>(24, 0xff);
    movie.add(60,
              defineVideoStream(kStreamId, {std::uint16_t(packets.size()), options.width,
                                            options.height, 0, options.smoothing, options.codec}));
    for (std::size_t frame = 0; frame < packets.size(); ++frame) {
        movie.add(61, videoFrame(kStreamId, std::uint16_t(frame), packets[frame]));
        Place place;
        place.depth = 1;
        place.ratio = std::uint16_t(frame);
        if (frame == 0) {
            place.characterId = kStreamId;
            place.matrix = options.matrix;
            place.name = "video";
        } else {
            place.move = true;
        }
        movie.place2(place);
        if (frame < options.frameActions.size() && !options.frameActions[frame].empty())
            movie.doAction(options.frameActions[frame]);
        movie.showFrame();
    }
    return movie;
}

bool near(std::uint32_t argb, std::uint32_t rgb, int tolerance)
{
    for (int shift : {16, 8, 0}) {
        const int got = int((argb >> shift) & 0xff), want = int((rgb >> shift) & 0xff);
        if (std::abs(got - want) > tolerance)
            return false;
    }
    return true;
}

} // namespace videomovies
