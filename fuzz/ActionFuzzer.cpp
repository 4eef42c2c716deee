// libFuzzer target: byte code through the interpreter. The input's first byte picks the
// movie's version (5 to 10), the rest is the code of a DoAction on the first frame of a
// small movie with a clip named "clip", played for a few frames with the interpreter
// attached. A short time budget and a low recursion cap end a runaway block quickly,
// and a cap on the actions of one step ends code that keeps re-queueing itself (a frame
// script jumping back to its own frame), which the player's own per-step cap allows to
// run for seconds, minutes under the sanitizers. Scripts that load files get them from
// the host: a movie name gets the same small movie back (so loading, levels and the
// loaded movie's code run), any other name the input's own bytes (so the XML, variables
// and style-sheet readers see untrusted text). Any crash, hang, sanitizer report or
// runaway allocation is a finding.
#include "ActionWriter.h"
#include "PlayerInput.h"
#include "avm1/Bytecode.h"
#include "avm1/Engine.h"
#include "format/Movie.h"
#include "runtime/MoviePlayer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace {

// Serves every file a script asks for, as described above.
class FileServingHost : public runtime::Host {
public:
    FileServingHost(std::vector<std::uint8_t> movie, std::span<const std::uint8_t> text)
        : m_movie(std::move(movie)), m_text(text.begin(), text.end())
    {}

    swf::Result<std::vector<std::uint8_t>> fetchFile(std::string_view url,
                                                     std::size_t maxBytes) override
    {
        const bool wantsMovie = url.size() >= 4 && url.substr(url.size() - 4) == ".swf";
        const std::vector<std::uint8_t>& bytes = wantsMovie ? m_movie : m_text;
        if (bytes.size() > maxBytes)
            return swf::makeError(swf::ErrorCode::CannotOpen, "too large");
        return bytes;
    }

private:
    std::vector<std::uint8_t> m_movie;
    std::vector<std::uint8_t> m_text;
};

// Actions one step may run here, far below the player's cap.
constexpr std::size_t kActionsPerStep = 50'000;

// Stands between the player and the interpreter, dropping the blocks of a step once it
// has run its share of actions.
class StepBudget final : public runtime::ScriptEngine {
public:
    explicit StepBudget(avm1::Engine& engine) : m_engine(engine) {}

    std::size_t runAction(const runtime::QueuedAction& action) override
    {
        if (m_executed >= kActionsPerStep)
            return 0;
        const std::size_t executed = m_engine.runAction(action);
        m_executed += executed;
        return executed;
    }
    void objectCreated(runtime::DisplayObject& object) override { m_engine.objectCreated(object); }
    void objectRemoved(runtime::DisplayObject& object) override { m_engine.objectRemoved(object); }
    bool hasUnloadHandler(const runtime::DisplayObject& clip) const override
    {
        return m_engine.hasUnloadHandler(clip);
    }
    void stepFinished() override
    {
        m_executed = 0;
        m_engine.stepFinished();
    }

private:
    avm1::Engine& m_engine;
    std::size_t m_executed = 0;
};

std::vector<std::uint8_t> movieAround(int version, std::span<const std::uint8_t> code)
{
    swfwriter::MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes();
    swfwriter::TagList inner;
    inner.showFrame();
    inner.showFrame();
    movie.defineSprite(1, inner);
    swfwriter::Place place;
    place.depth = 1;
    place.characterId = 1;
    place.name = "clip";
    movie.place2(place);
    movie.frameLabel("start");
    movie.doAction(std::vector<std::uint8_t>(code.begin(), code.end()));
    movie.showFrame();
    movie.showFrame();
    movie.showFrame();
    return movie.bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int version = 5 + data[0] % 6;
    const std::span<const std::uint8_t> code(data + 1, size - 1);
    std::vector<std::uint8_t> bytes = movieAround(version, code);
    auto movie = swf::loadMovie(bytes);
    if (!movie)
        return 0;
    FileServingHost host(std::move(bytes), code);
    runtime::MoviePlayer player(*movie, host);
    avm1::Engine engine(player, host);
    engine.vm().setTimeBudget(0.05);
    engine.vm().setMaxRecursion(32);
    StepBudget budget(engine);
    player.setScriptEngine(&budget);
    // The disassembler reads the same untrusted bytes.
    (void)avm1::disassembleCode(engine.vm(), code, version);
    player.runActions();
    for (int frame = 0; frame < 6; ++frame) {
        fuzzinput::frame(player, frame);
        player.advance();
        (void)player.buildDrawList();
    }
    return 0;
}
