// Interpreter: variables by name and target paths.
#include "Interpreter.h"

#include "ClipObject.h"
#include "ScriptFunction.h"
#include "TargetPaths.h"
#include "Vm.h"

namespace avm1 {

namespace {

// The timeline whose variables code sees. A tellTarget that named nothing leaves no
// target: variables are then the main timeline's. A clip removed under running code
// is addressed by its path, and when nothing stands there, a method falls back to the
// clip it was called on and everything else to the main timeline.
Object* scopeTimeline(const Activation& frame, Object* root)
{
    Object* target = frame.target;
    if (!target)
        return root;
    ClipObject* clip = asClip(target);
    if (!clip || !clip->isGone())
        return target;
    if (ClipObject* live = clip->live())
        return live;
    if (frame.function) {
        if (ClipObject* self = asClip(frame.thisValue.objectOrNull()); self && self->live())
            return self->live();
    }
    return root;
}

// Where a variable path's name splits from its path: the last ":" or (from SWF 5) ".".
std::size_t variableSplit(std::string_view name, int swfVersion)
{
    return name.find_last_of(swfVersion >= 5 ? ":." : ":");
}

} // namespace

Value Interpreter::lookupScoped(Activation& frame, String* name, bool& found)
{
    found = true;
    const CommonNames& names = m_vm.names();
    const CaseRule rule = m_vm.caseRule();
    // DefineFunction2 bodies hold "this" as a local or in a register, or not at all
    // (suppressed, or preloaded into a register only): the name is then an ordinary
    // one. Everywhere else it is the activation's this.
    const bool function2 = frame.function && frame.function->def().isFunction2;
    if (!function2 && sameKey(name, names.thisName, rule))
        return frame.thisValue;
    if (sameKey(name, names.global, rule) && m_vm.swfVersion() >= 6)
        return Value(m_vm.global());
    Value out;
    for (auto it = frame.withStack.rbegin(); it != frame.withStack.rend(); ++it)
        if (it->object && m_vm.lookup(it->object, name, out))
            return out;
    if (frame.locals && m_vm.lookup(frame.locals, name, out))
        return out;
    if (frame.closure) {
        for (auto it = frame.closure->rbegin(); it != frame.closure->rend(); ++it)
            if (*it && m_vm.lookup(*it, name, out))
                return out;
    }
    if (Object* timeline = scopeTimeline(frame, m_root)) {
        if (m_vm.lookup(timeline, name, out))
            return out;
    }
    if (m_vm.lookup(m_vm.global(), name, out))
        return out;
    found = false;
    return Value();
}

Object* Interpreter::resolveTarget(Activation& frame, std::string_view path)
{
    // An empty path is the current target, which a failed tellTarget leaves empty.
    if (path.empty())
        return frame.target;
    Object* start = frame.target ? frame.target : m_root;
    return walkTargetPath(m_vm, start, m_root, path);
}

Value Interpreter::getPathVariable(Activation& frame, std::string_view name, bool& handled)
{
    handled = true;
    Object* start = scopeTimeline(frame, m_root);
    const std::size_t split = variableSplit(name, m_vm.swfVersion());
    if (split == std::string_view::npos) {
        // A slash path alone names a clip; failing that, it is an ordinary name.
        if (Object* target = walkTargetPath(m_vm, start, m_root, name))
            return Value(target);
        handled = false;
        return Value();
    }
    const ScopeLookup scope = [&](std::string_view first) -> Object* {
        bool found = false;
        return lookupScoped(frame, m_vm.str(first), found).objectOrNull();
    };
    const std::string_view path = name.substr(0, split);
    Object* target = path.empty() ? start : walkTargetPath(m_vm, start, m_root, path, &scope);
    if (!target)
        return Value();
    return m_vm.getMember(target, m_vm.str(name.substr(split + 1)));
}

Value Interpreter::getVariable(Activation& frame, String* name)
{
    const std::string_view text = name->view();
    if (text.find_first_of(":/.") != std::string_view::npos) {
        bool handled = false;
        Value v = getPathVariable(frame, text, handled);
        if (handled)
            return v;
    }
    bool found = false;
    return lookupScoped(frame, name, found);
}

void Interpreter::setVariable(Activation& frame, String* name, Value value)
{
    const std::string_view text = name->view();
    const CaseRule rule = m_vm.caseRule();
    Object* timeline = scopeTimeline(frame, m_root);
    if (const std::size_t split = variableSplit(text, m_vm.swfVersion());
        split != std::string_view::npos) {
        const ScopeLookup scope = [&](std::string_view first) -> Object* {
            bool found = false;
            return lookupScoped(frame, m_vm.str(first), found).objectOrNull();
        };
        const std::string_view path = text.substr(0, split);
        Object* target =
            path.empty() ? timeline : walkTargetPath(m_vm, timeline, m_root, path, &scope);
        if (target)
            m_vm.setMember(target, m_vm.str(text.substr(split + 1)), value);
        return;
    }
    for (auto it = frame.withStack.rbegin(); it != frame.withStack.rend(); ++it) {
        if (it->object && m_vm.hasProperty(it->object, name)) {
            m_vm.setMember(it->object, name, value);
            return;
        }
    }
    if (frame.locals && frame.locals->properties().find(name, rule)) {
        m_vm.setMember(frame.locals, name, value);
        return;
    }
    if (frame.closure) {
        for (auto it = frame.closure->rbegin(); it != frame.closure->rend(); ++it) {
            if (*it && (*it)->properties().find(name, rule)) {
                m_vm.setMember(*it, name, value);
                return;
            }
        }
    }
    m_vm.setMember(timeline ? timeline : m_vm.global(), name, value);
}

} // namespace avm1
