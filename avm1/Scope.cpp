// Interpreter: variables by name and target paths.
#include "ClipObject.h"
#include "ClipScope.h"
#include "Interpreter.h"
#include "ScriptFunction.h"
#include "TargetPaths.h"
#include "Vm.h"

namespace avm1 {

Value Interpreter::lookupScoped(Activation& frame, String* name, bool& found, Object** owner)
{
    found = true;
    const CommonNames& names = m_vm.names();
    const CaseRule rule = m_vm.caseRule();
    // DefineFunction2 bodies hold "this" as a local or in a register, or not at all
    // (suppressed, or preloaded into a register only): the name is then an ordinary
    // one. Everywhere else it is the activation's this.
    const bool function2 = frame.function && frame.function->def().isFunction2;
    // SWF 4 had no "this": there it is an ordinary name.
    if (m_vm.swfVersion() >= 5 && sameKey(name, names.thisName, rule)) {
        if (!function2)
            return frame.thisValue;
        Value local;
        if (frame.locals && m_vm.lookup(frame.locals, name, local))
            return local;
        // A DefineFunction2 body without a local "this" (suppressed, or preloaded
        // into a register only) reaches its timeline's from SWF 7 on; the older
        // players found nothing.
        if (m_vm.swfVersion() >= 7 && frame.target)
            return Value(frame.target);
    }
    Value out;
    for (auto it = frame.withStack.rbegin(); it != frame.withStack.rend(); ++it) {
        if (it->object && m_vm.lookup(it->object, name, out)) {
            if (owner)
                *owner = it->object;
            return out;
        }
    }
    if (frame.locals && m_vm.lookup(frame.locals, name, out))
        return out;
    if (frame.closure) {
        for (auto it = frame.closure->rbegin(); it != frame.closure->rend(); ++it)
            if (*it && m_vm.lookup(*it, name, out))
                return out;
    }
    if (Object* timeline = scopeTimeline(frame, m_root)) {
        if (m_vm.lookup(timeline, name, out)) {
            // A clip's native method found there works on that clip.
            Object* fn = out.objectOrNull();
            if (owner && fn && fn->isFunction() && static_cast<Function*>(fn)->isNative())
                *owner = timeline;
            return out;
        }
    }
    // A variable of that name on the way hides _global.
    if (sameKey(name, names.global, rule) && m_vm.swfVersion() >= 6)
        return Value(m_vm.global());
    // SWF 4 code knows no global object: its names are the timelines' alone.
    if (m_vm.swfVersion() >= 5 && m_vm.lookup(m_vm.global(), name, out))
        return out;
    found = false;
    return Value();
}

Object* Interpreter::resolveTarget(Activation& frame, std::string_view path)
{
    // An empty path is the current target, which a failed tellTarget leaves empty.
    if (path.empty())
        return frame.target ? scopeTimeline(frame, m_root) : nullptr;
    Object* start = frame.target ? frame.target : m_root;
    return walkTargetPath(m_vm, start, m_root, path);
}

VariablePath resolveVariablePath(Interpreter& in, Activation& frame, std::string_view name)
{
    Vm& vm = in.vm();
    VariablePath out;
    const std::size_t split = name.find_last_of(vm.swfVersion() >= 5 ? ":." : ":");
    if (split == std::string_view::npos)
        return out;
    out.isPath = true;
    out.member = name.substr(split + 1);
    const std::string_view path = name.substr(0, split);
    if (path.empty())
        return out;
    const ScopeLookup scope = [&](std::string_view first) {
        return in.getVariable(frame, vm.str(first));
    };
    Object* start = scopeTimeline(frame, in.rootClip());
    out.owner = walkTargetPath(vm, start, in.rootClip(), path, &scope);
    return out;
}

Value Interpreter::getPathVariable(Activation& frame, std::string_view name, bool& handled,
                                   Object** owner)
{
    handled = true;
    const VariablePath variable = resolveVariablePath(*this, frame, name);
    if (variable.isPath) {
        if (!variable.owner)
            return Value();
        if (owner)
            *owner = variable.owner;
        return m_vm.getMember(variable.owner, m_vm.str(variable.member));
    }
    // A slash path alone names a clip (SWF 4 has no clip values); failing that, it is
    // an ordinary name.
    if (m_vm.swfVersion() >= 5) {
        if (Object* target = walkTargetPath(m_vm, scopeTimeline(frame, m_root), m_root, name))
            return Value(target);
    }
    handled = false;
    return Value();
}

Value Interpreter::getVariable(Activation& frame, String* name, Object** owner)
{
    const std::string_view text = name->view();
    if (text.find_first_of(":/.") != std::string_view::npos) {
        bool handled = false;
        Value v = getPathVariable(frame, text, handled, owner);
        if (handled)
            return v;
    }
    bool found = false;
    return lookupScoped(frame, name, found, owner);
}

void Interpreter::setVariable(Activation& frame, String* name, Value value)
{
    const std::string_view text = name->view();
    const CaseRule rule = m_vm.caseRule();
    if (text.find_first_of(":.") != std::string_view::npos) {
        const VariablePath variable = resolveVariablePath(*this, frame, text);
        if (variable.isPath) {
            if (variable.owner)
                m_vm.setMember(variable.owner, m_vm.str(variable.member), value);
            return;
        }
    }
    // Assigning "this" replaces the activation's own, for the rest of its code.
    const bool function2 = frame.function && frame.function->def().isFunction2;
    if (!function2 && m_vm.swfVersion() >= 5 && sameKey(name, m_vm.names().thisName, rule)) {
        frame.thisValue = value;
        return;
    }
    // A with object takes the assignment when it has the name, a clip's display
    // properties and children included.
    auto withHas = [&](Object* object) {
        Value ignored;
        return m_vm.hasProperty(object, name) || object->resolveFallback(m_vm, name, ignored);
    };
    for (auto it = frame.withStack.rbegin(); it != frame.withStack.rend(); ++it) {
        if (it->object && withHas(it->object)) {
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
    Object* timeline = scopeTimeline(frame, m_root);
    m_vm.setMember(timeline ? timeline : m_vm.global(), name, value);
}

} // namespace avm1
