// swfrun: plays a movie headless for a number of frames, writes the movie's trace output
// to standard output and, if asked, the last frame as a PNG file (see usageText()).
#include "Headless.h"
#include "Options.h"

#include <QGuiApplication>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "%s\n", swfrun::usageText());
    return 2;
}

bool asksForHelp(int argc, char** argv)
{
    return argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h");
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
    if (asksForHelp(argc, argv)) {
        std::printf("%s\n", swfrun::usageText());
        return 0;
    }
    const auto options = swfrun::parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (!options)
        return usage();

    // Text drawing needs a GUI application; this tool never opens a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    int qtArgc = 1;
    char name[] = "swfrun";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    return swfrun::run(*options);
}
