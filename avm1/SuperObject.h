#pragma once

#include "Object.h"

namespace avm1 {

// super inside a method: member lookups start at the prototype above the one the
// method was found on, and run with the method's own "this"; calling it, super(...),
// runs that prototype's constructor (__constructor__) on "this".
class SuperObject final : public Object {
public:
    SuperObject(Value thisValue, Object* home)
        : Object(home ? home->prototype() : nullptr), m_this(thisValue), m_home(home)
    {
        setHasPrototypeProperty(false);
    }
    ObjectClass objectClass() const override { return ObjectClass::Super; }
    Value thisValue() const { return m_this; }
    Object* home() const { return m_home; }
    // Where lookups through super start.
    Object* base() const { return m_home ? m_home->prototype() : nullptr; }

    void traceChildren(Tracer& tracer) override
    {
        Object::traceChildren(tracer);
        tracer.mark(m_this);
        tracer.mark(m_home);
    }

private:
    Value m_this;
    Object* m_home;
};

} // namespace avm1
