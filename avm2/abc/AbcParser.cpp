#include "AbcParser.h"

#include "avm2/Limits.h"
#include "format/ByteReader.h"

#include <algorithm>
#include <string>

namespace avm2::abc {

namespace {

using swf::ErrorCode;

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : m_in(bytes) {}

    swf::Result<AbcFile> run();

private:
    // The first defect found; later checks see it and stop.
    bool fail(ErrorCode code, std::string detail)
    {
        if (!m_failed) {
            m_failed = true;
            m_error = swf::makeError(code, "ABC " + std::move(detail));
        }
        return false;
    }
    bool truncated(const char* where) { return fail(ErrorCode::Truncated, where); }

    std::uint32_t u30() { return m_in.encodedU32(); }
    // A table's entry count: under `cap`, and no more entries than bytes left (every
    // entry takes at least `minBytes`), so no vector is sized from a lie.
    bool count(std::uint32_t& n, std::uint32_t cap, const char* what, std::size_t minBytes = 1);
    // A constant pool table's count, which includes the implied entry 0.
    bool poolCount(std::uint32_t& n, const char* what, std::size_t minBytes = 1);
    // `n` under `cap`, and `stored` entries no more than the bytes left can hold.
    bool checkCount(std::uint32_t n, std::uint32_t stored, std::uint32_t cap, const char* what,
                    std::size_t minBytes);
    bool inRange(std::uint32_t index, std::size_t size, const char* what);

    bool readPool();
    bool readNamespace(Namespace& ns);
    bool readMultiname(Multiname& mn);
    bool checkMultinames();
    bool readConstant(Constant& c, const char* what);
    bool checkConstant(const Constant& c, const char* what);
    bool readMethod(MethodInfo& method);
    bool readMetadata(MetadataInfo& meta);
    bool readTraits(std::vector<Trait>& traits, const char* what);
    bool readTrait(Trait& trait);
    bool readInstance(InstanceInfo& instance);
    bool readBody(MethodBody& body);

    bool multiname(std::uint32_t index, const char* what)
    {
        return inRange(index, m_abc.pool.multinames.size(), what);
    }
    bool string(std::uint32_t index, const char* what)
    {
        return inRange(index, m_abc.pool.strings.size(), what);
    }
    bool method(std::uint32_t index, const char* what)
    {
        return inRange(index, m_methodCount, what);
    }

