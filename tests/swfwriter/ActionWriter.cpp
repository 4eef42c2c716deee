#include "ActionWriter.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace swfwriter {

namespace {

// A test that writes a record whose fields cannot hold what it asked for has a bug;
// it stops loudly rather than writing a movie that tests something else.
void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "ActionWriter: %s\n", what);
        std::abort();
    }
}

std::uint16_t u16Size(std::size_t size, const char* what)
{
    require(size <= 0xFFFF, what);
    return static_cast<std::uint16_t>(size);
}

} // namespace

PushValue::PushValue(double d) : m_value(Double{d})
{
    // Integers go as type 7, as the authoring tool writes them; -0 must stay a double.
    const bool integral = std::isfinite(d) && std::trunc(d) == d && !(d == 0 && std::signbit(d));
    if (integral && d >= std::numeric_limits<std::int32_t>::min() &&
        d <= std::numeric_limits<std::int32_t>::max())
        m_value = Int{static_cast<std::int32_t>(d)};
}

PushValue::PushValue(Constant c)
    : m_value(c.index < 256 ? PushValue(Constant8{static_cast<std::uint8_t>(c.index)}).m_value
                            : PushValue(Constant16{c.index}).m_value)
{}

void PushValue::write(ByteWriter& out) const
{
    struct Writer {
        ByteWriter& out;
        void operator()(const Str& s)
        {
            out.u8(0);
            out.cstring(s.value);
        }
        void operator()(Float f)
        {
            out.u8(1);
            out.u32(std::bit_cast<std::uint32_t>(f.value));
        }
        void operator()(std::nullptr_t) { out.u8(2); }
        void operator()(Undefined) { out.u8(3); }
        void operator()(Register r)
        {
            out.u8(4);
            out.u8(r.index);
        }
        void operator()(bool b)
        {
            out.u8(5);
            out.u8(b ? 1 : 0);
        }
        void operator()(Double d)
        {
            // Push keeps a double's high 32 bits first, each half little-endian.
            const auto bits = std::bit_cast<std::uint64_t>(d.value);
            out.u8(6);
            out.u32(static_cast<std::uint32_t>(bits >> 32));
            out.u32(static_cast<std::uint32_t>(bits));
        }
        void operator()(Int i)
        {
            out.u8(7);
            out.s32(i.value);
        }
        void operator()(Constant8 c)
        {
            out.u8(8);
            out.u8(c.index);
        }
        void operator()(Constant16 c)
        {
            out.u8(9);
            out.u16(c.index);
        }
    };
    std::visit(Writer{out}, m_value);
}

void ActionWriter::record(std::uint8_t code, const std::vector<std::uint8_t>& operands)
{
    m_bytes.push_back(code);
    if (code >= 0x80) {
        const std::uint16_t length = u16Size(operands.size(), "operands longer than 65535 bytes");
        m_bytes.push_back(static_cast<std::uint8_t>(length));
        m_bytes.push_back(static_cast<std::uint8_t>(length >> 8));
        m_bytes.insert(m_bytes.end(), operands.begin(), operands.end());
    } else {
        require(operands.empty(), "a code below 0x80 has no operands");
    }
    m_lastWasEnd = code == 0;
}

ActionWriter& ActionWriter::op(Op code)
{
    record(static_cast<std::uint8_t>(code), {});
    return *this;
}

ActionWriter& ActionWriter::action(std::uint8_t code, const std::vector<std::uint8_t>& operands)
{
    record(code, operands);
    return *this;
}

ActionWriter& ActionWriter::raw(std::initializer_list<std::uint8_t> bytes)
{
    return raw(std::vector<std::uint8_t>(bytes));
}

ActionWriter& ActionWriter::raw(const std::vector<std::uint8_t>& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    m_lastWasEnd = false;
    return *this;
}

ActionWriter& ActionWriter::push(std::initializer_list<PushValue> values)
{
    ByteWriter out;
    for (const PushValue& v : values)
        v.write(out);
    record(0x96, out.data());
    return *this;
}

