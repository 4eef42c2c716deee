// Links in text fields that call scripts: an address "asfunction:name,argument" calls
// the function `name` (a name, or a path to one: "clip.name") as seen from the field's
// timeline, else from _global, with the text after the first comma as its one
// argument (none without a comma). The function runs on the object it was found on.
#include "Engine.h"
#include "TargetPaths.h"
#include "runtime/ContainerObject.h"

#include <string>

namespace avm1 {

std::size_t Engine::runTextLink(const runtime::QueuedAction& action)
{
    if (!action.target || !action.target->parent())
        return 0;
    const std::string& call = action.url;
    const std::size_t comma = call.find(',');
    const std::string name = call.substr(0, comma);
    if (name.empty())
        return 0;
    Object* holder = m_clips->wrap(action.target->parent());
    std::string member = name;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        holder = holder ? resolveTargetFrom(*m_vm, holder, std::string_view(name).substr(0, dot))
                        : nullptr;
        member = name.substr(dot + 1);
    }
    Value function;
    const auto found = [&](Object* object) {
        Object* callable = nullptr;
        return object && m_vm->lookup(object, m_vm->str(member), function) &&
               (callable = function.objectOrNull()) && callable->isFunction();
    };
    if (!found(holder)) {
        if (dot != std::string::npos || !found(m_vm->global()))
            return 0;
        holder = m_vm->global();
    }
    if (comma == std::string::npos)
        return callHandler(function, holder);
    const Value argument = m_vm->strValue(call.substr(comma + 1));
    return callHandler(function, holder, std::span<const Value>(&argument, 1));
}

} // namespace avm1
