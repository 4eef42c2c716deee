#pragma once

// TextFormat objects: the attributes of a stretch of text field text, each set or null.

#include "avm1/Object.h"
#include "runtime/TextFormat.h"

namespace avm1 {

class TextFormatObject final : public Object {
public:
    explicit TextFormatObject(Object* prototype) : Object(prototype) {}
    runtime::TextFormat format;
    // "block", "inline" or "none": kept for scripts, no field reads it.
    std::string display = "block";
};

// The object as a TextFormat; null for other objects.
TextFormatObject* asTextFormat(Object* object);
// A new TextFormat holding `format`, with TextFormat.prototype as it is now.
Object* makeTextFormat(Vm& vm, const runtime::TextFormat& format);

} // namespace avm1
