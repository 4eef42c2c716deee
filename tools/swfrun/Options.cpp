#include "Options.h"

#include <charconv>
#include <cmath>

namespace swfrun {

namespace {

// A scale far beyond any screen's would only make pictures no one can hold.
constexpr double kMaxScale = 16;

// Whole-text numbers only: "12x" or " 12" are not numbers here. from_chars ignores the
// locale, so "1.5" reads the same everywhere.
template <typename Number> std::optional<Number> number(std::string_view text)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<render::Quality> quality(std::string_view name)
{
    if (name == "low")
        return render::Quality::Low;
    if (name == "medium")
        return render::Quality::Medium;
    // The renderer has no finer setting than high; best draws as high.
    if (name == "high" || name == "best")
        return render::Quality::High;
    return std::nullopt;
}

bool readViewport(std::string_view text, Options& options)
{
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos)
        return false;
    const auto width = number<int>(text.substr(0, cross));
    const auto height = number<int>(text.substr(cross + 1));
    if (!width || !height || *width < 1 || *height < 1 || *width > kMaxPictureSide ||
        *height > kMaxPictureSide)
        return false;
    options.viewportWidth = *width;
    options.viewportHeight = *height;
    return true;
}

// Every option but the movie takes one value.
bool readOption(std::string_view name, std::string_view value, Options& options)
{
    if (name == "--frames") {
        const auto frames = number<long>(value);
        if (!frames || *frames < 1)
            return false;
        options.frames = *frames;
    } else if (name == "--png" || name == "--input" || name == "--wav" || name == "--file-dialog") {
        if (value.empty())
            return false;
        (name == "--png"           ? options.png
         : name == "--wav"         ? options.wav
         : name == "--file-dialog" ? options.fileDialog
                                   : options.input) = std::string(value);
    } else if (name == "--viewport") {
        return readViewport(value, options);
    } else if (name == "--scale") {
        const auto scale = number<double>(value);
        if (!scale || !(*scale > 0) || *scale > kMaxScale)
            return false;
        options.scale = *scale;
    } else if (name == "--quality") {
        const auto chosen = quality(value);
        if (!chosen)
            return false;
        options.quality = *chosen;
    } else if (name == "--log") {
        return options.log.add(value);
    } else if (name == "--max-execution-seconds") {
        const auto seconds = number<double>(value);
        if (!seconds || !std::isfinite(*seconds) || !(*seconds > 0))
            return false;
        options.maxExecutionSeconds = *seconds;
    } else {
        return false;
    }
    return true;
}

} // namespace

const char* usageText()
{
    return "usage: swfrun [--frames N] [--png FILE] [--wav FILE] [--quality low|medium|high|best]\n"
           "              [--viewport WxH] [--scale F] [--input FILE]\n"
           "              [--max-execution-seconds S] [--log CATEGORY|all]... [--disasm]\n"
           "              [--file-dialog PATH|cancel]\n"
           "              MOVIE.swf\n"
           "  --file-dialog PATH  every file dialog the movie opens chooses PATH: browse picks\n"
           "                      that file, download saves into it; 'cancel', or no option,\n"
           "                      cancels each dialog";
}

std::optional<Options> parseArguments(const std::vector<std::string>& arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--disasm") {
            options.disassemble = true;
        } else if (!arg.empty() && arg[0] == '-') {
            if (i + 1 >= arguments.size() || !readOption(arg, arguments[i + 1], options))
                return std::nullopt;
            ++i;
        } else if (options.movie.empty() && !arg.empty()) {
            options.movie = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.movie.empty())
        return std::nullopt;
    // The picture's device size must stay within bounds whatever the scale.
    if (options.viewportWidth * options.scale > kMaxPictureSide ||
        options.viewportHeight * options.scale > kMaxPictureSide)
        return std::nullopt;
    return options;
}

} // namespace swfrun
