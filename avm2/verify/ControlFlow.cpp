#include "ControlFlow.h"

#include <algorithm>
#include <string>

namespace avm2 {

namespace {

constexpr std::uint8_t kJump = 0x10;
constexpr std::uint8_t kLookupSwitch = 0x1B;
constexpr std::uint8_t kReturnVoid = 0x47;
constexpr std::uint8_t kReturnValue = 0x48;
constexpr std::uint8_t kThrow = 0x03;

enum class Byte : std::uint8_t { Unseen, Start, Inside };

VerifyError failure(VerifyErrorKind kind, std::size_t offset)
{
    return VerifyError{kind, "offset " + std::to_string(offset)};
}

} // namespace

bool endsBlock(std::uint8_t code)
{
    return code == kJump || code == kLookupSwitch || code == kReturnVoid || code == kReturnValue ||
           code == kThrow;
}

Verified<ControlFlow> analyseControlFlow(const abc::MethodBody& body)
{
    const std::size_t size = body.code.size();
    std::vector<std::size_t> pending{0};
    for (const abc::ExceptionInfo& e : body.exceptions) {
        if (e.from > e.to || e.to > size || e.target >= size)
            return failure(VerifyErrorKind::BadExceptionRange, e.target);
        pending.push_back(e.target);
    }
    if (size == 0)
        return failure(VerifyErrorKind::FallsOffEnd, 0);

    // Every byte is decoded at most once, so the walk is linear in the code's size.
    std::vector<Byte> bytes(size, Byte::Unseen);
    ControlFlow flow;
    auto follow = [&](std::int64_t target, std::size_t from) -> std::optional<VerifyError> {
        if (target == static_cast<std::int64_t>(size))
            return failure(VerifyErrorKind::FallsOffEnd, from);
        if (target < 0 || target > static_cast<std::int64_t>(size))
            return failure(VerifyErrorKind::BadBranchTarget, from);
        pending.push_back(static_cast<std::size_t>(target));
        return std::nullopt;
    };
    while (!pending.empty()) {
        const std::size_t offset = pending.back();
        pending.pop_back();
        if (bytes[offset] == Byte::Start)
            continue;
        if (bytes[offset] == Byte::Inside)
            return failure(VerifyErrorKind::BadBranchTarget, offset);
        auto ins = abc::readInstruction(body.code, offset);
        if (!ins)
            return failure(abc::opcodeInfo(body.code[offset]).name.empty()
                               ? VerifyErrorKind::IllegalOpcode
                               : VerifyErrorKind::FallsOffEnd,
                           offset);
        for (std::size_t i = offset + 1; i < offset + ins->length; ++i) {
            if (bytes[i] == Byte::Start)
                return failure(VerifyErrorKind::BadBranchTarget, i);
            bytes[i] = Byte::Inside;
        }
        bytes[offset] = Byte::Start;
        const auto layout = abc::opcodeInfo(ins->code).layout;
        std::optional<VerifyError> bad;
        if (layout == abc::OperandLayout::Branch)
            bad = follow(ins->target, offset);
        for (std::size_t c = 0; c < ins->cases.size() && !bad; ++c)
            bad = follow(ins->cases[c], offset);
        if (!bad && !endsBlock(ins->code))
            bad = follow(static_cast<std::int64_t>(offset + ins->length), offset);
        if (bad)
            return *bad;
        flow.instructions.push_back(std::move(*ins));
    }
    std::sort(
        flow.instructions.begin(), flow.instructions.end(),
        [](const abc::Instruction& a, const abc::Instruction& b) { return a.offset < b.offset; });
    flow.indexAt.assign(size + 1, -1);
    for (std::size_t i = 0; i < flow.instructions.size(); ++i)
        flow.indexAt[flow.instructions[i].offset] = static_cast<std::int32_t>(i);
    return flow;
}

} // namespace avm2
