#include "ScriptEngine.h"

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

} // namespace runtime
