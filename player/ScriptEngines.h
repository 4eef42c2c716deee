#pragma once

// The script machine a movie runs under: ActionScript 3 when its FileAttributes tag
// says so, ActionScript 1 and 2 otherwise. The engine attaches itself to the player.
#include "runtime/Host.h"
#include "runtime/ScriptEngine.h"

#include <memory>

namespace runtime {
class MoviePlayer;
} // namespace runtime

namespace player {

std::unique_ptr<runtime::ScriptEngine> makeScriptEngine(runtime::MoviePlayer& movie,
                                                        runtime::Host& host);

} // namespace player
