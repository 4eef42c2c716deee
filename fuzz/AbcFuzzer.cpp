// libFuzzer target: an ActionScript 3 byte code block through the ABC reader, then
// every method body through the instruction reader, the verifier's control-flow pass
// and the listing, then the block run by the machine (its entry script, and whatever it
// reaches) under a short time limit.
// Any crash, hang, sanitizer report or runaway allocation is a finding.
#include "avm2/abc/AbcParser.h"
#include "avm2/abc/Disassembler.h"
#include "avm2/abc/Instruction.h"
#include "avm2/verify/ControlFlow.h"
#include "avm2/vm/Vm.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto abc = avm2::abc::parseAbc(std::span(data, size));
    if (!abc)
        return 0;
    for (const auto& body : abc->bodies) {
        std::size_t offset = 0;
        while (const auto ins = avm2::abc::readInstruction(body.code, offset)) {
            if (ins->length == 0 || offset + ins->length > body.code.size())
                __builtin_trap();
            offset += ins->length;
        }
        const auto flow = avm2::analyseControlFlow(body);
        if (flow && flow->indexAt.size() != body.code.size() + 1)
            __builtin_trap();
    }
    volatile std::size_t listed = avm2::abc::disassemble(*abc).size();
    (void)listed;

    avm2::Vm vm(avm2::Vm::Host{});
    vm.setTimeout(0.02);
    vm.setMaxCallDepth(200);
    vm.startBudget();
    std::string error;
    vm.loadAbc(std::span(data, size), false, &error);
    return 0;
}
