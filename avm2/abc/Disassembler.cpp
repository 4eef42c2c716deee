#include "Disassembler.h"

#include "Instruction.h"

#include <cstdio>

namespace avm2::abc {

namespace {

// Type names nest at most once (the parser checks), so this recursion is shallow.
std::string namespaceText(const AbcFile& abc, std::uint32_t index)
{
    const Namespace& ns = abc.pool.namespaces[index];
    const std::string& name = abc.pool.strings[ns.name];
    switch (ns.kind) {
    case NamespaceKind::Private:
        return "private" + (name.empty() ? std::string() : " " + name);
    case NamespaceKind::Protected:
    case NamespaceKind::StaticProtected:
        return "protected";
    case NamespaceKind::PackageInternal:
        return "internal " + name;
    default:
        return name;
    }
}

const char* traitKindName(TraitKind kind)
{
    switch (kind) {
    case TraitKind::Slot:
        return "slot";
    case TraitKind::Method:
        return "method";
    case TraitKind::Getter:
        return "getter";
    case TraitKind::Setter:
        return "setter";
    case TraitKind::Class:
        return "class";
    case TraitKind::Function:
        return "function";
    case TraitKind::Const:
        return "const";
    }
    return "?";
}

class Listing {
public:
    explicit Listing(const AbcFile& abc) : m_abc(abc) {}

    std::string run();

private:
    void line(const std::string& text) { m_out += text + '\n'; }
    void traits(const std::vector<Trait>& list, const std::string& indent);
    void methodCode(std::uint32_t method, const std::string& indent);
    std::string operandText(const Instruction& ins) const;
    std::string signature(std::uint32_t method) const;

