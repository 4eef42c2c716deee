#pragma once

#include "Object.h"
#include "Traits.h"

#include <memory>

namespace avm2 {

// What a native class adds to construction and conversion: how its instances are
// allocated, what its constructor does with the arguments, and what calling the class
// as a function does (String(x), int(x)...).
struct NativeClassHooks {
    // Makes the instance (the object of a native kind); null uses a plain object.
    Object* (*allocate)(Vm& vm, ClassObject& cls) = nullptr;
    // The native part of the constructor, run by the class's initializer (and by
    // super() from a subclass).
    NativeMethod construct = nullptr;
    // Calling the class: a conversion; null makes the call construct (Object(), Array()).
    NativeMethod call = nullptr;
    // Class values that construct to a primitive (new Boolean(x) is a Boolean).
    NativeMethod constructPrimitive = nullptr;
};

// A class object: the class's own traits are its object's traits; the instances'
// traits, the prototype and the base class are kept here.
class ClassObject final : public Object {
public:
    ClassObject(const Traits* classTraits, Object* prototypeOfClass)
        : Object(classTraits, prototypeOfClass, ObjectKind::Class)
    {}

    std::unique_ptr<Traits> ownClassTraits;
    std::unique_ptr<Traits> instanceTraits;
    ClassObject* base = nullptr;
    Object* instancePrototype = nullptr; // `prototype`
    MethodEnv* initializer = nullptr;    // the instance initializer (iinit)
    NativeClassHooks hooks;
    String* qualifiedName = nullptr; // "flash.display::MovieClip"
    String* localName = nullptr;     // "MovieClip"
    const Namespace* ns = nullptr;
    // Vector.<T>: the generic class and its applied ones.
    ClassObject* typeParameter = nullptr;
    bool isGenericVector = false;
    bool initialized = true;
    std::unordered_map<ClassObject*, ClassObject*> applied; // Vector's instantiations

    bool isSubclassOf(const ClassObject* other) const;
    void traceChildren(script::Tracer& tracer) override;
};

} // namespace avm2
