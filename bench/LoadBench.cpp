// Loading benchmark: reading, decompressing and parsing a large generated movie on one
// core, in megabytes of uncompressed data a second, and the peak memory of one load
// against its goal (twice the uncompressed size plus 64 MB).
//     bench-load [MEGABYTES]
#include "BitmapWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "format/ByteBuffer.h"
#include "format/Limits.h"
#include "format/Movie.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace swfwriter;

namespace {

// A movie like a long animation: many shapes with curves and gradients, bitmaps,
// sprites placing them, and frames moving them, until it holds `megabytes` of data.
MovieWriter makeMovie(double megabytes)
{
    MovieWriter movie(10, 1280, 720, 30);
    movie.fileAttributes();
    std::uint16_t id = 1;
    std::size_t written = 0;
    const auto target = static_cast<std::size_t>(megabytes * 1024 * 1024);
    unsigned seed = 7;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % unsigned(range));
    };
    while (written < target && id < 60000) {
        if (id % 50 == 0) {
            auto bitmap = LosslessBitmap::pix24(2, Image::filled(64, 64, {90, 120, 200, 255}));
            bitmap.id = id;
            const auto body = bitmap.body();
            written += body.size();
            movie.add(bitmap.tagCode(), body);
        } else {
            ShapeWriter shape(3);
            const int fill =
                id % 5 == 0 ? shape.addFill(FillStyle::linear(
                                  {{0, {255, 0, 0}}, {255, {0, 0, 255}}}, Matrix::scale(0.1, 0.1)))
                            : shape.addFill(FillStyle::solid({std::uint8_t(next(256)), 100, 50}));
            LineStyle line;
            line.width = 20;
            shape.addLine(line);
            // An outline walked in small steps, as drawn artwork is: its edges are
            // short and alike, and compress as real movies do.
            int x = 0, y = 0;
            shape.fill1(fill).line(1).moveTo(0, 0);
            for (int edge = 0; edge < 400; ++edge) {
                const int dx = 40 * (next(9) - 4), dy = 40 * (next(9) - 4);
                if (edge % 2)
                    shape.curveTo(x + dx / 2, y + dy, x + dx, y + dy);
                else
                    shape.lineTo(x + dx, y + dy);
                x += dx;
                y += dy;
            }
            shape.lineTo(0, 0);
            const auto body = shape.body(id);
            written += body.size();
            movie.add(shape.tagCode(), body);
        }
        if (id % 100 == 0) {
            TagList frames;
            for (int f = 0; f < 10; ++f) {
                Place place;
                place.depth = 1;
                if (f == 0)
                    place.characterId = static_cast<std::uint16_t>(id - 1);
                else
                    place.move = true;
                place.matrix = Matrix::translate(f * 100, f * 50);
                frames.place2(place);
                frames.showFrame();
            }
            ++id;
            movie.defineSprite(id, frames);
            Place place;
            place.depth = static_cast<std::uint16_t>(id % 1000 + 1);
            place.characterId = id;
            movie.place2(place);
            movie.showFrame();
        }
        ++id;
    }
    movie.showFrame();
    return movie;
}

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
    }
    return bytes;
}

// The peak resident memory of a process that loads the movie once and does nothing
// else: this program run again with --load-once.
long peakOfOneLoad(const std::string& path)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return -1;
    const std::string command = std::string("'") + self + "' --load-once '" + path + "'";
    std::FILE* child = popen(command.c_str(), "r");
    if (!child)
        return -1;
    long peak = -1;
    if (std::fscanf(child, "%ld", &peak) != 1)
        peak = -1;
    pclose(child);
    return peak;
}

int loadOnce(const std::string& path)
{
    {
        swf::MappedFile mapped(path.c_str(), swf::limits::kMaxMovieBytes);
        auto file = swf::decodeMovieFile(mapped.bytes());
        mapped.close();
        if (!file)
            return 1;
        auto movie = swf::parseMovie(*file);
        if (!movie)
            return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--load-once")
        return loadOnce(argv[2]);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 128;
    const std::string path = "/tmp/reelvane-load-bench.swf";
    const MovieWriter movie = makeMovie(megabytes);
    if (!movie.writeFile(path, Compression::Zlib)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    double uncompressedMiB = 0;
    std::vector<double> rates;
    double readMs = 0, decodeMs = 0, parseMs = 0;
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        swf::MappedFile mapped(path.c_str(), swf::limits::kMaxMovieBytes);
        const auto read = Clock::now();
        auto file = swf::decodeMovieFile(mapped.bytes());
        mapped.close();
        const auto decoded = Clock::now();
        if (!file) {
            std::fprintf(stderr, "%s\n", file.error().message().c_str());
            return 1;
        }
        auto parsed = swf::parseMovie(*file);
        const auto end = Clock::now();
        const double seconds = ms(start, end) / 1000;
        readMs += ms(start, read) / 5;
        decodeMs += ms(read, decoded) / 5;
        parseMs += ms(decoded, end) / 5;
        if (!parsed || !(*parsed)->complete) {
            std::fprintf(stderr, "the movie did not load whole\n");
            return 1;
        }
        uncompressedMiB = double(file->bytes().size() + 8) / (1024 * 1024);
        rates.push_back(uncompressedMiB / seconds);
    }
    std::sort(rates.begin(), rates.end());
    const double peakMiB = peakOfOneLoad(path) / 1024.0;
    std::printf("movie: %.1f MiB uncompressed, %.1f MiB compressed (zlib)\n", uncompressedMiB,
                double(readFile(path).size()) / (1024 * 1024));
    std::printf("load (read, decompress, parse), one core: median %.0f MiB/s, best %.0f MiB/s"
                "   goal >= 200 MB/s\n",
                rates[rates.size() / 2], rates.back());
    std::printf(
        "  of which, mean: mapping the file %.1f ms, decompressing %.1f ms, parsing %.1f ms\n",
        readMs, decodeMs, parseMs);
    std::printf("peak memory of a process loading it once: %.0f MiB   goal < %.0f MiB (2 x "
                "uncompressed + 64 MB)\n",
                peakMiB, 2 * uncompressedMiB + 64);
    std::remove(path.c_str());
    return 0;
}
