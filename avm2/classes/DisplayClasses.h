#pragma once

// The display classes' native parts the engine reaches.
#include "avm2/vm/Object.h"

#include <vector>

namespace avm2 {

// A MovieClip's script object: the frame scripts its class registered.
class MovieClipObject final : public Object {
public:
    MovieClipObject(const Traits* traits, Object* prototype)
        : Object(traits, prototype, ObjectKind::Native)
    {}
    std::vector<Value> frameScripts;
    void traceChildren(script::Tracer& tracer) override
    {
        Object::traceChildren(tracer);
        for (const Value& v : frameScripts)
            tracer.mark(v);
    }
};

// The clip behind a value, or null.
MovieClipObject* asMovieClip(const Value& v);

} // namespace avm2
