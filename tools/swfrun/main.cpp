// swfrun: plays a movie headless for a number of frames, writes the movie's trace output
// to standard output and, if asked, the last frame as a PNG file.
//     swfrun [--frames N] [--png FILE] MOVIE.swf
#include "Headless.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: swfrun [--frames N] [--png FILE] MOVIE.swf\n");
    return 2;
}

// Standard error carries only this tool's own line: Qt's notices are dropped.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "swfrun: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char** argv)
{
    swfrun::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frames" && i + 1 < argc) {
            char* end = nullptr;
            const long frames = std::strtol(argv[++i], &end, 10);
            if (!end || *end || frames < 1)
                return usage();
            options.frames = frames;
        } else if (arg == "--png" && i + 1 < argc) {
            options.png = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else if (options.movie.empty()) {
            options.movie = arg;
        } else {
            return usage();
        }
    }
    if (options.movie.empty())
        return usage();

    // Text drawing needs a GUI application; this tool never opens a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    int qtArgc = 1;
    char name[] = "swfrun";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    return swfrun::run(options);
}
