#include "ClipProperties.h"

#include "ClipObject.h"
#include "Vm.h"
#include "runtime/ContainerObject.h"
#include "runtime/DisplayObject.h"
#include "runtime/SpriteObject.h"

#include <cmath>

namespace avm1 {

namespace {

// The display properties, with the index GetProperty/SetProperty give them.
#define AVM1_CLIP_PROPERTY_LIST(X)                                                                 \
    X(PosX, 0, "_x")                                                                                  \
    X(PosY, 1, "_y")                                                                                  \
    X(XScale, 2, "_xscale")                                                                        \
    X(YScale, 3, "_yscale")                                                                        \
    X(CurrentFrame, 4, "_currentframe")                                                            \
    X(TotalFrames, 5, "_totalframes")                                                              \
    X(Alpha, 6, "_alpha")                                                                          \
    X(Visible, 7, "_visible")                                                                      \
    X(Width, 8, "_width")                                                                          \
    X(Height, 9, "_height")                                                                        \
    X(Rotation, 10, "_rotation")                                                                   \
    X(Target, 11, "_target")                                                                       \
    X(FramesLoaded, 12, "_framesloaded")                                                           \
    X(Name, 13, "_name")                                                                           \
    X(DropTarget, 14, "_droptarget")                                                               \
    X(Url, 15, "_url")                                                                             \
    X(HighQuality, 16, "_highquality")                                                             \
    X(FocusRect, 17, "_focusrect")                                                                 \
    X(SoundBufTime, 18, "_soundbuftime")                                                           \
    X(Quality, 19, "_quality")                                                                     \
    X(XMouse, 20, "_xmouse")                                                                       \
    X(YMouse, 21, "_ymouse")                                                                       \
    X(Parent, -1, "_parent")                                                                       \
    X(Root, -1, "_root")

enum class Prop : std::uint8_t {
#define AVM1_CLIP_PROPERTY_ENUM(name, index, text) name,
    AVM1_CLIP_PROPERTY_LIST(AVM1_CLIP_PROPERTY_ENUM)
#undef AVM1_CLIP_PROPERTY_ENUM
        None
};

struct PropEntry {
    Prop prop;
    int index;
    std::string_view name;
};

constexpr PropEntry kProps[] = {
#define AVM1_CLIP_PROPERTY_ENTRY(name, index, text) {Prop::name, index, text},
    AVM1_CLIP_PROPERTY_LIST(AVM1_CLIP_PROPERTY_ENTRY)
#undef AVM1_CLIP_PROPERTY_ENTRY
};

// Display property names ignore case in every version.
Prop findProp(std::string_view name)
{
    for (const PropEntry& e : kProps)
        if (sameKey(e.name, name, CaseRule::Insensitive))
            return e.prop;
    return Prop::None;
}

} // namespace

std::string_view clipPropertyName(int index)
{
    for (const PropEntry& e : kProps)
        if (e.index == index)
            return e.name;
    return {};
}

bool getClipProperty(Vm& vm, ClipObject& clip, std::string_view name, Value& out)
{
    const Prop prop = findProp(name);
    if (prop == Prop::None)
        return false;
    ClipObject* self = clip.live();
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object) {
        out = Value();
        return true;
    }
    ClipRegistry& registry = clip.registry();
    runtime::SpriteObject* sprite = self->sprite();
    switch (prop) {
    case Prop::PosX:
        out = Value(object->x());
        break;
    case Prop::PosY:
        out = Value(object->y());
        break;
    case Prop::XScale:
        out = Value(object->xScale());
        break;
    case Prop::YScale:
        out = Value(object->yScale());
        break;
    case Prop::Rotation:
        out = Value(object->rotation());
        break;
    case Prop::CurrentFrame:
        out = sprite ? Value(static_cast<double>(sprite->currentFrame() + 1)) : Value();
        break;
    case Prop::TotalFrames:
    case Prop::FramesLoaded:
        out = sprite ? Value(static_cast<double>(sprite->frameCount())) : Value();
        break;
    case Prop::Alpha:
        out = Value(object->alpha());
        break;
    case Prop::Visible:
        out = Value(object->visible());
        break;
    case Prop::Width:
        out = Value(object->width());
        break;
    case Prop::Height:
        out = Value(object->height());
        break;
    case Prop::Target:
        out = vm.strValue(object->targetPath());
        break;
    case Prop::Name:
        out = vm.strValue(object->isRoot() ? std::string_view() : std::string_view(object->name()));
        break;
    case Prop::DropTarget:
    case Prop::Url:
        out = Value(vm.names().empty);
        break;
    case Prop::HighQuality:
        out = Value(1);
        break;
    case Prop::FocusRect:
        out = Value::null();
        break;
    case Prop::SoundBufTime:
        out = Value(5);
        break;
    case Prop::Quality:
        out = vm.strValue("HIGH");
        break;
    case Prop::XMouse:
    case Prop::YMouse:
        out = Value(0);
        break;
    case Prop::Parent:
        if (ClipObject* parent = registry.wrap(object->parent()))
            out = Value(parent);
        else
            out = Value();
        break;
    case Prop::Root:
        if (ClipObject* root = registry.wrap(registry.rootObject()))
            out = Value(root);
        else
            out = Value();
        break;
    case Prop::None:
        return false;
    }
    return true;
}

bool setClipProperty(Vm& vm, ClipObject& clip, std::string_view name, const Value& value)
{
    const Prop prop = findProp(name);
    if (prop == Prop::None)
        return false;
    ClipObject* self = clip.live();
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object)
        return true;
    auto number = [&] { return vm.toNumber(value); };
    switch (prop) {
    case Prop::PosX:
        object->setX(number());
        break;
    case Prop::PosY:
        object->setY(number());
        break;
    case Prop::XScale:
        object->setXScale(number());
        break;
    case Prop::YScale:
        object->setYScale(number());
        break;
    case Prop::Rotation:
        object->setRotation(number());
        break;
    case Prop::Alpha:
        object->setAlpha(number());
        break;
    case Prop::Width:
        object->setWidth(number());
        break;
    case Prop::Height:
        object->setHeight(number());
        break;
    case Prop::Visible:
        object->setVisible(vm.toBoolean(value));
        break;
    case Prop::Name:
        object->setName(vm.toStdString(value));
        break;
    default:
        // Read-only or not yet supported: the assignment is ignored.
        break;
    }
    return true;
}

} // namespace avm1
