// Writes the demo folder's sample movies with the project's own SWF writer:
//     make-demo-movies FOLDER
#include "MovieWriter.h"
#include "MusicBoxMovie.h"
#include "ShapeWriter.h"
#include "SketchPadMovie.h"
#include "VideoDemoMovie.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

using namespace swfwriter;

namespace {

constexpr double kPi = 3.14159265358979;

// Squares of four colours circling the stage.
MovieWriter circlingSquares()
{
    MovieWriter movie(8, 550, 400, 30);
    movie.fileAttributes();
    movie.setBackground({0x20, 0x24, 0x30});
    const Color colours[] = {
        {0xff, 0x50, 0x50}, {0x50, 0xd0, 0x60}, {0x50, 0x80, 0xff}, {0xff, 0xd0, 0x40}};
    for (std::uint16_t i = 0; i < 4; ++i) {
        ShapeWriter shape(3);
        const int fill = shape.addFill(FillStyle::solid(colours[i]));
        shape.fill1(fill).rect(-600, -600, 1200, 1200);
        movie.add(shape.tagCode(), shape.body(static_cast<std::uint16_t>(i + 1)));
    }
    const int frames = 120;
    for (int f = 0; f < frames; ++f) {
        for (std::uint16_t i = 0; i < 4; ++i) {
            const double angle = 2 * kPi * (f / double(frames) + i / 4.0);
            Place place;
            place.depth = static_cast<std::uint16_t>(i + 1);
            if (f == 0)
                place.characterId = static_cast<std::uint16_t>(i + 1);
            else
                place.move = true;
            const double c = std::cos(angle * 2), s = std::sin(angle * 2);
            place.matrix = Matrix{c,
                                  s,
                                  -s,
                                  c,
                                  static_cast<std::int32_t>(5500 + 3000 * std::cos(angle)),
                                  static_cast<std::int32_t>(4000 + 2400 * std::sin(angle))};
            movie.place2(place);
        }
        movie.showFrame();
    }
    return movie;
}

// Horizontal bands of colour, one for each frame, a simple test card.
MovieWriter colourBands(int parts)
{
    MovieWriter movie(6, 640, 360, 12);
    movie.setBackground({0xf0, 0xf0, 0xf0});
    for (int i = 0; i < parts; ++i) {
        ShapeWriter shape(1);
        const auto shade = static_cast<std::uint8_t>(40 + 200 * i / std::max(1, parts - 1));
        const int fill =
            shape.addFill(FillStyle::solid({shade, static_cast<std::uint8_t>(255 - shade), 160}));
        shape.fill1(fill).rect(0, 0, 12800, 7200 / parts);
        movie.add(shape.tagCode(), shape.body(static_cast<std::uint16_t>(i + 1)));
        Place place;
        place.depth = static_cast<std::uint16_t>(i + 1);
        place.characterId = static_cast<std::uint16_t>(i + 1);
        place.matrix = Matrix::translate(0, i * 7200 / parts);
        movie.place2(place);
        movie.showFrame();
    }
    return movie;
}

// A radial gradient disc that pulses.
MovieWriter pulsingDisc()
{
    MovieWriter movie(8, 400, 400, 24);
    movie.setBackground({0, 0, 0});
    ShapeWriter shape(3);
    const int fill = shape.addFill(FillStyle::radial(
        {{0, {0xff, 0xff, 0xa0}}, {128, {0xff, 0x40, 0x20}}, {255, {0x30, 0, 0x60}}},
        Matrix::scale(0.15, 0.15)));
    shape.fill1(fill)
        .moveTo(-2400, 0)
        .curveTo(-2400, -2400, 0, -2400)
        .curveTo(2400, -2400, 2400, 0)
        .curveTo(2400, 2400, 0, 2400)
        .curveTo(-2400, 2400, -2400, 0);
    movie.add(shape.tagCode(), shape.body(1));
    for (int f = 0; f < 48; ++f) {
        const double scale = 1.0 + 0.4 * std::sin(2 * kPi * f / 48);
        Place place;
        place.depth = 1;
        if (f == 0)
            place.characterId = 1;
        else
            place.move = true;
        place.matrix = Matrix::scale(scale, scale, 4000, 4000);
        movie.place2(place);
        movie.showFrame();
    }
    return movie;
}

bool write(const MovieWriter& movie, const std::string& folder, const std::string& name,
           Compression compression)
{
    const std::string path = folder + "/" + name;
    if (!movie.writeFile(path, compression)) {
        std::fprintf(stderr, "make-demo-movies: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-demo-movies FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = write(circlingSquares(), folder, "Circling Squares.swf", Compression::Zlib);
    ok &= write(pulsingDisc(), folder, "Pulsing Disc.swf", Compression::Lzma);
    ok &= write(colourBands(2), folder, "Test Card Part 2.swf", Compression::None);
    ok &= write(colourBands(10), folder, "Test Card Part 10.swf", Compression::Zlib);
    ok &= write(sketchPad(), folder, "Sketch Pad.swf", Compression::Zlib);
    ok &= write(musicBox(), folder, "Music Box.swf", Compression::Zlib);
    const VideoDemo video = videoDemo("Bouncing Ball.flv");
    if (!video.flv.empty()) {
        ok &= write(video.movie, folder, "Bouncing Ball.swf", Compression::Zlib);
        std::ofstream flv(folder + "/Bouncing Ball.flv", std::ios::binary);
        flv.write(reinterpret_cast<const char*>(video.flv.data()),
                  std::streamsize(video.flv.size()));
        ok &= bool(flv);
    }
    return ok ? 0 : 1;
}
