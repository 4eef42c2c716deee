#include "Actions.h"

#include <array>

namespace avm1 {

namespace {

constexpr std::array<ActionInfo, 256> makeTable()
{
    std::array<ActionInfo, 256> table{};
#define AVM1_ACTION_INFO(name, code, shape, family, version)                                       \
    table[code] = ActionInfo{#name, OperandShape::shape, ActionFamily::family, version};
    AVM1_ACTION_LIST(AVM1_ACTION_INFO)
#undef AVM1_ACTION_INFO
    return table;
}

constexpr std::array<ActionInfo, 256> kTable = makeTable();

} // namespace

const ActionInfo& actionInfo(std::uint8_t code)
{
    return kTable[code];
}

} // namespace avm1
