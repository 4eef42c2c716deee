#include "Headless.h"

#include "AudioRecorder.h"
#include "Disassembly.h"
#include "InputPlayback.h"
#include "format/Movie.h"
#include "player/ChosenFiles.h"
#include "player/MovieLoader.h"
#include "player/ScriptEngines.h"
#include "player/ViewTransform.h"
#include "render/DeviceFonts.h"
#include "render/ScriptRasterizer.h"
#include "render/StageRenderer.h"
#include "runtime/Host.h"
#include "runtime/MoviePlayer.h"

#include <QFileInfo>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace swfrun {

namespace {

// The movie's trace output goes to standard output, a line each; the diagnostics asked
// for go to standard error, so that standard output holds the trace alone.
class ConsoleHost : public runtime::Host {
public:
    ConsoleHost(const LogSelection& log, swf::ImportFetcher files, AudioRecorder& audio,
                std::string fileDialog)
        : m_log(log), m_files(std::move(files)), m_audio(audio),
          m_fileDialog(fileDialog == "cancel" ? std::string() : std::move(fileDialog))
    {}

    void trace(std::string_view line) override
    {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    bool logEnabled(runtime::LogCategory category) const override { return m_log.has(category); }
    void log(runtime::LogCategory category, std::string_view message) override
    {
        const std::string line = logLine(category, message) + '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    // The files beside the movie, as its imports are found.
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override
    {
        return m_files(std::string(url), maxBytes);
    }
    std::shared_ptr<const runtime::FontMetrics> deviceFont(std::string_view family, bool bold,
                                                           bool italic) override
    {
        return render::DeviceFonts::shared().metrics(std::string(family), bold, italic);
    }
    runtime::AudioSink* audioSink() override { return &m_audio; }
    runtime::BitmapRasterizer* bitmapRasterizer() override { return &m_rasterizer; }
    // A run here stands for the standalone player, where a movie may quit.
    bool honoursQuit() const override { return true; }
    // Each dialog answers at once with --file-dialog's file, or is cancelled.
    std::uint32_t openFileDialog(const runtime::FileDialogRequest& request) override
    {
        runtime::FileDialogAnswer answer;
        if (!m_fileDialog.empty()) {
            const bool opening = request.kind != runtime::FileDialogRequest::Kind::Save;
            if (auto file =
                    player::chosenFile(QString::fromLocal8Bit(m_fileDialog.c_str()), opening))
                answer.files.push_back(std::move(*file));
        }
        m_answer = std::move(answer);
        return ++m_ticket;
    }
    std::optional<runtime::FileDialogAnswer> fileDialogAnswer(std::uint32_t) override
    {
        return m_answer;
    }
    bool writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes) override
    {
        return player::writeChosenFile(QString::fromUtf8(path.data(), qsizetype(path.size())),
                                       bytes);
    }

private:
    LogSelection m_log;
    swf::ImportFetcher m_files;
    AudioRecorder& m_audio;
    render::ScriptRasterizer m_rasterizer;
    std::string m_fileDialog; // empty: cancel
    std::uint32_t m_ticket = 0;
    runtime::FileDialogAnswer m_answer; // of the one dialog open at a time
};

void fail(const std::string& movie, const std::string& message)
{
    std::fprintf(stderr, "swfrun: %s: %s\n", movie.c_str(), message.c_str());
}

int devicePixels(double pixels, double scale)
{
    return std::clamp(static_cast<int>(std::lround(pixels * scale)), 1, kMaxPictureSide);
}

// With a viewport, the picture is the viewport in device pixels and shows the stage whole,
// centred, as a window shows a movie by default.
QSize viewportSize(const Options& options)
{
    return {devicePixels(options.viewportWidth, options.scale),
            devicePixels(options.viewportHeight, options.scale)};
}

// Without one, it is the stage itself at the scale.
QSize stageSize(const Options& options, const swf::Rect& stage)
{
    return {devicePixels(stage.width().pixels(), options.scale),
            devicePixels(stage.height().pixels(), options.scale)};
}

QTransform stageView(const Options& options, const swf::Rect& stage)
{
    QTransform view;
    view.scale(options.scale / swf::Twips::kPerPixel, options.scale / swf::Twips::kPerPixel);
    view.translate(-stage.xMin.value, -stage.yMin.value);
    return view;
}

// The stage in the viewport's pixels, placed as the movie's stage settings say (show-all
// and centred unless its scripts change them).
QTransform viewportView(const Options& options, const runtime::MoviePlayer& movie)
{
    const QSizeF viewport(options.viewportWidth, options.viewportHeight);
    return player::stageToView(movie.stage(), viewport, movie.stageView());
}

// Input events give the pointer in the viewport's pixels, or the stage's without one.
QTransform pointerToStage(const Options& options, const runtime::MoviePlayer& movie)
{
    const swf::Rect stage = movie.stage();
    if (options.viewportWidth > 0 && options.viewportHeight > 0)
        return viewportView(options, movie).inverted();
    QTransform toStage;
    toStage.translate(stage.xMin.value, stage.yMin.value);
    toStage.scale(swf::Twips::kPerPixel, swf::Twips::kPerPixel);
    return toStage;
}

} // namespace

int run(const Options& options)
{
    const QString path = QString::fromLocal8Bit(options.movie.c_str());
    auto loaded = player::loadMovieFile(path);
    if (!loaded) {
        fail(options.movie, loaded.error().message());
        return 1;
    }
    if (options.disassemble) {
        const std::string text = disassembleMovie(**loaded);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    InputScript input;
    if (!options.input.empty()) {
        input = readInputScript(options.input);
        if (!input.error.empty()) {
            fail(options.input, input.error);
            return 1;
        }
    }
    // Sounds play at the movie's frame timing whether or not a file keeps them, so that
    // scripts see them progress and end.
    AudioRecorder audio(!options.wav.empty());
    ConsoleHost host(options.log, player::importFetcherFor(QFileInfo(path).absolutePath()), audio,
                     options.fileDialog);
    runtime::MoviePlayer movie(*loaded, host);
    // Scripts see the movie as a file at the root (_url, and the addresses of the movies
    // it loads), wherever it lies: a run prints the same in any folder.
    movie.setMovieUrl("file:///" + QFileInfo(path).fileName().toStdString());
    if (options.maxExecutionSeconds > 0)
        movie.setScriptTimeout(options.maxExecutionSeconds);
    const auto scripts = player::makeScriptEngine(movie, host);
    if (options.viewportWidth > 0 && options.viewportHeight > 0)
        movie.setViewport(options.viewportWidth, options.viewportHeight);
    movie.runActions();
    playWithInput(movie, options.frames, input.events, pointerToStage(options, movie),
                  [&] { audio.pullFrame(movie.frameRate()); });
    std::fflush(stdout);
    if (!options.wav.empty() && !audio.writeWav(options.wav)) {
        fail(options.wav, "cannot write the sound");
        return 1;
    }
    if (options.png.empty())
        return 0;

    const swf::Rect stage = movie.stage();
    const bool inViewport = options.viewportWidth > 0 && options.viewportHeight > 0;
    QImage picture(inViewport ? viewportSize(options) : stageSize(options, stage),
                   QImage::Format_ARGB32_Premultiplied);
    const QTransform view = inViewport ? viewportView(options, movie) *
                                             QTransform::fromScale(options.scale, options.scale)
                                       : stageView(options, stage);
    render::StageRenderer renderer;
    renderer.render(movie.buildDrawList(), picture, view, options.quality);
    if (!picture.convertToFormat(QImage::Format_RGB32)
             .save(QString::fromLocal8Bit(options.png.c_str()), "PNG")) {
        fail(options.png, "cannot write the picture");
        return 1;
    }
    return 0;
}

} // namespace swfrun
