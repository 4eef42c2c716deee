#include "AbcWriter.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace swfwriter {

namespace abc {

Code& Code::op(std::uint8_t code)
{
    m_bytes.push_back(code);
    return *this;
}

Code& Code::u30(std::uint32_t value)
{
    do {
        std::uint8_t byte = value & 0x7F;
        value >>= 7;
        if (value)
            byte |= 0x80;
        m_bytes.push_back(byte);
    } while (value);
    return *this;
}

Code& Code::u8(std::uint8_t value)
{
    m_bytes.push_back(value);
    return *this;
}

Code& Code::op(Op code, std::uint32_t a)
{
    return op(code).u30(a);
}

Code& Code::op(Op code, std::uint32_t a, std::uint32_t b)
{
    return op(code).u30(a).u30(b);
}

Code& Code::pushByte(std::int8_t value)
{
    return op(Op::PushByte).u8(static_cast<std::uint8_t>(value));
}

Code::Label Code::label()
{
    m_labels.emplace_back();
    return Label{m_labels.size() - 1};
}

Code& Code::bind(Label label)
{
    m_labels[label.id] = m_bytes.size();
    return *this;
}

Code& Code::branch(Op code, Label target)
{
    op(code);
    const std::size_t at = m_bytes.size();
    m_bytes.insert(m_bytes.end(), 3, 0);
    // Branches count from the end of their instruction.
    m_fixups.push_back({at, at + 3, target.id});
    return *this;
}

Code& Code::lookupSwitch(Label defaultTarget, const std::vector<Label>& cases)
{
    assert(!cases.empty());
    const std::size_t start = m_bytes.size();
    op(Op::LookupSwitch);
    // A switch's offsets count from the switch itself.
    m_fixups.push_back({m_bytes.size(), start, defaultTarget.id});
    m_bytes.insert(m_bytes.end(), 3, 0);
    u30(static_cast<std::uint32_t>(cases.size() - 1));
    for (const Label& c : cases) {
        m_fixups.push_back({m_bytes.size(), start, c.id});
        m_bytes.insert(m_bytes.end(), 3, 0);
    }
    return *this;
}

void Code::s24At(std::size_t at, std::int64_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    m_bytes[at] = v & 0xFF;
    m_bytes[at + 1] = (v >> 8) & 0xFF;
    m_bytes[at + 2] = (v >> 16) & 0xFF;
}

const std::vector<std::uint8_t>& Code::bytes() const
{
    // Fixups are idempotent: patch on every read, so labels bound late still land.
    auto* self = const_cast<Code*>(this);
    for (const Fixup& f : m_fixups) {
        assert(m_labels[f.label] && "a branch to a label never bound");
        self->s24At(f.at, static_cast<std::int64_t>(*m_labels[f.label]) -
                              static_cast<std::int64_t>(f.base));
    }
    return m_bytes;
}

} // namespace abc

namespace {

template <typename T> std::uint32_t internIn(std::vector<T>& table, const T& value)
{
    const auto it = std::find(table.begin(), table.end(), value);
    if (it != table.end())
        return static_cast<std::uint32_t>(it - table.begin()) + 1;
    table.push_back(value);
    return static_cast<std::uint32_t>(table.size());
}

} // namespace

std::uint32_t AbcWriter::integer(std::int32_t value)
{
    return internIn(m_ints, value);
}

std::uint32_t AbcWriter::uinteger(std::uint32_t value)
{
    return internIn(m_uints, value);
}

std::uint32_t AbcWriter::number(double value)
{
    // By bits, so that NaN and -0 are entries of their own.
    for (std::size_t i = 0; i < m_doubles.size(); ++i)
        if (std::memcmp(&m_doubles[i], &value, sizeof value) == 0)
            return static_cast<std::uint32_t>(i) + 1;
    m_doubles.push_back(value);
    return static_cast<std::uint32_t>(m_doubles.size());
}

std::uint32_t AbcWriter::string(const std::string& text)
{
    return internIn(m_strings, text);
}

std::uint32_t AbcWriter::ns(std::uint8_t kind, const std::string& name)
{
    return internIn(m_namespaces, NamespaceEntry{kind, string(name)});
}

std::uint32_t AbcWriter::nsSet(const std::vector<std::uint32_t>& namespaces)
{
    return internIn(m_nsSets, namespaces);
}

std::uint32_t AbcWriter::intern(const MultinameEntry& entry)
{
    return internIn(m_multinames, entry);
}

std::uint32_t AbcWriter::qname(std::uint32_t nsIndex, const std::string& name)
{
    return intern({0x07, nsIndex, string(name), {}});
}