ActionWriter& ActionWriter::push(const std::vector<PushValue>& values)
{
    ByteWriter out;
    for (const PushValue& v : values)
        v.write(out);
    record(0x96, out.data());
    return *this;
}

ActionWriter& ActionWriter::constantPool(const std::vector<std::string>& constants)
{
    ByteWriter out;
    out.u16(u16Size(constants.size(), "more than 65535 constants"));
    for (const std::string& c : constants)
        out.cstring(c);
    record(0x88, out.data());
    return *this;
}

ActionWriter& ActionWriter::storeRegister(std::uint8_t reg)
{
    record(0x87, {reg});
    return *this;
}

ActionWriter& ActionWriter::gotoFrame(std::uint16_t frame)
{
    ByteWriter out;
    out.u16(frame);
    record(0x81, out.data());
    return *this;
}

ActionWriter& ActionWriter::gotoFrame2(bool play, std::optional<std::uint16_t> sceneBias)
{
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>((sceneBias ? 0x02 : 0) | (play ? 0x01 : 0)));
    if (sceneBias)
        out.u16(*sceneBias);
    record(0x9F, out.data());
    return *this;
}

ActionWriter& ActionWriter::gotoLabel(const std::string& label)
{
    ByteWriter out;
    out.cstring(label);
    record(0x8C, out.data());
    return *this;
}

ActionWriter& ActionWriter::getUrl(const std::string& url, const std::string& target)
{
    ByteWriter out;
    out.cstring(url);
    out.cstring(target);
    record(0x83, out.data());
    return *this;
}

ActionWriter& ActionWriter::getUrl2(std::uint8_t flags)
{
    record(0x9A, {flags});
    return *this;
}

ActionWriter& ActionWriter::setTarget(const std::string& target)
{
    ByteWriter out;
    out.cstring(target);
    record(0x8B, out.data());
    return *this;
}

ActionWriter& ActionWriter::waitForFrame(std::uint16_t frame, std::uint8_t skipCount)
{
    ByteWriter out;
    out.u16(frame);
    out.u8(skipCount);
    record(0x8A, out.data());
    return *this;
}

ActionWriter& ActionWriter::waitForFrame2(std::uint8_t skipCount)
{
    record(0x8D, {skipCount});
    return *this;
}

ActionWriter& ActionWriter::with(const ActionWriter& body)
{
    const auto& code = body.bytes();
    ByteWriter out;
    out.u16(u16Size(code.size(), "with body longer than 65535 bytes"));
    record(0x94, out.data());
    raw(code);
    return *this;
}

ActionWriter& ActionWriter::defineFunction(const std::string& name,
                                           const std::vector<std::string>& params,
                                           const ActionWriter& body)
{
    const auto& code = body.bytes();
    ByteWriter out;
    out.cstring(name);
    out.u16(u16Size(params.size(), "more than 65535 parameters"));
    for (const std::string& p : params)
        out.cstring(p);
    out.u16(u16Size(code.size(), "function body longer than 65535 bytes"));
    record(0x9B, out.data());
    raw(code);
    return *this;
}

ActionWriter& ActionWriter::defineFunction2(const std::string& name, std::uint8_t registerCount,
                                            std::uint16_t flags,
                                            const std::vector<RegisterParam>& params,
                                            const ActionWriter& body)
{
    const auto& code = body.bytes();
    ByteWriter out;
    out.cstring(name);
    out.u16(u16Size(params.size(), "more than 65535 parameters"));
    out.u8(registerCount);
    out.u16(flags);
    for (const RegisterParam& p : params) {
        out.u8(p.reg);
        out.cstring(p.name);
    }
    out.u16(u16Size(code.size(), "function body longer than 65535 bytes"));
    record(0x8E, out.data());
    raw(code);
    return *this;
}

