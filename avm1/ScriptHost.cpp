#include "ScriptHost.h"

#include "script/date/LocalTime.h"

namespace avm1 {

double ScriptHost::currentTimeMilliseconds() const
{
    return script::date::systemTimeMilliseconds();
}

double ScriptHost::localOffsetMinutes(double utcMilliseconds) const
{
    return script::date::systemOffsetMinutes(utcMilliseconds);
}

} // namespace avm1
