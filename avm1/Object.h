#pragma once

#include "PropertyMap.h"

#include <cstdint>
#include <span>
#include <vector>

namespace avm1 {

class Vm;

// What kind of built-in an object is, for typeof, instanceof of primitives, the
// wrapper classes' valueOf, and the clip-aware paths of the interpreter.
enum class ObjectClass : std::uint8_t {
    Object,
    Function,
    Array,
    Arguments,
    String,
    Number,
    Boolean,
    Date,
    Error,
    MovieClip,
    Button,
    TextField,
    Video,
    Super,
    Other,
};

// A watch() registration: the callback runs before each assignment to the property.
struct Watcher {
    String* name = nullptr;
    Object* callback = nullptr;
    Value userData;
    // Calls of this watcher running now, nested: a watcher fires again inside its own
    // call (through another watcher, say), up to limits::kMaxPropertyHookDepth deep;
    // past that the assignment stores its value unwatched.
    std::uint8_t nesting = 0;
};

// An ActionScript object: own properties in insertion order, a prototype (the
// __proto__ property, kept as a field so that every lookup does not hash it), and the
// hooks through which built-in classes (arrays, clips, text fields) answer for names
// that are not plain slots.
class Object : public Cell {
public:
    explicit Object(Object* prototype) : m_prototype(prototype) {}

    virtual ObjectClass objectClass() const { return ObjectClass::Object; }
    bool isFunction() const { return objectClass() == ObjectClass::Function; }

    Object* prototype() const { return m_prototype; }
    void setPrototype(Object* prototype)
    {
        m_prototype = prototype;
        m_protoPrimitive = Value();
    }
    // __proto__ as a script last gave it when that was no object (123, null...): read
    // back as given, while lookups have no prototype to go on to.
    Value prototypeValue() const { return m_prototype ? Value(m_prototype) : m_protoPrimitive; }
    void setPrototypeValue(Value value)
    {
        m_prototype = value.objectOrNull();
        m_protoPrimitive = m_prototype ? Value() : value;
    }
    // __proto__ is a property scripts can delete, hide and enumerate like others.
    bool hasPrototypeProperty() const { return m_hasProtoProperty; }
    void setHasPrototypeProperty(bool has) { m_hasProtoProperty = has; }
    std::uint16_t prototypeFlags() const { return m_protoFlags; }
    void setPrototypeFlags(std::uint16_t flags) { m_protoFlags = flags; }

    // The own properties as one map. An array holding its first elements in a vector
    // (ArrayObject) moves them into the map first, for the code that works on the map
    // itself; the interpreter's own paths use slots() and reach those elements through
    // the hooks below.
    PropertyMap& properties()
    {
        if (m_elementVectorSize > 0)
            spillElements();
        return m_properties;
    }
    const PropertyMap& properties() const { return const_cast<Object*>(this)->properties(); }
    // The map alone, without the elements an array keeps apart.
    PropertyMap& slots() { return m_properties; }
    // How many elements the object keeps apart from the map (an array's first ones).
    std::size_t elementVectorSize() const { return m_elementVectorSize; }

    // A plain data property, set without setters, watchers or read-only checks:
    // what built-ins use to furnish their objects.
    void defineValue(Vm& vm, std::string_view name, Value value, std::uint16_t flags = 0);
    void defineValue(String* name, Value value, std::uint16_t flags, CaseRule rule);

    // Hooks for built-in classes. getVirtual is asked before own slots (a clip's _x),
    // setVirtual before any assignment (true when it took the value), resolveFallback
    // after own slots but before the prototype chain (a clip's child by instance
    // name). virtualKeys adds enumerable names that are not slots.
    virtual bool getVirtual(Vm& /*vm*/, String* /*name*/, Value& /*out*/) { return false; }
    virtual bool setVirtual(Vm& /*vm*/, String* /*name*/, const Value& /*value*/) { return false; }
    virtual bool resolveFallback(Vm& /*vm*/, String* /*name*/, Value& /*out*/) { return false; }
    virtual void virtualKeys(Vm& /*vm*/, std::vector<String*>& /*keys*/) {}
    // Called after a plain own property was deleted (arrays keep their length right).
    virtual void ownPropertyDeleted(Vm& /*vm*/, String* /*name*/) {}
    // For an object keeping elements apart from the map: whether `name` is one of them,
    // and deleting it (true when it was deleted there).
    virtual bool elementVectorHolds(const String* /*name*/) const { return false; }
    virtual bool deleteFromElementVector(Vm& /*vm*/, String* /*name*/) { return false; }
    // Called after an assignment stored a value in a plain own property (clips show
    // their variables in the text fields bound to them).
    virtual void ownPropertyAssigned(Vm& /*vm*/, String* /*name*/) {}

    std::vector<Watcher>& watchers() { return m_watchers; }
    // The interfaces a class's prototype declares (ImplementsOp), for instanceof.
    std::vector<Object*>& interfaces() { return m_interfaces; }
    // State a built-in class keeps for this object (an XML node's place in its tree),
    // given by the class's constructor, so that instances of script subclasses made by
    // super() get it too.
    Cell* nativeState() const { return m_nativeState; }
    void setNativeState(Cell* state) { m_nativeState = state; }

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_properties.extraBytes(); }

protected:
    // Moves the elements kept apart into the map, in front of the properties there
    // (they were made before them), and sets the count to 0.
    virtual void spillElements() {}
    void setElementVectorSize(std::size_t size) { m_elementVectorSize = size; }

private:
    Object* m_prototype;
    Value m_protoPrimitive;
    PropertyMap m_properties;
    std::vector<Watcher> m_watchers;
    std::vector<Object*> m_interfaces;
    Cell* m_nativeState = nullptr;
    std::size_t m_elementVectorSize = 0;
    std::uint16_t m_protoFlags = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    bool m_hasProtoProperty = true;
};

// The primitive inside a Number, String or Boolean object (new Number(3)), and a
// Date's time value.
class PrimitiveObject final : public Object {
public:
    PrimitiveObject(Object* prototype, ObjectClass kind, Value primitive)
        : Object(prototype), m_kind(kind), m_primitive(primitive)
    {}
    ObjectClass objectClass() const override { return m_kind; }
    Value primitive() const { return m_primitive; }
    void setPrimitive(Value value) { m_primitive = value; }
    void traceChildren(Tracer& tracer) override;

private:
    ObjectClass m_kind;
    Value m_primitive;
};

} // namespace avm1
