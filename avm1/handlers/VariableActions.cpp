// Variables: GetVariable, SetVariable, DefineLocal, DefineLocal2, Delete, Delete2, With.
#include "Handlers.h"
#include "Stack.h"

namespace avm1::handlers {

void doGetVariable(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    push(in, in.getVariable(frame, name));
}

void doSetVariable(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value value = pop(in);
    String* name = vm.toString(pop(in));
    in.setVariable(frame, name, value);
}

void doDefineLocal(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value value = pop(in);
    String* name = vm.toString(pop(in));
    if (Object* scope = in.localScope(frame)) {
        if (frame.locals)
            frame.locals->defineValue(name, value, 0, vm.caseRule());
        else
            vm.setMember(scope, name, value);
    }
}

void doDefineLocal2(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    Object* scope = in.localScope(frame);
    if (scope && !scope->properties().find(name, vm.caseRule())) {
        if (frame.locals)
            frame.locals->defineValue(name, Value(), 0, vm.caseRule());
        else
            vm.setMember(scope, name, Value());
    }
}

void doDelete(Interpreter& in, Activation&, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    Object* object = pop(in).objectOrNull();
    push(in, Value(object ? vm.deleteMember(object, name) : false));
}

void doDelete2(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    String* name = vm.toString(pop(in));
    // A path names the object to delete from ("o.a", "clip:v", "o:c.v"): the name is
    // what follows the last ":" or ".".
    const std::string_view text = name->view();
    std::size_t split = text.find_last_of(":.");
    if (split == std::string_view::npos)
        split = text.rfind('/');
    if (split != std::string_view::npos && split > 0 && split + 1 < text.size()) {
        Object* owner = in.resolveTarget(frame, text.substr(0, split));
        push(in, Value(owner ? vm.deleteMember(owner, vm.str(text.substr(split + 1))) : false));
        return;
    }
    // The variable goes from the first scope that has it.
    auto tryDelete = [&](Object* scope) {
        return scope && vm.hasOwnProperty(scope, name) ? vm.deleteMember(scope, name) : false;
    };
    bool deleted = false;
    bool found = false;
    for (auto it = frame.withStack.rbegin(); it != frame.withStack.rend() && !found; ++it)
        if (it->object && vm.hasOwnProperty(it->object, name)) {
            found = true;
            deleted = tryDelete(it->object);
        }
    if (!found && frame.locals && vm.hasOwnProperty(frame.locals, name)) {
        found = true;
        deleted = tryDelete(frame.locals);
    }
    if (!found && frame.closure) {
        for (auto it = frame.closure->rbegin(); it != frame.closure->rend() && !found; ++it)
            if (*it && vm.hasOwnProperty(*it, name)) {
                found = true;
                deleted = tryDelete(*it);
            }
    }
    Object* timeline = frame.target ? frame.target : in.rootClip();
    if (!found && timeline && vm.hasOwnProperty(timeline, name)) {
        found = true;
        deleted = tryDelete(timeline);
    }
    if (!found && vm.hasOwnProperty(vm.global(), name))
        deleted = tryDelete(vm.global());
    push(in, Value(deleted));
}

void doWith(Interpreter& in, Activation& frame, const Instruction& ins)
{
    Vm& vm = in.vm();
    Object* object = vm.toObject(pop(in));
    if (ins.target == kBadTarget)
        return;
    if (frame.withStack.size() >= limits::kMaxScopeNesting) {
        vm.abortScripts("with blocks nested too deeply");
        return;
    }
    // A with on undefined or null skips its body.
    if (!object) {
        frame.ip = ins.target;
        return;
    }
    frame.withStack.push_back({object, ins.target});
}

} // namespace avm1::handlers
