// libFuzzer target: a movie's bytes through the file format and the first frames of the
// runtime. Any crash, hang, sanitizer report or runaway allocation is a finding.
#include "PlayerInput.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

#include <cstddef>
#include <cstdint>

namespace {

class QuietHost : public runtime::Host {};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto movie = swf::loadMovie(std::span(data, size));
    if (!movie)
        return 0;
    // Morph shapes are drawn at a ratio: make one in between for each.
    for (std::size_t id = 0; id < (*movie)->idLimit(); ++id) {
        if (const auto* morph = (*movie)->get<swf::MorphShape>(static_cast<swf::CharacterId>(id)))
            (void)swf::morphShapeAt(*morph, 0.5);
    }
    QuietHost host;
    runtime::MoviePlayer player(*movie, host);
    for (int frame = 0; frame < 4; ++frame) {
        fuzzinput::frame(player, frame);
        player.advance();
        (void)player.buildDrawList();
    }
    return 0;
}
