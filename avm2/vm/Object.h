#pragma once

#include "Names.h"
#include "OrderedTable.h"
#include "Value.h"

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace avm2 {

class Vm;
class ClassObject;
class MethodEnv;
class Traits;

// Dynamic properties by interned name, in the order they were made.
using DynamicProperties = OrderedTable<String>;

// What a class's instances are made of natively: the Vm allocates the object of the
// nearest native class in a chain, so that a subclass of Array is an Array.
enum class ObjectKind : std::uint8_t {
    Plain,
    Function,
    Class,
    Array,
    Vector,
    Error,
    Date,
    RegExp,
    Namespace,
    QName,
    Xml,
    XmlList,
    ByteArray,
    Dictionary,
    Proxy,
    Activation,
    Global,
    Catch,
    Native, // a player class's engine object
};

// Every ActionScript 3 object: its class's traits with their slots, its dynamic
// properties when its class is dynamic, and its prototype.
class Object : public script::Cell {
public:
    Object(const Traits* traits, Object* prototype, ObjectKind kind = ObjectKind::Plain);

    ObjectKind kind() const { return m_kind; }
    const Traits* traits() const { return m_traits; }
    Object* prototype() const { return m_prototype; }
    void setPrototype(Object* prototype) { m_prototype = prototype; }
    // The class the object was made by (null for activations and catch scopes).
    ClassObject* classObject() const;

    // Gives an object made before its traits were built (a script's global) its traits
    // and their slots.
    void adoptTraits(const Traits* traits);

    std::vector<Value>& slots() { return m_slots; }
    const std::vector<Value>& slots() const { return m_slots; }
    Value& slot(std::uint32_t index) { return m_slots[index]; }

    bool isDynamic() const;
    DynamicProperties& dynamic() { return m_dynamic; }
    const DynamicProperties& dynamic() const { return m_dynamic; }

    // Indexed access, for the kinds that keep elements natively (Array, Vector,
    // ByteArray...). `handled` false leaves the name to the ordinary lookup.
    virtual bool getIndex(Vm& vm, std::uint32_t index, Value& out);
    virtual bool setIndex(Vm& vm, std::uint32_t index, const Value& value);
    virtual bool deleteIndex(Vm& vm, std::uint32_t index);
    virtual bool hasIndex(std::uint32_t index) const;
    // Kinds that read every numeric name as an index (Vector): true when `local` is a
    // number, with the index it stands for ("2.00" is 2), or with an error thrown when
    // it stands for none ("-1", "1.5").
    virtual bool numericName(Vm& vm, const String* local, std::uint32_t& index);

    // Property access by name for the kinds whose names select data (XML and XMLList:
    // children and attributes). The Vm asks these when no declared trait answers;
    // returning false leaves the name to the ordinary lookup.
    bool namesSelectData() const
    {
        return m_kind == ObjectKind::Xml || m_kind == ObjectKind::XmlList;
    }
    virtual bool getNamed(Vm& vm, const Name& name, Value& out);
    virtual bool setNamed(Vm& vm, const Name& name, const Value& value);
    virtual bool deleteNamed(Vm& vm, const Name& name, bool& deleted);
    virtual bool hasNamed(Vm& vm, const Name& name, bool& found);

    // Enumeration (for-in, hasnext2): positions count from 1, 0 ends. Native elements
    // come first, then enumerable dynamic properties.
    virtual std::uint32_t nextEnumerable(std::uint32_t position) const;
    virtual Value enumerableName(Vm& vm, std::uint32_t position) const;
    virtual Value enumerableValue(Vm& vm, std::uint32_t position);

    void traceChildren(script::Tracer& tracer) override;

protected:
    // Dynamic entries follow the native elements in enumeration.
    std::uint32_t nextDynamic(std::uint32_t position, std::uint32_t base) const;

private:
    const Traits* m_traits;
    Object* m_prototype;
    std::vector<Value> m_slots;
    DynamicProperties m_dynamic;
    ObjectKind m_kind;
};

using NativeMethod = Value (*)(Vm& vm, const Value& thisValue, std::span<const Value> args);

// A method ready to run: native code, or an ABC method with the scope it closes over.
class ScopeChain;
struct AbcUnit;

class MethodEnv final : public script::Cell {
public:
    NativeMethod native = nullptr;
    AbcUnit* unit = nullptr;
    std::uint32_t method = 0;
    ScopeChain* scope = nullptr;
    ClassObject* declaringClass = nullptr; // for super and protected names
    String* name = nullptr;                // for messages and stack traces
    // A native's declared parameters, for Function.length; ABC methods read theirs.
    std::int32_t nativeLength = 0;
    bool isFunction = false;       // a function closure: `this` defaults to the global object
    bool isStatic = false;         // declared on the class object
    bool isInitializer = false;    // a class's instance initializer
    const Namespace* ns = nullptr; // the namespace it was declared in
    // How a stack trace names the method ("Test/get x", "Test$cinit"); made on first need.
    String* traceName = nullptr;
    bool isGetter = false;
    bool isSetter = false;

    void traceChildren(script::Tracer& tracer) override;
};

// The scope a function closes over: the scope stack at its creation, innermost first.
class ScopeChain final : public script::Cell {
public:
    ScopeChain(ScopeChain* outer, Value scope, bool with)
        : parent(outer), value(scope), isWith(with)
    {}
    ScopeChain* parent;
    Value value;
    bool isWith;
    // The script's global object at the outermost end.
    void traceChildren(script::Tracer& tracer) override;
};

// A Function: a method environment, bound to a receiver when it is a method closure.
class FunctionObject final : public Object {
public:
    FunctionObject(const Traits* traits, Object* prototype, MethodEnv* method, Value receiver,
                   bool closure)
        : Object(traits, prototype, ObjectKind::Function), env(method), boundThis(receiver),
          isMethodClosure(closure)
    {}
    MethodEnv* env;
    Value boundThis;
    bool isMethodClosure;
    // A function's own prototype property (made on first read, for construction).
    Object* functionPrototype = nullptr;

    void traceChildren(script::Tracer& tracer) override;
};

// An object of ObjectKind::Array: dense elements, with holes, then sparse ones.
class ArrayObject final : public Object {
public:
    ArrayObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Array)
    {}

    std::uint32_t length() const { return m_length; }
    void setLength(std::uint32_t length);
    Value get(std::uint32_t index) const;
    void set(std::uint32_t index, const Value& value);
    void push(const Value& value) { set(m_length, value); }
    bool has(std::uint32_t index) const;
    void remove(std::uint32_t index);
    std::vector<Value>& dense() { return m_dense; }

    bool getIndex(Vm& vm, std::uint32_t index, Value& out) override;
    bool setIndex(Vm& vm, std::uint32_t index, const Value& value) override;
    bool deleteIndex(Vm& vm, std::uint32_t index) override;
    bool hasIndex(std::uint32_t index) const override;
    std::uint32_t nextEnumerable(std::uint32_t position) const override;
    Value enumerableName(Vm& vm, std::uint32_t position) const override;
    Value enumerableValue(Vm& vm, std::uint32_t position) override;
    void traceChildren(script::Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_dense.capacity() * sizeof(Value); }

private:
    std::vector<Value> m_dense; // elements below m_dense.size(); holes are `hole`
    std::unordered_map<std::uint32_t, Value> m_sparse;
    std::vector<bool> m_present; // which dense elements exist
    std::uint32_t m_length = 0;
};

} // namespace avm2
