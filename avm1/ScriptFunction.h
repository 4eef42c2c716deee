#pragma once

#include "Bytecode.h"
#include "Function.h"

#include <vector>

namespace avm1 {

// A function defined by DefineFunction or DefineFunction2: its definition inside a
// decoded block (kept for the movie's life), what it closes over, and the timeline it
// was defined on, which its body's timeline actions and variables use.
class ScriptFunction final : public Function {
public:
    ScriptFunction(Object* prototype, const FunctionDef* def, int swfVersion)
        : Function(prototype), m_def(def), m_swfVersion(swfVersion)
    {}
    bool isNative() const override { return false; }

    const FunctionDef& def() const { return *m_def; }
    int swfVersion() const { return m_swfVersion; }
    std::vector<Object*>& closure() { return m_closure; }
    const std::vector<Object*>& closure() const { return m_closure; }
    Object* definingTarget() const { return m_definingTarget; }
    void setDefiningTarget(Object* target) { m_definingTarget = target; }
    const std::vector<String*>* constantPool() const { return m_constantPool; }
    void setConstantPool(const std::vector<String*>* pool) { m_constantPool = pool; }

    void traceChildren(Tracer& tracer) override;

private:
    const FunctionDef* m_def;
    int m_swfVersion;
    std::vector<Object*> m_closure;
    Object* m_definingTarget = nullptr;
    const std::vector<String*>* m_constantPool = nullptr;
};

} // namespace avm1