ActionWriter& ActionWriter::tryBlock(const ActionWriter& tryBody,
                                     const std::optional<CatchTarget>& catchTarget,
                                     const ActionWriter& catchBody,
                                     const std::optional<ActionWriter>& finallyBody)
{
    const bool inRegister = catchTarget && std::holds_alternative<Register>(*catchTarget);
    const std::vector<std::uint8_t> none;
    const auto& tryCode = tryBody.bytes();
    const auto& catchCode = catchTarget ? catchBody.bytes() : none;
    const auto& finallyCode = finallyBody ? finallyBody->bytes() : none;
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>((inRegister ? 0x04 : 0) | (finallyBody ? 0x02 : 0) |
                                     (catchTarget ? 0x01 : 0)));
    out.u16(u16Size(tryCode.size(), "try body longer than 65535 bytes"));
    out.u16(u16Size(catchCode.size(), "catch body longer than 65535 bytes"));
    out.u16(u16Size(finallyCode.size(), "finally body longer than 65535 bytes"));
    if (inRegister)
        out.u8(std::get<Register>(*catchTarget).index);
    else
        out.cstring(catchTarget ? std::get<std::string>(*catchTarget) : std::string());
    record(0x8F, out.data());
    raw(tryCode);
    raw(catchCode);
    raw(finallyCode);
    return *this;
}

ActionWriter::Label ActionWriter::label()
{
    m_labels.emplace_back();
    return Label{m_labels.size() - 1};
}

ActionWriter& ActionWriter::bind(Label label)
{
    require(label.id < m_labels.size(), "a label of another writer");
    LabelState& state = m_labels[label.id];
    require(!state.position, "a label bound twice");
    state.position = m_bytes.size();
    for (std::size_t field : state.pendingOffsets) {
        // Offsets count from the end of the branch record, which ends with the field.
        const auto offset =
            static_cast<std::int64_t>(m_bytes.size()) - static_cast<std::int64_t>(field + 2);
        require(offset <= std::numeric_limits<std::int16_t>::max(), "branch too far forward");
        const auto bits = static_cast<std::uint16_t>(offset);
        m_bytes[field] = static_cast<std::uint8_t>(bits);
        m_bytes[field + 1] = static_cast<std::uint8_t>(bits >> 8);
    }
    state.pendingOffsets.clear();
    return *this;
}

ActionWriter& ActionWriter::branch(std::uint8_t code, Label target)
{
    require(target.id < m_labels.size(), "a label of another writer");
    LabelState& state = m_labels[target.id];
    const std::size_t field = m_bytes.size() + 3;
    std::int16_t offset = 0;
    if (state.position) {
        const auto back =
            static_cast<std::int64_t>(*state.position) - static_cast<std::int64_t>(field + 2);
        require(back >= std::numeric_limits<std::int16_t>::min(), "branch too far back");
        offset = static_cast<std::int16_t>(back);
    } else {
        state.pendingOffsets.push_back(field);
    }
    ByteWriter out;
    out.s16(offset);
    record(code, out.data());
    return *this;
}

ActionWriter& ActionWriter::jump(Label target)
{
    return branch(0x99, target);
}

ActionWriter& ActionWriter::ifTrue(Label target)
{
    return branch(0x9D, target);
}

ActionWriter& ActionWriter::jumpBy(std::int16_t offset)
{
    ByteWriter out;
    out.s16(offset);
    record(0x99, out.data());
    return *this;
}

ActionWriter& ActionWriter::ifTrueBy(std::int16_t offset)
{
    ByteWriter out;
    out.s16(offset);
    record(0x9D, out.data());
    return *this;
}

const std::vector<std::uint8_t>& ActionWriter::bytes() const
{
    for (const LabelState& state : m_labels)
        require(state.pendingOffsets.empty(), "a branch to a label never bound");
    return m_bytes;
}

void addScriptFrames(TagList& timeline, std::span<const ActionWriter> frames)
{
    for (const ActionWriter& frame : frames) {
        std::vector<std::uint8_t> code = frame.bytes();
        if (!frame.endsWithEnd())
            code.push_back(0);
        timeline.doAction(code);
        timeline.showFrame();
    }
}

MovieWriter scriptMovie(int version, std::span<const ActionWriter> frames)
{
    MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes();
    addScriptFrames(movie, frames);
    return movie;
}

MovieWriter scriptMovie(int version, const ActionWriter& frame)
{
    return scriptMovie(version, std::span<const ActionWriter>(&frame, 1));
}

} // namespace swfwriter
