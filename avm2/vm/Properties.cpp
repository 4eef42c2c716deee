// Property access by name: declared traits first, then native elements, then dynamic
// properties and the prototype chain, as the machine's lookup orders them.
#include "Operations.h"
#include "Vm.h"

namespace avm2 {

namespace {

// The array index a name spells ("0" to "4294967294"), or nothing.
std::optional<std::uint32_t> arrayIndex(const String* local)
{
    if (!local)
        return std::nullopt;
    const std::u16string_view t = local->view();
    if (t.empty() || t.size() > 10 || t[0] < u'0' || t[0] > u'9' || (t[0] == u'0' && t.size() > 1))
        return std::nullopt;
    std::uint64_t n = 0;
    for (char16_t c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    if (n >= 0xffffffffull)
        return std::nullopt;
    return static_cast<std::uint32_t>(n);
}

std::u16string nameText(const Name& name)
{
    return name.local ? name.local->text() : u"*";
}

// An object whose names select data (XML) answers every name it is asked for by
// reading, writing or deleting: its declared methods are reached only by calls.
Object* dataNamed(Object* o, const Name&)
{
    return o && o->namesSelectData() ? o : nullptr;
}

} // namespace

ClassObject* Vm::classOf(const Value& v) const
{
    switch (v.type()) {
    case Value::Type::Boolean:
        return m_builtins.boolean;
    case Value::Type::Int:
        return m_builtins.intClass;
    case Value::Type::Number:
        return m_builtins.number;
    case Value::Type::String:
        return m_builtins.string;
    case Value::Type::Object:
        return v.asObject()->classObject();
    default:
        return nullptr;
    }
}

const Traits* Vm::traitsOf(const Value& v) const
{
    if (v.isObject())
        return v.asObject()->traits();
    ClassObject* cls = classOf(v);
    return cls ? cls->instanceTraits.get() : nullptr;
}

Object* Vm::prototypeOf(const Value& v) const
{
    if (v.isObject())
        return v.asObject()->prototype();
    ClassObject* cls = classOf(v);
    return cls ? cls->instancePrototype : nullptr;
}

const Value* Vm::findDynamic(Object* object, const String* key) const
{
    for (Object* o = object; o; o = o->prototype())
        if (const Value* v = o->dynamic().find(key))
            return v;
    return nullptr;
}

namespace {
std::u16string ownerName(Vm& vm, const Value& object)
{
    if (object.isObject() && object.asObject()->kind() == ObjectKind::Class) {
        auto* c = static_cast<ClassObject*>(object.asObject());
        return (c->qualifiedName ? c->qualifiedName->text() : u"Object") + u"$";
    }
    if (object.isObject() && object.asObject()->kind() == ObjectKind::Global)
        return u"global";
    ClassObject* cls = vm.classOf(object);
    if (object.isObject() && object.asObject()->traits() && !cls &&
        object.asObject()->traits()->name)
        return object.asObject()->traits()->name->text();
    return cls && cls->qualifiedName ? cls->qualifiedName->text() : u"Object";
}
} // namespace

Value Vm::getProperty(const Value& object, const Name& name)
{
    if (object.isNullish())
        return throwError(ErrorType::TypeError, object.isNull() ? 1009 : 1010);
    Object* o = object.objectOrNull();
    if (Object* data = dataNamed(o, name)) {
        Value out;
        if (data->getNamed(*this, name, out))
            return out;
    }
    if (o && !name.attribute) {
        if (auto index = arrayIndex(name.local)) {
            Value out;
            if (o->getIndex(*this, *index, out))
                return out;
        }
    }
    const Traits* traits = traitsOf(object);
    if (traits) {
        if (const Binding* b = traits->find(name)) {
            switch (b->kind) {
            case Binding::Kind::Slot:
            case Binding::Kind::Const:
                return o ? o->slot(b->index) : Value();
            case Binding::Kind::Method:
                return Value(newMethodClosure(traits->vtable[b->index], object));
            case Binding::Kind::Accessor:
                if (b->getter == Binding::kNone)
                    return throwError(ErrorType::ReferenceError, 1077,
                                      {nameText(name), ownerName(*this, object)});
                return invoke(traits->vtable[b->getter], object, {});
            }
        }
    }
    if (name.local && name.seesPublic() && !name.attribute) {
        if (const Value* v = findDynamic(o ? o : prototypeOf(object), name.local))
            return *v;
        if (!o) {
            // A primitive's prototype chain is its class's.
        }
    }
    if (o && o->isDynamic())
        return Value();
    if (o && (o->kind() == ObjectKind::Array))
        return Value();
    return throwError(ErrorType::ReferenceError, 1069, {nameText(name), ownerName(*this, object)});
}

bool Vm::setProperty(const Value& object, const Name& name, const Value& value, bool init)
{
    if (object.isNullish()) {
        throwError(ErrorType::TypeError, object.isNull() ? 1009 : 1010);
        return false;
    }
    Object* o = object.objectOrNull();
    if (Object* data = dataNamed(o, name))
        if (data->setNamed(*this, name, value))
            return !m_throwing;
    if (o && !name.attribute) {
        if (auto index = arrayIndex(name.local))
            if (o->setIndex(*this, *index, value))
                return true;
    }
    const Traits* traits = traitsOf(object);
    if (traits) {
        if (const Binding* b = traits->find(name)) {
            switch (b->kind) {
            case Binding::Kind::Const:
                if (!init) {
                    throwError(ErrorType::ReferenceError, 1074,
                               {nameText(name), ownerName(*this, object)});
                    return false;
                }
                [[fallthrough]];
            case Binding::Kind::Slot: {
                if (!o)
                    return false;
                const SlotInfo& slot = traits->slots[b->index];
                Value v = value;
                if (!slot.type.isAny()) {
                    ClassObject* type = resolveType(slot.type);
                    if (m_throwing)
                        return false;
                    v = coerce(value, type);
                    if (m_throwing)
                        return false;
                }
                o->slot(b->index) = v;
                return true;
            }
            case Binding::Kind::Method:
                throwError(ErrorType::ReferenceError, 1037,
                           {nameText(name), ownerName(*this, object)});
                return false;
            case Binding::Kind::Accessor: {
                if (b->setter == Binding::kNone) {
                    throwError(ErrorType::ReferenceError, 1074,
                               {nameText(name), ownerName(*this, object)});
                    return false;
                }
                Value arg[1] = {value};
                invoke(traits->vtable[b->setter], object, arg);
                return !m_throwing;
            }
            }
        }
    }
    if (o && o->isDynamic() && name.local && name.seesPublic() && !name.attribute) {
        o->dynamic().set(internValue(name.local), value);
        return true;
    }

    throwError(ErrorType::ReferenceError, 1056, {nameText(name), ownerName(*this, object)});
    return false;
}

bool Vm::deleteProperty(const Value& object, const Name& name)
{
    if (object.isNullish()) {
        throwError(ErrorType::TypeError, object.isNull() ? 1009 : 1010);
        return false;
    }
    Object* o = object.objectOrNull();
    if (!o) {
        if (const Traits* traits = traitsOf(object); traits && traits->find(name))
            throwError(ErrorType::ReferenceError, 1120, {nameText(name), ownerName(*this, object)});
        return false;
    }
    if (Object* data = dataNamed(o, name)) {
        bool deleted = false;
        if (data->deleteNamed(*this, name, deleted))
            return deleted;
    }
    if (auto index = arrayIndex(name.local))
        if (o->deleteIndex(*this, *index))
            return true;
    if (o->traits() && o->traits()->find(name))
        return false;
    if (!o->isDynamic())
        return false;
    if (name.local && name.seesPublic())
        o->dynamic().remove(name.local);
    return true;
}

bool Vm::hasProperty(const Value& object, const Name& name)
{
    Object* o = object.objectOrNull();
    if (Object* data = dataNamed(o, name)) {
        bool found = false;
        if (data->hasNamed(*this, name, found))
            return found;
    }
    if (o) {
        if (auto index = arrayIndex(name.local))
            if (o->hasIndex(*index))
                return true;
    }
    if (const Traits* traits = traitsOf(object))
        if (traits->find(name))
            return true;
    if (name.local && name.seesPublic())
        return findDynamic(o ? o : prototypeOf(object), name.local) != nullptr;
    return false;
}

Value Vm::callProperty(const Value& object, const Name& name, std::span<const Value> args,
                       bool keepReceiver)
{
    if (object.isNullish())
        return throwError(ErrorType::TypeError, object.isNull() ? 1009 : 1010);
    const Traits* traits = traitsOf(object);
    if (traits) {
        if (const Binding* b = traits->find(name)) {
            if (b->kind == Binding::Kind::Method)
                return invoke(traits->vtable[b->index], object, args);
        }
    }
    if (Object* data = dataNamed(object.objectOrNull(), name)) {
        // A call on XML names a method (E4X's [[Call]]), never a child.
        const Value* fn =
            name.local && name.seesPublic() ? findDynamic(data->prototype(), name.local) : nullptr;
        if (fn && isCallable(*fn))
            return call(*fn, object, args);
        // Simple content answers the String methods.
        Value text = simpleContentText(*this, object);
        if (m_throwing)
            return Value();
        if (text.isString())
            return callProperty(text, name, args);
        return throwError(ErrorType::TypeError, 1006, {nameText(name)});
    }
    Object* o = object.objectOrNull();
    if (o && !o->isDynamic() && o->kind() != ObjectKind::Array && !hasProperty(object, name))
        return throwError(ErrorType::ReferenceError, 1070,
                          {nameText(name), ownerName(*this, object)});
    Value fn = getProperty(object, name);
    if (m_throwing)
        return Value();
    if (!isCallable(fn)) {
        if (fn.isObject() && fn.asObject()->kind() == ObjectKind::Class)
            return call(fn, object, args);
        return throwError(ErrorType::TypeError, 1006, {nameText(name)});
    }
    return call(fn, keepReceiver ? object : Value::null(), args);
}

Value Vm::constructProperty(const Value& object, const Name& name, std::span<const Value> args)
{
    Value callee = getProperty(object, name);
    if (m_throwing)
        return Value();
    if (!callee.isObject() || (callee.asObject()->kind() != ObjectKind::Class &&
                               callee.asObject()->kind() != ObjectKind::Function))
        return throwError(ErrorType::TypeError, 1007);
    return construct(callee, args);
}

Value Vm::getSuper(ClassObject* cls, const Value& receiver, const Name& name)
{
    if (!cls || !cls->base)
        return getProperty(receiver, name);
    const Traits* traits = cls->base->instanceTraits.get();
    if (const Binding* b = traits->find(name)) {
        switch (b->kind) {
        case Binding::Kind::Slot:
        case Binding::Kind::Const:
            return receiver.isObject() ? receiver.asObject()->slot(b->index) : Value();
        case Binding::Kind::Method:
            return Value(newMethodClosure(traits->vtable[b->index], receiver));
        case Binding::Kind::Accessor:
            if (b->getter == Binding::kNone)
                return throwError(ErrorType::ReferenceError, 1077,
                                  {nameText(name), ownerName(*this, receiver)});
            return invoke(traits->vtable[b->getter], receiver, {});
        }
    }
    if (name.local && name.seesPublic())
        if (const Value* v = findDynamic(cls->base->instancePrototype, name.local))
            return *v;
    return throwError(ErrorType::ReferenceError, 1069,
                      {nameText(name), ownerName(*this, receiver)});
}

bool Vm::setSuper(ClassObject* cls, const Value& receiver, const Name& name, const Value& value)
{
    if (!cls || !cls->base)
        return setProperty(receiver, name, value);
    const Traits* traits = cls->base->instanceTraits.get();
    if (const Binding* b = traits->find(name)) {
        if (b->kind == Binding::Kind::Accessor && b->setter != Binding::kNone) {
            Value arg[1] = {value};
            invoke(traits->vtable[b->setter], receiver, arg);
            return !m_throwing;
        }
        if (b->kind == Binding::Kind::Slot && receiver.isObject()) {
            receiver.asObject()->slot(b->index) = value;
            return true;
        }
    }
    return setProperty(receiver, name, value);
}

Value Vm::callSuper(ClassObject* cls, const Value& receiver, const Name& name,
                    std::span<const Value> args)
{
    if (cls && cls->base) {
        const Traits* traits = cls->base->instanceTraits.get();
        if (const Binding* b = traits->find(name))
            if (b->kind == Binding::Kind::Method)
                return invoke(traits->vtable[b->index], receiver, args);
    }
    Value fn = getSuper(cls, receiver, name);
    if (m_throwing)
        return Value();
    if (!isCallable(fn))
        return throwError(ErrorType::TypeError, 1006, {nameText(name)});
    return call(fn, receiver, args);
}

} // namespace avm2
