#pragma once

// The ActionScript 3 machine attached to a playing movie: it loads the main timeline's
// ABC blocks, links the symbol classes and constructs the document class.
#include "avm2/vm/Vm.h"
#include "runtime/Host.h"
#include "runtime/ScriptEngine.h"

#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>

namespace runtime {
class MoviePlayer;
} // namespace runtime

namespace avm2 {

class Engine final : public runtime::ScriptEngine {
public:
    Engine(runtime::MoviePlayer& player, runtime::Host& host);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    Vm& vm() { return *m_vm; }

    std::size_t runAction(const runtime::QueuedAction& action) override;
    void stepFinished() override;

private:
    void runFrameTags(std::size_t frame);
    void constructDocumentClass(const std::string& name);

    runtime::MoviePlayer& m_player;
    runtime::Host& m_host;
    std::unique_ptr<Vm> m_vm;
    std::chrono::steady_clock::time_point m_start;
    std::unordered_map<std::uint16_t, std::string> m_symbolClasses;
    Value m_document;
};

} // namespace avm2
