#include "ScriptEngine.h"

#include "format/Button.h"

namespace runtime {

std::uint32_t clipEventBit(ClipEvent event)
{
    switch (event) {
#define RUNTIME_CLIP_EVENT_BIT(name, bit, method)                                                  \
    case ClipEvent::name:                                                                          \
        return bit;
        RUNTIME_CLIP_EVENT_LIST(RUNTIME_CLIP_EVENT_BIT)
#undef RUNTIME_CLIP_EVENT_BIT
    }
    return 0;
}

const char* clipEventMethod(ClipEvent event)
{
    switch (event) {
#define RUNTIME_CLIP_EVENT_METHOD(name, bit, method)                                               \
    case ClipEvent::name:                                                                          \
        return method;
        RUNTIME_CLIP_EVENT_LIST(RUNTIME_CLIP_EVENT_METHOD)
#undef RUNTIME_CLIP_EVENT_METHOD
    }
    return "";
}

const char* buttonEventMethod(std::uint16_t condition)
{
    switch (condition) {
    case swf::IdleToOverUp:
        return "onRollOver";
    case swf::OverUpToIdle:
        return "onRollOut";
    case swf::OverUpToOverDown:
        return "onPress";
    case swf::OverDownToOverUp:
        return "onRelease";
    case swf::OutDownToIdle:
        return "onReleaseOutside";
    case swf::OverDownToOutDown:
    case swf::OverDownToIdle:
        return "onDragOut";
    case swf::OutDownToOverDown:
    case swf::IdleToOverDown:
        return "onDragOver";
    default:
        return "";
    }
}

} // namespace runtime
