#include "ScriptEngines.h"

#include "avm1/Engine.h"
#include "avm2/Engine.h"
#include "runtime/MoviePlayer.h"

namespace player {

std::unique_ptr<runtime::ScriptEngine> makeScriptEngine(runtime::MoviePlayer& movie,
                                                        runtime::Host& host)
{
    if (movie.movie().attributes.actionScript3)
        return std::make_unique<avm2::Engine>(movie, host);
    return std::make_unique<avm1::Engine>(movie, host);
}

} // namespace player