std::uint32_t AbcWriter::publicName(const std::string& name, const std::string& package)
{
    return qname(ns(abc::kPackageNs, package), name);
}

std::uint32_t AbcWriter::multiname(const std::string& name, std::uint32_t nsSetIndex)
{
    return intern({0x09, string(name), nsSetIndex, {}});
}

std::uint32_t AbcWriter::multinameL(std::uint32_t nsSetIndex)
{
    return intern({0x1B, nsSetIndex, 0, {}});
}

std::uint32_t AbcWriter::rtqname(const std::string& name)
{
    return intern({0x0F, string(name), 0, {}});
}

std::uint32_t AbcWriter::rtqnameL()
{
    return intern({0x11, 0, 0, {}});
}

std::uint32_t AbcWriter::typeName(std::uint32_t base, const std::vector<std::uint32_t>& params)
{
    return intern({0x1D, base, 0, params});
}

std::uint32_t AbcWriter::method(const abc::MethodInfo& info)
{
    m_methods.push_back(info);
    m_methodNameIndex.push_back(string(info.name));
    std::vector<std::uint32_t> names;
    for (const std::string& n : info.paramNames)
        names.push_back(string(n));
    m_methodNames.push_back(std::move(names));
    return static_cast<std::uint32_t>(m_methods.size() - 1);
}

std::uint32_t AbcWriter::metadata(const std::string& name,
                                  const std::vector<std::pair<std::string, std::string>>& items)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> interned;
    for (const auto& [key, value] : items)
        interned.emplace_back(key.empty() ? 0 : string(key), string(value));
    m_metadata.emplace_back(string(name), std::move(interned));
    return static_cast<std::uint32_t>(m_metadata.size() - 1);
}

std::uint32_t AbcWriter::addClass(const abc::ClassInfo& classInfo)
{
    m_classes.push_back(classInfo);
    return static_cast<std::uint32_t>(m_classes.size() - 1);
}

std::uint32_t AbcWriter::script(std::uint32_t init, const std::vector<abc::TraitInfo>& traits)
{
    m_scripts.emplace_back(init, traits);
    return static_cast<std::uint32_t>(m_scripts.size() - 1);
}

void AbcWriter::body(const abc::MethodBody& methodBody)
{
    m_bodies.push_back(methodBody);
}

std::uint32_t AbcWriter::function(const abc::MethodInfo& info, const abc::Code& code,
                                  std::uint32_t maxStack, std::uint32_t localCount)
{
    const std::uint32_t index = method(info);
    abc::MethodBody b;
    b.method = index;
    b.maxStack = maxStack;
    b.localCount =
        std::max<std::uint32_t>(localCount, static_cast<std::uint32_t>(info.paramTypes.size()) + 1);
    b.code = code.bytes();
    body(b);
    return index;
}

void AbcWriter::writeTraits(ByteWriter& out, const std::vector<abc::TraitInfo>& traits) const
{
    using abc::TraitKind;
    out.encodedU32(static_cast<std::uint32_t>(traits.size()));
    for (const abc::TraitInfo& t : traits) {
        out.encodedU32(t.name);
        std::uint8_t attributes = t.attributes;
        if (!t.metadata.empty())
            attributes |= 0x4;
        out.u8(static_cast<std::uint8_t>(static_cast<std::uint8_t>(t.kind) | (attributes << 4)));
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
            out.encodedU32(t.id);
            out.encodedU32(t.typeName);
            out.encodedU32(t.value ? t.value->index : 0);
            if (t.value && t.value->index)
                out.u8(t.value->kind);
            break;
        default:
            out.encodedU32(t.id);
            out.encodedU32(t.index);
            break;
        }
        if (!t.metadata.empty()) {
            out.encodedU32(static_cast<std::uint32_t>(t.metadata.size()));
            for (std::uint32_t m : t.metadata)
                out.encodedU32(m);
        }
    }
}

