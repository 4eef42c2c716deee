#include "ScriptRun.h"

#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

namespace scriptrun {

namespace {

class TraceHost : public runtime::Host {
public:
    void trace(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

} // namespace

std::vector<std::string> traces(const swfwriter::MovieWriter& movie, const Options& options)
{
    const std::vector<std::uint8_t> bytes = movie.bytes();
    auto loaded = swf::loadMovie(bytes);
    if (!loaded)
        return {"<load failed: " + loaded.error().message() + ">"};
    TraceHost host;
    runtime::MoviePlayer player(*loaded, host);
    avm1::Engine engine(player, host);
    engine.vm().setTimeBudget(options.timeBudgetSeconds);
    player.runActions();
    for (int frame = 1; frame < options.frames; ++frame)
        player.advance();
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
