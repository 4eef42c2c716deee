#include "Headless.h"

#include "format/Movie.h"
#include "player/MovieLoader.h"
#include "render/StageRenderer.h"
#include "runtime/Host.h"
#include "runtime/MoviePlayer.h"

#include <QImage>
#include <QString>
#include <cmath>
#include <cstdio>

namespace swfrun {

namespace {

// The movie's trace output goes to standard output, a line each.
class ConsoleHost : public runtime::Host {
public:
    void trace(std::string_view line) override
    {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
};

void fail(const std::string& movie, const std::string& message)
{
    std::fprintf(stderr, "swfrun: %s: %s\n", movie.c_str(), message.c_str());
}

} // namespace

int run(const Options& options)
{
    auto loaded = player::loadMovieFile(QString::fromLocal8Bit(options.movie.c_str()));
    if (!loaded) {
        fail(options.movie, loaded.error().message());
        return 1;
    }
    ConsoleHost host;
    runtime::MoviePlayer movie(*loaded, host);
    for (long frame = 1; frame < options.frames; ++frame)
        movie.advance();
    std::fflush(stdout);
    if (options.png.empty())
        return 0;

    // The stage at its own size, on the movie's own background.
    const swf::Rect stage = movie.stage();
    const int width = std::max(1, static_cast<int>(std::lround(stage.width().pixels())));
    const int height = std::max(1, static_cast<int>(std::lround(stage.height().pixels())));
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    QTransform view;
    view.scale(1.0 / swf::Twips::kPerPixel, 1.0 / swf::Twips::kPerPixel);
    view.translate(-stage.xMin.value, -stage.yMin.value);
    render::StageRenderer renderer;
    renderer.render(movie.buildDrawList(), picture, view, render::Quality::High);
    if (!picture.convertToFormat(QImage::Format_RGB32)
             .save(QString::fromLocal8Bit(options.png.c_str()), "PNG")) {
        fail(options.png, "cannot write the picture");
        return 1;
    }
    return 0;
}

} // namespace swfrun