    swf::ByteReader m_in;
    AbcFile m_abc;
    std::size_t m_methodCount = 0;
    std::size_t m_classCount = 0;
    bool m_failed = false;
    swf::Error m_error;
};

bool Parser::count(std::uint32_t& n, std::uint32_t cap, const char* what, std::size_t minBytes)
{
    n = u30();
    return checkCount(n, n, cap, what, minBytes);
}

bool Parser::poolCount(std::uint32_t& n, const char* what, std::size_t minBytes)
{
    n = u30();
    return checkCount(n, n > 0 ? n - 1 : 0, limits::kMaxPoolEntries, what, minBytes);
}

bool Parser::checkCount(std::uint32_t n, std::uint32_t stored, std::uint32_t cap, const char* what,
                        std::size_t minBytes)
{
    if (!m_in.ok())
        return truncated(what);
    if (n > cap)
        return fail(ErrorCode::TooLarge, std::string(what) + ": " + std::to_string(n) +
                                             " entries, over the cap of " + std::to_string(cap));
    if (static_cast<std::uint64_t>(stored) * minBytes > m_in.remaining())
        return truncated(what);
    return true;
}

bool Parser::inRange(std::uint32_t index, std::size_t size, const char* what)
{
    if (m_failed)
        return false;
    if (index >= size)
        return fail(ErrorCode::BadReference, std::string(what) + ": index " +
                                                 std::to_string(index) + " of " +
                                                 std::to_string(size));
    return true;
}

bool Parser::readNamespace(Namespace& ns)
{
    const std::uint8_t kind = m_in.u8();
    switch (kind) {
    case 0x05:
    case 0x08:
    case 0x16:
    case 0x17:
    case 0x18:
    case 0x19:
    case 0x1A:
        break;
    default:
        return fail(ErrorCode::BadValue, "namespace kind " + std::to_string(kind));
    }
    ns.kind = static_cast<NamespaceKind>(kind);
    ns.name = u30();
    return string(ns.name, "namespace name");
}

bool Parser::readMultiname(Multiname& mn)
{
    const std::uint8_t kind = m_in.u8();
    mn.kind = static_cast<MultinameKind>(kind);
    const auto& pool = m_abc.pool;
    switch (mn.kind) {
    case MultinameKind::QName:
    case MultinameKind::QNameA:
        mn.ns = u30();
        mn.name = u30();
        return inRange(mn.ns, pool.namespaces.size(), "multiname namespace") &&
               string(mn.name, "multiname name");
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
        mn.name = u30();
        return string(mn.name, "multiname name");
    case MultinameKind::RTQNameL:
    case MultinameKind::RTQNameLA:
        return true;
    case MultinameKind::Multiname:
    case MultinameKind::MultinameA:
        mn.name = u30();
        mn.nsSet = u30();
        // A namespace set is required: index 0 means none and is an error.
        return string(mn.name, "multiname name") &&
               inRange(mn.nsSet, pool.namespaceSets.size(), "multiname namespace set") &&
               (mn.nsSet != 0 || fail(ErrorCode::BadReference, "multiname without namespaces"));
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        mn.nsSet = u30();
        return inRange(mn.nsSet, pool.namespaceSets.size(), "multiname namespace set") &&
               (mn.nsSet != 0 || fail(ErrorCode::BadReference, "multiname without namespaces"));
    case MultinameKind::TypeName: {
        // Its base and parameters may name multinames further on: checked afterwards.
        mn.base = u30();
        std::uint32_t n = 0;
        if (!count(n, limits::kMaxTypeParams, "type name parameters"))
            return false;
        mn.params.resize(n);
        for (std::uint32_t& p : mn.params)
            p = u30();
        return true;
    }
    }
    return fail(ErrorCode::BadValue, "multiname kind " + std::to_string(kind));
}

bool Parser::checkMultinames()
{
    const auto& names = m_abc.pool.multinames;
    for (std::size_t i = 1; i < names.size(); ++i) {
        const Multiname& mn = names[i];
        if (mn.kind != MultinameKind::TypeName)
            continue;
        // A type name's base is a plain name (Vector), never another type name, so an
        // application cannot nest without end.
        if (!multiname(mn.base, "type name base") ||
            (names[mn.base].kind == MultinameKind::TypeName &&
             !fail(ErrorCode::BadReference,
                   "type name " + std::to_string(i) + " applies a type name")))
            return false;
        for (std::uint32_t p : mn.params)
            if (!multiname(p, "type name parameter"))
                return false;
    }
    // Parameters may be type names themselves (Vector.<Vector.<int>>): their nesting
    // must end, and stay shallow, so that whatever walks them recurses boundedly. The
    // depths settle within the cap's number of rounds unless the names form a cycle.
    std::vector<std::uint8_t> depth(names.size(), 0);
    for (std::uint32_t round = 0;; ++round) {
        bool changed = false;
        for (std::size_t i = 1; i < names.size(); ++i) {
            if (names[i].kind != MultinameKind::TypeName)
                continue;
            std::uint8_t deepest = 0;
            for (std::uint32_t p : names[i].params)
                deepest = std::max(deepest, depth[p]);
            const auto mine = static_cast<std::uint8_t>(deepest + 1);
            if (mine != depth[i]) {
                depth[i] = mine;
                changed = true;
            }
        }
        if (!changed)
            return true;
        if (round >= limits::kMaxTypeNesting)
            return fail(ErrorCode::TooDeep, "type names nest too deep or in a cycle");
    }
}

bool Parser::readPool()
{
    ConstantPool& pool = m_abc.pool;
    std::uint32_t n = 0;
    // Each table's count includes the implied entry 0: 0 and 1 both mean none stored.
    if (!poolCount(n, "integer pool"))
        return false;
    for (std::uint32_t i = 1; i < n; ++i)
        pool.ints.push_back(static_cast<std::int32_t>(u30()));
    if (!poolCount(n, "unsigned integer pool"))
        return false;
    for (std::uint32_t i = 1; i < n; ++i)
        pool.uints.push_back(u30());
    if (!poolCount(n, "double pool", 8))
        return false;
    for (std::uint32_t i = 1; i < n; ++i)
        pool.doubles.push_back(m_in.f64());
    if (!poolCount(n, "string pool"))
        return false;
    for (std::uint32_t i = 1; i < n && m_in.ok(); ++i) {
        const std::uint32_t size = u30();
        if (size > m_in.remaining())
            return truncated("string");
        const auto bytes = m_in.take(size);
        pool.strings.emplace_back(bytes.begin(), bytes.end());
    }
    if (!poolCount(n, "namespace pool", 2))
        return false;
    for (std::uint32_t i = 1; i < n; ++i)
        if (!readNamespace(pool.namespaces.emplace_back()))
            return false;
    if (!poolCount(n, "namespace set pool"))
        return false;
    for (std::uint32_t i = 1; i < n; ++i) {
        std::uint32_t members = 0;
        if (!count(members, limits::kMaxPoolEntries, "namespace set"))
            return false;
        NamespaceSet& set = pool.namespaceSets.emplace_back();
        set.namespaces.resize(members);
        for (std::uint32_t& ns : set.namespaces) {
            ns = u30();
            if (!inRange(ns, pool.namespaces.size(), "namespace set member") ||
                (ns == 0 && !fail(ErrorCode::BadReference, "namespace set holds namespace 0")))
                return false;
        }
    }
    if (!poolCount(n, "multiname pool"))
        return false;
    for (std::uint32_t i = 1; i < n; ++i)
        if (!readMultiname(pool.multinames.emplace_back()))
            return false;
    if (!m_in.ok())
        return truncated("constant pool");
    return checkMultinames();
}

bool Parser::readConstant(Constant& c, const char* what)
{
    c.index = u30();
    c.kind = static_cast<ConstantKind>(m_in.u8());
    return checkConstant(c, what);
}

bool Parser::checkConstant(const Constant& c, const char* what)
{
    const ConstantPool& pool = m_abc.pool;
    switch (c.kind) {
    case ConstantKind::Int:
        return inRange(c.index, pool.ints.size(), what);
    case ConstantKind::UInt:
        return inRange(c.index, pool.uints.size(), what);
    case ConstantKind::Double:
        return inRange(c.index, pool.doubles.size(), what);
    case ConstantKind::Utf8:
        return string(c.index, what);
    case ConstantKind::Namespace:
    case ConstantKind::PackageNamespace:
    case ConstantKind::PackageInternalNs:
    case ConstantKind::ProtectedNamespace:
    case ConstantKind::ExplicitNamespace:
    case ConstantKind::StaticProtectedNs:
    case ConstantKind::PrivateNs:
        return inRange(c.index, pool.namespaces.size(), what);
    case ConstantKind::Undefined:
    case ConstantKind::True:
    case ConstantKind::False:
    case ConstantKind::Null:
        return true;
    }
    return fail(ErrorCode::BadValue,
                std::string(what) + ": constant kind " + std::to_string(static_cast<int>(c.kind)));
}

bool Parser::readMethod(MethodInfo& info)
{
    std::uint32_t params = 0;
    if (!count(params, limits::kMaxMethodParams, "method parameters"))
        return false;
    info.returnType = u30();
    if (!multiname(info.returnType, "method return type"))
        return false;
    info.paramTypes.resize(params);
    for (std::uint32_t& t : info.paramTypes) {
        t = u30();
        if (!multiname(t, "method parameter type"))
            return false;
    }
    info.name = u30();
    info.flags = m_in.u8();
    if (!string(info.name, "method name"))
        return false;
    if (info.has(method_flags::kHasOptional)) {
        std::uint32_t optional = 0;
        if (!count(optional, params, "optional parameters", 2))
            return false;
        info.optionalValues.resize(optional);
        for (Constant& c : info.optionalValues)
            if (!readConstant(c, "optional parameter"))
                return false;
    }
    if (info.has(method_flags::kHasParamNames)) {
        info.paramNames.resize(params);
        for (std::uint32_t& name : info.paramNames) {
            name = u30();
            if (!string(name, "parameter name"))
                return false;
        }
    }
    return m_in.ok() || truncated("method");
}

bool Parser::readMetadata(MetadataInfo& meta)
{
    meta.name = u30();
    std::uint32_t n = 0;
    if (!string(meta.name, "metadata name") ||
        !count(n, limits::kMaxMetadataItems, "metadata items", 2))
        return false;
    meta.items.resize(n);
    // All the keys come first, then all the values.
    for (auto& item : meta.items) {
        item.key = u30();
        if (!string(item.key, "metadata key"))
            return false;
    }
    for (auto& item : meta.items) {
        item.value = u30();
        if (!string(item.value, "metadata value"))
            return false;
    }
    return true;
}

bool Parser::readTrait(Trait& trait)
{
    trait.name = u30();
    const std::uint8_t kindByte = m_in.u8();
    if (!multiname(trait.name, "trait name"))
        return false;
    const MultinameKind nameKind = m_abc.pool.multinames[trait.name].kind;
    if (trait.name == 0 || nameKind != MultinameKind::QName)
        return fail(ErrorCode::BadReference,
                    "trait name " + std::to_string(trait.name) + " is not a qualified name");
    const std::uint8_t kind = kindByte & 0x0F;
    trait.attributes = kindByte >> 4;
    if (kind > static_cast<std::uint8_t>(TraitKind::Const))
        return fail(ErrorCode::BadValue, "trait kind " + std::to_string(kind));
    trait.kind = static_cast<TraitKind>(kind);
    switch (trait.kind) {
    case TraitKind::Slot:
    case TraitKind::Const:
        trait.slotId = u30();
        trait.typeName = u30();
        if (!multiname(trait.typeName, "slot type"))
            return false;
        trait.value.index = u30();
        // Without a value index the slot has its type's default and no kind byte.
        if (trait.value.index != 0) {
            trait.value.kind = static_cast<ConstantKind>(m_in.u8());
            if (!checkConstant(trait.value, "slot value"))
                return false;
        }
        break;
    case TraitKind::Class:
        trait.slotId = u30();
        trait.index = u30();
        if (!inRange(trait.index, m_classCount, "class trait"))
            return false;
        break;
    case TraitKind::Function:
        trait.slotId = u30();
        trait.index = u30();
        if (!method(trait.index, "function trait"))
            return false;
        break;
    case TraitKind::Method:
    case TraitKind::Getter:
    case TraitKind::Setter:
        trait.dispId = u30();
        trait.index = u30();
        if (!method(trait.index, "method trait"))
            return false;
        break;
    }
    if (trait.attributes & trait_attributes::kMetadata) {
        std::uint32_t n = 0;
        if (!count(n, limits::kMaxMetadataItems, "trait metadata"))
            return false;
        trait.metadata.resize(n);
        for (std::uint32_t& m : trait.metadata) {
            m = u30();
            if (!inRange(m, m_abc.metadata.size(), "trait metadata"))
                return false;
        }
    }
    return m_in.ok() || truncated("trait");
}

bool Parser::readTraits(std::vector<Trait>& traits, const char* what)
{
    std::uint32_t n = 0;
    if (!count(n, limits::kMaxTraits, what, 3))
        return false;
    traits.resize(n);
    for (Trait& t : traits)
        if (!readTrait(t))
            return false;
    return true;
}

bool Parser::readInstance(InstanceInfo& instance)
{
    instance.name = u30();
    instance.superName = u30();
    instance.flags = m_in.u8();
    if (!multiname(instance.name, "class name") || !multiname(instance.superName, "superclass"))
        return false;
    if (instance.flags & instance_flags::kProtectedNs) {
        instance.protectedNs = u30();
        if (!inRange(instance.protectedNs, m_abc.pool.namespaces.size(), "protected namespace"))
            return false;
    }
    std::uint32_t n = 0;
    if (!count(n, limits::kMaxInterfaces, "interfaces"))
        return false;
    instance.interfaces.resize(n);
    for (std::uint32_t& i : instance.interfaces) {
        i = u30();
        if (!multiname(i, "interface"))
            return false;
    }
    instance.initializer = u30();
    return method(instance.initializer, "instance initializer") &&
           readTraits(instance.traits, "instance traits");
}

bool Parser::readBody(MethodBody& body)
{
    body.method = u30();
    body.maxStack = u30();
    body.localCount = u30();
    body.initScopeDepth = u30();
    body.maxScopeDepth = u30();
    if (!method(body.method, "method body"))
        return false;
    MethodInfo& info = m_abc.methods[body.method];
    if (info.body)
        return fail(ErrorCode::BadValue,
                    "method " + std::to_string(body.method) + " has two bodies");
    if (info.has(method_flags::kNative))
        return fail(ErrorCode::BadValue,
                    "native method " + std::to_string(body.method) + " has a body");
    if (body.maxStack > limits::kMaxStack || body.localCount > limits::kMaxLocals ||
        body.maxScopeDepth > limits::kMaxScopeDepth)
        return fail(ErrorCode::TooLarge, "method body frame");
    if (body.initScopeDepth > body.maxScopeDepth)
        return fail(ErrorCode::BadValue, "method body scope depths");
    const std::uint32_t codeLength = u30();
    if (!m_in.ok() || codeLength > m_in.remaining())
        return truncated("method body code");
    const auto code = m_in.take(codeLength);
    body.code.assign(code.begin(), code.end());
    std::uint32_t n = 0;
    if (!count(n, limits::kMaxExceptions, "exception handlers", 5))
        return false;
    body.exceptions.resize(n);
    for (ExceptionInfo& e : body.exceptions) {
        e.from = u30();
        e.to = u30();
        e.target = u30();
        e.type = u30();
        e.varName = u30();
        if (!multiname(e.type, "exception type") || !multiname(e.varName, "exception variable"))
            return false;
    }
    if (!readTraits(body.traits, "activation traits"))
        return false;
    info.body = static_cast<std::uint32_t>(&body - m_abc.bodies.data());
    return true;
}

swf::Result<AbcFile> Parser::run()
{
    if (m_in.size() > limits::kMaxAbcBytes)
        return swf::makeError(ErrorCode::TooLarge, "ABC block");
    m_abc.minorVersion = m_in.u16();
    m_abc.majorVersion = m_in.u16();
    std::uint32_t n = 0;
    bool ok = m_in.ok() || truncated("version");
    ok = ok && readPool();
    ok = ok && count(n, limits::kMaxPoolEntries, "methods", 4);
    if (ok) {
        m_methodCount = n;
        m_abc.methods.resize(n);
        for (MethodInfo& info : m_abc.methods)
            if (!(ok = readMethod(info)))
                break;
    }
    ok = ok && count(n, limits::kMaxPoolEntries, "metadata", 2);
    if (ok) {
        m_abc.metadata.resize(n);
        for (MetadataInfo& meta : m_abc.metadata)
            if (!(ok = readMetadata(meta)))
                break;
    }
    ok = ok && count(n, limits::kMaxPoolEntries, "classes", 7);
    if (ok) {
        m_classCount = n;
        m_abc.instances.resize(n);
        m_abc.classes.resize(n);
        for (InstanceInfo& instance : m_abc.instances)
            if (!(ok = readInstance(instance)))
                break;
    }
    if (ok) {
        for (ClassInfo& c : m_abc.classes) {
            c.initializer = u30();
            if (!(ok = method(c.initializer, "class initializer") &&
                       readTraits(c.traits, "class traits")))
                break;
        }
    }
    ok = ok && count(n, limits::kMaxPoolEntries, "scripts", 2);
    if (ok) {
        m_abc.scripts.resize(n);
        for (ScriptInfo& s : m_abc.scripts) {
            s.initializer = u30();
            if (!(ok = method(s.initializer, "script initializer") &&
                       readTraits(s.traits, "script traits")))
                break;
        }
    }
    ok = ok && count(n, limits::kMaxPoolEntries, "method bodies", 8);
    if (ok) {
        m_abc.bodies.resize(n);
        for (MethodBody& body : m_abc.bodies)
            if (!(ok = readBody(body)))
                break;
    }
    if (!ok || m_failed)
        return m_failed ? m_error : swf::makeError(ErrorCode::Truncated, "ABC block");
    return std::move(m_abc);
}

} // namespace

swf::Result<AbcFile> parseAbc(std::span<const std::uint8_t> bytes)
{
    return Parser(bytes).run();
}

} // namespace avm2::abc