    const AbcFile& m_abc;
    std::string m_out;
};

std::string Listing::signature(std::uint32_t index) const
{
    const MethodInfo& m = m_abc.methods[index];
    std::string text = "method " + std::to_string(index);
    if (!m_abc.pool.strings[m.name].empty())
        text += " \"" + m_abc.pool.strings[m.name] + "\"";
    text += " (";
    for (std::size_t i = 0; i < m.paramTypes.size(); ++i)
        text += (i ? ", " : "") + multinameText(m_abc, m.paramTypes[i]);
    if (m.has(method_flags::kNeedRest))
        text += m.paramTypes.empty() ? "..." : ", ...";
    text += "): " + multinameText(m_abc, m.returnType);
    // The flags that change how the method is entered.
    static constexpr std::pair<std::uint8_t, const char*> kFlags[] = {
        {method_flags::kNeedArguments, "arguments"},
        {method_flags::kNeedActivation, "activation"},
        {method_flags::kHasOptional, "optional"},
        {method_flags::kIgnoreRest, "ignore-rest"},
        {method_flags::kSetDxns, "dxns"},
    };
    for (const auto& [flag, name] : kFlags)
        if (m.has(flag))
            text += std::string(" [") + name + "]";
    return text;
}

void Listing::traits(const std::vector<Trait>& list, const std::string& indent)
{
    for (const Trait& t : list) {
        std::string text = indent + traitKindName(t.kind) + " " + multinameText(m_abc, t.name);
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
            text += ": " + multinameText(m_abc, t.typeName) + " (slot " + std::to_string(t.slotId) +
                    ")";
            break;
        case TraitKind::Class:
            text += " (class " + std::to_string(t.index) + ")";
            break;
        default:
            text += " (method " + std::to_string(t.index) + ")";
            break;
        }
        line(text);
    }
}

std::string Listing::operandText(const Instruction& ins) const
{
    const OpcodeInfo& info = opcodeInfo(ins.code);
    const auto& pool = m_abc.pool;
    const std::uint32_t a = ins.operands[0];
    switch (info.layout) {
    case OperandLayout::None:
        return {};
    case OperandLayout::Branch:
        return " @" + std::to_string(ins.target);
    case OperandLayout::Switch: {
        std::string text = " default @" + std::to_string(ins.cases[0]);
        for (std::size_t i = 1; i < ins.cases.size(); ++i)
            text += " @" + std::to_string(ins.cases[i]);
        return text;
    }
    case OperandLayout::Debug:
        return " " + std::to_string(a) + " " + std::to_string(ins.operands[1]) + " " +
               std::to_string(ins.operands[2]);
    case OperandLayout::U8:
    case OperandLayout::U30:
    case OperandLayout::U30U30:
        break;
    }
    // An index past its table is shown as "?": the verifier, not the listing, refuses it.
    auto entry = [&](std::size_t size, auto&& text) -> std::string {
        return a < size ? text() : "?";
    };
    std::string first;
    switch (info.meaning) {
    case OperandMeaning::Byte:
        first = std::to_string(static_cast<std::int32_t>(a));
        break;
    case OperandMeaning::Short:
        first = std::to_string(static_cast<std::int16_t>(a));
        break;
    case OperandMeaning::String:
        first = entry(pool.strings.size(), [&] { return "\"" + pool.strings[a] + "\""; });
        break;
    case OperandMeaning::Int:
        first = entry(pool.ints.size(), [&] { return std::to_string(pool.ints[a]); });
        break;
    case OperandMeaning::UInt:
        first = entry(pool.uints.size(), [&] { return std::to_string(pool.uints[a]); });
        break;
    case OperandMeaning::Double:
        first = entry(pool.doubles.size(), [&] {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", pool.doubles[a]);
            return std::string(buffer);
        });
        break;
    case OperandMeaning::Name:
        first = entry(pool.multinames.size(), [&] { return multinameText(m_abc, a); });
        break;
    default:
        first = std::to_string(a);
        break;
    }
    if (info.layout == OperandLayout::U30U30)
        return " " + first + " " + std::to_string(ins.operands[1]);
    return " " + first;
}

void Listing::methodCode(std::uint32_t index, const std::string& indent)
{
    const MethodInfo& m = m_abc.methods[index];
    line(indent + signature(index));
    if (!m.body)
        return;
    const MethodBody& body = m_abc.bodies[*m.body];
    line(indent + "  ; stack " + std::to_string(body.maxStack) + ", locals " +
         std::to_string(body.localCount) + ", scopes " + std::to_string(body.initScopeDepth) + "-" +
         std::to_string(body.maxScopeDepth));
    std::size_t offset = 0;
    while (offset < body.code.size()) {
        const auto ins = readInstruction(body.code, offset);
        if (!ins) {
            line(indent + "  " + std::to_string(offset) + "  ; byte " +
                 std::to_string(body.code[offset]) + " is no instruction");
            break;
        }
        line(indent + "  " + std::to_string(offset) + "  " +
             std::string(opcodeInfo(ins->code).name) + operandText(*ins));
        offset += ins->length;
    }
    for (const ExceptionInfo& e : body.exceptions)
        line(indent + "  ; try " + std::to_string(e.from) + "-" + std::to_string(e.to) + " catch " +
             multinameText(m_abc, e.type) + " @" + std::to_string(e.target));
}

std::string Listing::run()
{
    line("; ABC " + std::to_string(m_abc.majorVersion) + "." + std::to_string(m_abc.minorVersion) +
         ": " + std::to_string(m_abc.scripts.size()) + " scripts, " +
         std::to_string(m_abc.classes.size()) + " classes, " +
         std::to_string(m_abc.methods.size()) + " methods");
    for (std::size_t i = 0; i < m_abc.scripts.size(); ++i) {
        line("script " + std::to_string(i) + " (init method " +
             std::to_string(m_abc.scripts[i].initializer) + ")");
        traits(m_abc.scripts[i].traits, "  ");
    }
    for (std::size_t i = 0; i < m_abc.instances.size(); ++i) {
        const InstanceInfo& inst = m_abc.instances[i];
        std::string text = "class " + std::to_string(i) + " " + multinameText(m_abc, inst.name);
        if (inst.superName)
            text += " extends " + multinameText(m_abc, inst.superName);
        if (inst.flags & instance_flags::kInterface)
            text += " interface";
        if (inst.flags & instance_flags::kFinal)
            text += " final";
        if (!(inst.flags & instance_flags::kSealed))
            text += " dynamic";
        line(text + " (init method " + std::to_string(inst.initializer) + ", static init method " +
             std::to_string(m_abc.classes[i].initializer) + ")");
        traits(inst.traits, "  ");
        traits(m_abc.classes[i].traits, "  static ");
    }
    for (std::uint32_t i = 0; i < m_abc.methods.size(); ++i)
        methodCode(i, "");
    return m_out;
}

} // namespace

std::string multinameText(const AbcFile& abc, std::uint32_t index)
{
    if (index == 0 || index >= abc.pool.multinames.size())
        return "*";
    const Multiname& mn = abc.pool.multinames[index];
    const auto& strings = abc.pool.strings;
    const std::string at = mn.isAttribute() ? "@" : "";
    switch (mn.kind) {
    case MultinameKind::QName:
    case MultinameKind::QNameA: {
        const std::string ns = namespaceText(abc, mn.ns);
        return at + (ns.empty() ? "" : ns + "::") + strings[mn.name];
    }
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
        return at + "[ns]::" + strings[mn.name];
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
        return at + "[ns]::[name]";
    case MultinameKind::Multiname:
    case MultinameKind::MultinameA:
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA: {
        std::string set;
        for (std::uint32_t ns : abc.pool.namespaceSets[mn.nsSet].namespaces)
            set += (set.empty() ? "" : ",") + namespaceText(abc, ns);
        const bool late =
            mn.kind == MultinameKind::MultinameL || mn.kind == MultinameKind::MultinameLA;
        return at + "{" + set + "}::" + (late ? "[name]" : strings[mn.name]);
    }
    case MultinameKind::TypeName: {
        std::string text = multinameText(abc, mn.base) + ".<";
        for (std::size_t i = 0; i < mn.params.size(); ++i)
            text += (i ? "," : "") + multinameText(abc, mn.params[i]);
        return text + ">";
    }
    }
    return "?";
}

std::string disassemble(const AbcFile& abc)
{
    return Listing(abc).run();
}

} // namespace avm2::abc
