// MovieClip.createTextField(name, depth, x, y, width, height): an empty field at a
// script depth, its box from (0, 0) to (width, height) and placed at (x, y), all in
// whole pixels.
#include "MovieClipParts.h"
#include "TextFields.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/EditTextObject.h"
#include "runtime/SpriteObject.h"

#include <algorithm>

namespace avm1 {

namespace {

swf::Twips pixelsArg(Vm& vm, Value value)
{
    const std::int64_t pixels = vm.toInt32(value);
    // Half the 32-bit range, so that the box's sides and their distance stay in range.
    const std::int64_t twips = std::clamp<std::int64_t>(pixels * 20, INT32_MIN / 2, INT32_MAX / 2);
    return swf::Twips{static_cast<std::int32_t>(twips)};
}

Value createTextField(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    runtime::SpriteObject* sprite = self ? self->sprite() : nullptr;
    if (!sprite || call.count() < 6)
        return Value();
    std::string name = vm.toStdString(call.arg(0));
    const std::int32_t depth = vm.toInt32(call.arg(1));
    const swf::Twips x = pixelsArg(vm, call.arg(2));
    const swf::Twips y = pixelsArg(vm, call.arg(3));
    const swf::Twips width = pixelsArg(vm, call.arg(4));
    const swf::Twips height = pixelsArg(vm, call.arg(5));
    if (vm.throwing())
        return Value();
    const swf::Rect box{std::min(swf::Twips{0}, width), std::max(swf::Twips{0}, width),
                        std::min(swf::Twips{0}, height), std::max(swf::Twips{0}, height)};
    auto made = sprite->createTextField(std::move(name), depth, x, y, box);
    if (!made)
        return Value();
    // The new field is the result from SWF 8 on.
    if (vm.swfVersion() < 8)
        return Value();
    ClipObject* field = self->registry().wrap(made.get());
    return field ? Value(field) : Value();
}

} // namespace

ClipObject* duplicateTextField(ClipObject& clip, const std::string& name, long long depth)
{
    ClipObject* self = clip.live();
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object || object->kind() != runtime::ObjectKind::EditText)
        return nullptr;
    runtime::ContainerObject* holder = object->parent();
    if (!holder || holder->kind() != runtime::ObjectKind::Sprite)
        return nullptr;
    auto made = static_cast<runtime::SpriteObject*>(holder)->duplicateTextField(
        static_cast<const runtime::EditTextObject&>(*object), name, depth);
    return made ? self->registry().wrap(made.get()) : nullptr;
}

void installMovieClipTextFields(Vm& vm, Object* proto)
{
    vm.defineMethod(proto, "createTextField", createTextField);
}

} // namespace avm1
