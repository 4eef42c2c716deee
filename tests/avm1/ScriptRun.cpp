#include "ScriptRun.h"

#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

namespace scriptrun {

namespace {

class TraceHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override
    {
        // A query names no file, as the player's hosts read urls.
        auto it = files.find(std::string(url.substr(0, url.find('?'))));
        if (it == files.end())
            return swf::makeError(swf::ErrorCode::CannotOpen, "no such file");
        if (it->second.size() > maxBytes)
            return swf::makeError(swf::ErrorCode::TooLarge);
        return std::vector<std::uint8_t>(it->second.begin(), it->second.end());
    }
    bool logEnabled(runtime::LogCategory) const override { return diagnostics != nullptr; }
    void log(runtime::LogCategory, std::string_view message) override
    {
        if (diagnostics)
            diagnostics->emplace_back(message);
    }
    std::vector<std::string> lines;
    std::map<std::string, std::string> files;
    bool honoursQuit() const override { return quits; }
    std::vector<std::string>* diagnostics = nullptr;
    bool quits = true;
};

} // namespace

std::vector<std::string> traces(const swfwriter::MovieWriter& movie, const Options& options)
{
    const std::vector<std::uint8_t> bytes = movie.bytes();
    auto loaded = swf::loadMovie(bytes);
    if (!loaded)
        return {"<load failed: " + loaded.error().message() + ">"};
    TraceHost host;
    host.files = options.files;
    host.diagnostics = options.diagnostics;
    host.quits = options.honoursQuit;
    runtime::MoviePlayer player(*loaded, host);
    if (!options.movieUrl.empty())
        player.setMovieUrl(options.movieUrl);
    avm1::Engine engine(player, host);
    engine.vm().setTimeBudget(options.timeBudgetSeconds);
    player.runActions();
    for (int frame = 1; frame < options.frames; ++frame)
        player.advance();
    if (options.inspect)
        options.inspect(player);
    return host.lines;
}

std::vector<std::string> run(int version, const swfwriter::ActionWriter& code,
                             const Options& options)
{
    return traces(swfwriter::scriptMovie(version, code), options);
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += '\n';
        out += lines[i];
    }
    return out;
}

} // namespace scriptrun
