#pragma once

#include "Limits.h"
#include "format/Movie.h"

#include <optional>

namespace runtime {

// The bounds a movie's scripts run within: how deeply functions may nest and how long
// one block may run before the player offers to stop it. The interpreter enforces them;
// the runtime only works out which apply.
struct ScriptLimits {
    int maxRecursionDepth = limits::kDefaultMaxRecursionDepth;
    double timeoutSeconds = limits::kDefaultScriptTimeoutSeconds;
};

// The movie's ScriptLimits tag over the defaults, and the host's time budget (swfrun's
// --max-execution-seconds) over both.
inline ScriptLimits resolveScriptLimits(const swf::MovieDefinition& movie,
                                        std::optional<double> hostTimeoutSeconds)
{
    ScriptLimits result;
    if (movie.scriptLimits) {
        // Leniency: a tag asking for no recursion at all, or no time at all, would stop
        // every script; such a field keeps the default.
        if (movie.scriptLimits->maxRecursionDepth > 0)
            result.maxRecursionDepth = movie.scriptLimits->maxRecursionDepth;
        if (movie.scriptLimits->scriptTimeoutSeconds > 0)
            result.timeoutSeconds = movie.scriptLimits->scriptTimeoutSeconds;
    }
    if (hostTimeoutSeconds && *hostTimeoutSeconds > 0)
        result.timeoutSeconds = *hostTimeoutSeconds;
    return result;
}

} // namespace runtime
