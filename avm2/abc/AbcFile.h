#pragma once

// An ABC block as the file stores it: the constant pool and the tables of methods,
// metadata, classes, scripts and method bodies, with every index already checked to
// lie inside its table. Names stay indices into the pool; the machine interns and
// links them when it loads the block.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace avm2::abc {

enum class NamespaceKind : std::uint8_t {
    Private = 0x05,
    Namespace = 0x08,
    Package = 0x16,
    PackageInternal = 0x17,
    Protected = 0x18,
    Explicit = 0x19,
    StaticProtected = 0x1A,
};

struct Namespace {
    NamespaceKind kind = NamespaceKind::Namespace;
    std::uint32_t name = 0; // string index; 0 is the any-name namespace
};

struct NamespaceSet {
    std::vector<std::uint32_t> namespaces; // namespace indices, none of them 0
};

enum class MultinameKind : std::uint8_t {
    QName = 0x07,
    QNameA = 0x0D,
    RTQName = 0x0F,
    RTQNameA = 0x10,
    RTQNameL = 0x11,
    RTQNameLA = 0x12,
    Multiname = 0x09,
    MultinameA = 0x0E,
    MultinameL = 0x1B,
    MultinameLA = 0x1C,
    TypeName = 0x1D,
};

// Which fields a kind uses: QName ns and name; RTQName name; Multiname name and
// nsSet; MultinameL nsSet; TypeName base and params (multiname indices).
struct Multiname {
    MultinameKind kind = MultinameKind::QName;
    std::uint32_t ns = 0;
    std::uint32_t name = 0;
    std::uint32_t nsSet = 0;
    std::uint32_t base = 0;
    std::vector<std::uint32_t> params;

    bool isAttribute() const;
    // The namespace or the name comes from the stack at run time.
    bool hasRuntimeNamespace() const;
    bool hasRuntimeName() const;
};

// Entry 0 of every table is the format's implied default (0, NaN, "", any namespace,
// the any name); the parser puts it there so that indices need no offset.
struct ConstantPool {
    std::vector<std::int32_t> ints{0};
    std::vector<std::uint32_t> uints{0};
    std::vector<double> doubles{std::numeric_limits<double>::quiet_NaN()};
    std::vector<std::string> strings{std::string()};
    std::vector<Namespace> namespaces{Namespace{}};
    std::vector<NamespaceSet> namespaceSets{NamespaceSet{}};
    std::vector<Multiname> multinames{Multiname{}};
};

// The kinds of a constant value (optional parameters, slot defaults).
enum class ConstantKind : std::uint8_t {
    Undefined = 0x00,
    Utf8 = 0x01,
    Int = 0x03,
    UInt = 0x04,
    PrivateNs = 0x05,
    Double = 0x06,
    Namespace = 0x08,
    False = 0x0A,
    True = 0x0B,
    Null = 0x0C,
    PackageNamespace = 0x16,
    PackageInternalNs = 0x17,
    ProtectedNamespace = 0x18,
    ExplicitNamespace = 0x19,
    StaticProtectedNs = 0x1A,
};

struct Constant {
    ConstantKind kind = ConstantKind::Undefined;
    std::uint32_t index = 0; // into the table the kind names; unused for the others
};

namespace method_flags {
inline constexpr std::uint8_t kNeedArguments = 0x01;
inline constexpr std::uint8_t kNeedActivation = 0x02;
inline constexpr std::uint8_t kNeedRest = 0x04;
inline constexpr std::uint8_t kHasOptional = 0x08;
inline constexpr std::uint8_t kIgnoreRest = 0x10;
inline constexpr std::uint8_t kNative = 0x20;
inline constexpr std::uint8_t kSetDxns = 0x40;
inline constexpr std::uint8_t kHasParamNames = 0x80;
} // namespace method_flags

struct MethodInfo {
    std::uint32_t returnType = 0;          // multiname; 0 is any type
    std::vector<std::uint32_t> paramTypes; // multinames
    std::uint32_t name = 0;                // string
    std::uint8_t flags = 0;
    std::vector<Constant> optionalValues;  // for the last parameters
    std::vector<std::uint32_t> paramNames; // strings, when kHasParamNames
    std::optional<std::uint32_t> body;     // index into the bodies, once linked

    bool has(std::uint8_t flag) const { return (flags & flag) != 0; }
};

struct MetadataInfo {
    std::uint32_t name = 0; // string
    struct Item {
        std::uint32_t key = 0; // string; 0 for an item without a key
        std::uint32_t value = 0;
    };
    std::vector<Item> items;
};

enum class TraitKind : std::uint8_t {
    Slot = 0,
    Method = 1,
    Getter = 2,
    Setter = 3,
    Class = 4,
    Function = 5,
    Const = 6,
};

namespace trait_attributes {
inline constexpr std::uint8_t kFinal = 0x1;
inline constexpr std::uint8_t kOverride = 0x2;
inline constexpr std::uint8_t kMetadata = 0x4;
} // namespace trait_attributes

// Slots and constants use slotId, typeName and value; classes slotId and index (a
// class); functions slotId and index (a method); methods, getters and setters
// dispId and index (a method).
struct Trait {
    std::uint32_t name = 0; // a QName multiname
    TraitKind kind = TraitKind::Slot;
    std::uint8_t attributes = 0;
    std::uint32_t slotId = 0;
    std::uint32_t dispId = 0;
    std::uint32_t typeName = 0;
    Constant value;
    std::uint32_t index = 0;
    std::vector<std::uint32_t> metadata;
};

namespace instance_flags {
inline constexpr std::uint8_t kSealed = 0x01;
inline constexpr std::uint8_t kFinal = 0x02;
inline constexpr std::uint8_t kInterface = 0x04;
inline constexpr std::uint8_t kProtectedNs = 0x08;
} // namespace instance_flags

struct InstanceInfo {
    std::uint32_t name = 0;      // QName multiname
    std::uint32_t superName = 0; // multiname; 0 for none (Object, interfaces)
    std::uint8_t flags = 0;
    std::uint32_t protectedNs = 0;         // namespace, when kProtectedNs
    std::vector<std::uint32_t> interfaces; // multinames
    std::uint32_t initializer = 0;         // method
    std::vector<Trait> traits;
};

struct ClassInfo {
    std::uint32_t initializer = 0; // method
    std::vector<Trait> traits;
};

struct ScriptInfo {
    std::uint32_t initializer = 0; // method
    std::vector<Trait> traits;
};

struct ExceptionInfo {
    std::uint32_t from = 0; // code offsets: the guarded range [from, to) and the handler
    std::uint32_t to = 0;
    std::uint32_t target = 0;
    std::uint32_t type = 0;    // multiname; 0 catches everything
    std::uint32_t varName = 0; // multiname; 0 for none
};

struct MethodBody {
    std::uint32_t method = 0;
    std::uint32_t maxStack = 0;
    std::uint32_t localCount = 0;
    std::uint32_t initScopeDepth = 0;
    std::uint32_t maxScopeDepth = 0;
    std::vector<std::uint8_t> code;
    std::vector<ExceptionInfo> exceptions;
    std::vector<Trait> traits; // the activation's
};

struct AbcFile {
    std::uint16_t minorVersion = 0;
    std::uint16_t majorVersion = 0;
    ConstantPool pool;
    std::vector<MethodInfo> methods;
    std::vector<MetadataInfo> metadata;
    std::vector<InstanceInfo> instances; // instances[i] and classes[i] make class i
    std::vector<ClassInfo> classes;
    std::vector<ScriptInfo> scripts;
    std::vector<MethodBody> bodies;
};

} // namespace avm2::abc