std::vector<std::uint8_t> AbcWriter::bytes() const
{
    ByteWriter out;
    out.u16(minorVersion);
    out.u16(majorVersion);
    // Counts include the implied entry 0; an empty table is written as 0.
    auto count = [&out](std::size_t n) {
        out.encodedU32(n ? static_cast<std::uint32_t>(n + 1) : 0);
    };
    count(m_ints.size());
    for (std::int32_t v : m_ints)
        out.encodedU32(static_cast<std::uint32_t>(v));
    count(m_uints.size());
    for (std::uint32_t v : m_uints)
        out.encodedU32(v);
    count(m_doubles.size());
    for (double v : m_doubles)
        out.f64(v);
    count(m_strings.size());
    for (const std::string& s : m_strings) {
        out.encodedU32(static_cast<std::uint32_t>(s.size()));
        out.bytes(std::vector<std::uint8_t>(s.begin(), s.end()));
    }
    count(m_namespaces.size());
    for (const NamespaceEntry& n : m_namespaces) {
        out.u8(n.kind);
        out.encodedU32(n.name);
    }
    count(m_nsSets.size());
    for (const auto& set : m_nsSets) {
        out.encodedU32(static_cast<std::uint32_t>(set.size()));
        for (std::uint32_t n : set)
            out.encodedU32(n);
    }
    count(m_multinames.size());
    for (const MultinameEntry& m : m_multinames) {
        out.u8(m.kind);
        switch (m.kind) {
        case 0x07:
        case 0x09:
            out.encodedU32(m.a);
            out.encodedU32(m.b);
            break;
        case 0x0F:
        case 0x1B:
            out.encodedU32(m.a);
            break;
        case 0x1D:
            out.encodedU32(m.a);
            out.encodedU32(static_cast<std::uint32_t>(m.params.size()));
            for (std::uint32_t p : m.params)
                out.encodedU32(p);
            break;
        default:
            break;
        }
    }
    out.encodedU32(static_cast<std::uint32_t>(m_methods.size()));
    for (std::size_t i = 0; i < m_methods.size(); ++i) {
        const abc::MethodInfo& m = m_methods[i];
        out.encodedU32(static_cast<std::uint32_t>(m.paramTypes.size()));
        out.encodedU32(m.returnType);
        for (std::uint32_t t : m.paramTypes)
            out.encodedU32(t);
        out.encodedU32(m_methodNameIndex[i]);
        std::uint8_t flags = m.flags;
        if (!m.optional.empty())
            flags |= 0x08;
        if (!m.paramNames.empty())
            flags |= 0x80;
        out.u8(flags);
        if (!m.optional.empty()) {
            out.encodedU32(static_cast<std::uint32_t>(m.optional.size()));
            for (const abc::ConstantValue& c : m.optional) {
                out.encodedU32(c.index);
                out.u8(c.kind);
            }
        }
        for (std::uint32_t n : m_methodNames[i])
            out.encodedU32(n);
    }
    out.encodedU32(static_cast<std::uint32_t>(m_metadata.size()));
    for (const auto& [name, items] : m_metadata) {
        out.encodedU32(name);
        out.encodedU32(static_cast<std::uint32_t>(items.size()));
        for (const auto& item : items)
            out.encodedU32(item.first);
        for (const auto& item : items)
            out.encodedU32(item.second);
    }
    out.encodedU32(static_cast<std::uint32_t>(m_classes.size()));
    for (const abc::ClassInfo& c : m_classes) {
        out.encodedU32(c.name);
        out.encodedU32(c.superName);
        out.u8(c.flags);
        if (c.flags & 0x08)
            out.encodedU32(c.protectedNs);
        out.encodedU32(static_cast<std::uint32_t>(c.interfaces.size()));
        for (std::uint32_t i : c.interfaces)
            out.encodedU32(i);
        out.encodedU32(c.instanceInit);
        writeTraits(out, c.instanceTraits);
    }
    for (const abc::ClassInfo& c : m_classes) {
        out.encodedU32(c.classInit);
        writeTraits(out, c.classTraits);
    }
    out.encodedU32(static_cast<std::uint32_t>(m_scripts.size()));
    for (const auto& [init, traits] : m_scripts) {
        out.encodedU32(init);
        writeTraits(out, traits);
    }
    out.encodedU32(static_cast<std::uint32_t>(m_bodies.size()));
    for (const abc::MethodBody& b : m_bodies) {
        out.encodedU32(b.method);
        out.encodedU32(b.maxStack);
        out.encodedU32(b.localCount);
        out.encodedU32(b.initScopeDepth);
        out.encodedU32(b.maxScopeDepth);
        out.encodedU32(static_cast<std::uint32_t>(b.code.size()));
        out.bytes(b.code);
        out.encodedU32(static_cast<std::uint32_t>(b.exceptions.size()));
        for (const abc::ExceptionInfo& e : b.exceptions) {
            out.encodedU32(e.from);
            out.encodedU32(e.to);
            out.encodedU32(e.target);
            out.encodedU32(e.type);
            out.encodedU32(e.varName);
        }
        writeTraits(out, b.traits);
    }
    return out.data();
}

std::vector<std::uint8_t> AbcWriter::doAbcBody(std::uint32_t flags, const std::string& name) const
{
    ByteWriter out;
    out.u32(flags);
    out.cstring(name);
    out.bytes(bytes());
    return out.data();
}

} // namespace swfwriter
