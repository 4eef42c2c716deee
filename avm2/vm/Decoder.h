#pragma once

// Method bodies decoded once for the interpreter: each instruction with its operands
// read and its branch targets turned into instruction indices, the exception table in
// the same indices.
#include "Traits.h"
#include "avm2/verify/VerifyError.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace avm2 {

struct Op {
    std::uint8_t code = 0;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::int32_t target = 0; // a branch's instruction index; lookupswitch: first case entry
};

struct Handler {
    std::uint32_t from = 0; // instruction indices: [from, to) and the handler's start
    std::uint32_t to = 0;
    std::uint32_t target = 0;
    std::uint32_t type = 0;    // multiname of the caught type; 0 catches everything
    std::uint32_t varName = 0; // multiname of the catch variable
    std::unique_ptr<Traits> scopeTraits;
};

struct DecodedBody {
    std::vector<Op> ops;
    std::vector<std::int32_t> switchTargets; // lookupswitch: default, then each case
    std::vector<Handler> handlers;
    std::uint32_t maxStack = 0;
    std::uint32_t localCount = 0;
    std::uint32_t maxScope = 0;
    std::uint32_t body = 0;
};

struct AbcUnit;

// Decodes body `index` of the unit, refusing what the verifier refuses.
Verified<DecodedBody> decodeBody(const AbcUnit& unit, std::uint32_t index);

} // namespace avm2
