#pragma once

#include <string_view>

namespace avm1 {

// What the VM needs from whoever runs it, beyond the movie's clips: the trace output,
// the diagnostic log and the clock. The engine implements it over runtime::Host.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    virtual void trace(std::string_view line) = 0;
    virtual bool logEnabled() const { return false; }
    virtual void log(std::string_view /*message*/) {}
    // Milliseconds since the movie started (getTimer, GetTime).
    virtual double elapsedMilliseconds() const { return 0; }
    // Milliseconds since 1970-01-01 UTC, and the local zone's offset from UTC in
    // minutes at that time (Date).
    virtual double currentTimeMilliseconds() const;
    virtual double localOffsetMinutes(double utcMilliseconds) const;
};

} // namespace avm1
