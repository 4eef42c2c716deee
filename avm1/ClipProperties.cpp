#include "ClipProperties.h"

#include "ClipObject.h"
#include "ClipRoots.h"
#include "Vm.h"
#include "runtime/ContainerObject.h"
#include "runtime/DisplayObject.h"
#include "runtime/EditTextObject.h"
#include "runtime/PlayerContext.h"
#include "runtime/PointerPosition.h"
#include "runtime/SpriteObject.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace avm1 {

namespace {

// The display properties, with the index GetProperty/SetProperty give them.
#define AVM1_CLIP_PROPERTY_LIST(X)                                                                 \
    X(PosX, 0, "_x")                                                                               \
    X(PosY, 1, "_y")                                                                               \
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
    X(Root, -1, "_root")                                                                           \
    X(LockRoot, -1, "_lockroot")

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

using Quality = StageSettings::Quality;

std::string_view qualityName(Quality quality)
{
    switch (quality) {
    case Quality::Low:
        return "LOW";
    case Quality::Medium:
        return "MEDIUM";
    case Quality::High:
        return "HIGH";
    case Quality::Best:
        return "BEST";
    }
    return "HIGH";
}

std::optional<Quality> qualityNamed(std::string_view name)
{
    for (Quality q : {Quality::Low, Quality::Medium, Quality::High, Quality::Best})
        if (sameKey(name, qualityName(q), CaseRule::Insensitive))
            return q;
    return std::nullopt;
}

// _highquality: 0 low, 1 high, 2 best.
double highQualityOf(Quality quality)
{
    switch (quality) {
    case Quality::Low:
        return 0;
    case Quality::Best:
        return 2;
    default:
        return 1;
    }
}

Quality qualityForHighQuality(double n)
{
    if (n >= 2)
        return Quality::Best;
    return std::trunc(n) == 0 ? Quality::Low : Quality::High;
}

// Whole seconds; what does not fit takes the lowest value, as the reference's
// conversion gives it.
std::int32_t truncatedSeconds(double n)
{
    if (!(n > -2147483649.0 && n < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(n);
}

// The main timeline shows the movie's setting: a number before SWF 6, then a
// boolean. Other objects have their own from SWF 6, unset (null) unless a script gave
// one.
Value focusRectOf(Vm& vm, const ClipObject& clip, const runtime::DisplayObject& object,
                  const StageSettings& settings)
{
    if (vm.swfVersion() < 6)
        return Value(settings.focusRect ? 1 : 0);
    if (object.isRoot())
        return Value(settings.focusRect);
    const std::optional<bool> own = clip.focusRect();
    return own ? Value(*own) : Value::null();
}

// The pointer in the object's own space, in pixels of whole twips.
double mouseCoordinate(const runtime::DisplayObject& object, bool horizontal)
{
    const runtime::LocalPoint local = runtime::pointerIn(object);
    return std::round(horizontal ? local.x : local.y) / swf::Twips::kPerPixel;
}

std::string dropTargetOf(const runtime::DisplayObject& object)
{
    const runtime::InputState& input = object.context().input();
    return input.drag().dropTarget(object, input.pointerX(), input.pointerY());
}

// A text field's _width and _height size its box rather than scale it, when it is
// neither rotated nor skewed. The reference gives the box the value as it is, so a
// scaled field then reads back the value times its scale.
bool resizeTextBox(runtime::DisplayObject& object, bool horizontal, double pixels)
{
    if (object.kind() != runtime::ObjectKind::EditText || std::isnan(pixels))
        return false;
    const swf::Matrix& m = object.matrix();
    const double scale = horizontal ? m.a : m.d;
    if (m.b != 0 || m.c != 0 || scale == 0)
        return false;
    auto& field = static_cast<runtime::EditTextObject&>(object);
    const double twips = std::clamp(pixels * 20, 0.0, 1e9);
    if (horizontal)
        field.setBoxWidth(twips);
    else
        field.setBoxHeight(twips);
    return true;
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
        // A clip with no frames at all (createEmptyMovieClip's) is at frame 0.
        if (!sprite)
            out = Value();
        else if (sprite->timeline().frames.empty())
            out = Value(0);
        else
            out = Value(static_cast<double>(sprite->currentFrame() + 1));
        break;
    case Prop::TotalFrames:
        out = sprite ? Value(static_cast<double>(sprite->totalFrames())) : Value();
        break;
    case Prop::FramesLoaded:
        out = sprite ? Value(static_cast<double>(sprite->framesLoaded())) : Value();
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
        out = vm.strValue(object->name());
        break;
    case Prop::DropTarget:
        out = vm.strValue(dropTargetOf(*object));
        break;
    case Prop::Url: {
        // The address of the movie the clip belongs to: a loaded movie's is its own.
        const std::string& url = object->movieInstance().url();
        out = vm.strValue(url.empty() ? registry.settings().movieUrl : url);
        break;
    }
    case Prop::HighQuality:
        out = Value(highQualityOf(registry.settings().quality));
        break;
    case Prop::FocusRect:
        out = focusRectOf(vm, *self, *object, registry.settings());
        break;
    case Prop::SoundBufTime:
        out = Value(static_cast<double>(registry.settings().soundBufferSeconds));
        break;
    case Prop::Quality:
        out = vm.strValue(qualityName(registry.settings().quality));
        break;
    case Prop::XMouse:
    case Prop::YMouse:
        out = Value(mouseCoordinate(*object, prop == Prop::XMouse));
        break;
    case Prop::Parent:
        if (ClipObject* parent = registry.wrap(scriptParentOf(vm, *object)))
            out = Value(parent);
        else
            out = Value();
        break;
    case Prop::Root:
        // _root came with SWF 5; from SWF 7 it is a name like others, exact in case.
        if (vm.swfVersion() < 5 || (vm.caseRule() == CaseRule::Sensitive && name != "_root"))
            return false;
        {
            runtime::DisplayObject* root = &scriptRootOf(*object);
            // A clip cut off the stage has no movie above it: the main one stands in.
            if (!root->locksRoot() && !root->isRoot())
                root = registry.rootObject();
            if (ClipObject* wrapped = registry.wrap(root))
                out = Value(wrapped);
            else
                out = Value();
        }
        break;
    case Prop::LockRoot:
        out = Value(object->locksRoot());
        break;
    case Prop::None:
        return false;
    }
    return true;
}

bool setClipProperty(Vm& vm, ClipObject& clip, std::string_view name, const Value& value)
{
    const Prop prop = findProp(name);
    // _parent and _root are no display properties: assigning one stores an ordinary
    // variable, which then hides the clip's own.
    if (prop == Prop::None || prop == Prop::Parent || prop == Prop::Root)
        return false;
    ClipObject* self = clip.live();
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object)
        return true;
    ClipRegistry& registry = clip.registry();
    // undefined and null leave a number property as it is, as NaN does, in every
    // version (SWF 6 would convert them to 0).
    auto number = [&] {
        return value.isNullish() ? std::numeric_limits<double>::quiet_NaN() : vm.toNumber(value);
    };
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
        if (const double n = number(); !resizeTextBox(*object, true, n))
            object->setWidth(n);
        break;
    case Prop::Height:
        if (const double n = number(); !resizeTextBox(*object, false, n))
            object->setHeight(n);
        break;
    case Prop::Visible:
        // A number, not a truth value: "true" is NaN, which changes nothing.
        if (const double n = number(); !std::isnan(n))
            object->setVisible(n != 0);
        break;
    case Prop::Name:
        // From SWF 7 a name given as NaN is written as 0.
        if (vm.swfVersion() >= 7 && value.isNumber() && std::isnan(value.asNumber()))
            object->setName("0");
        else
            object->setName(vm.toStdString(value));
        break;
    case Prop::LockRoot:
        object->setLocksRoot(vm.toBoolean(value));
        break;
    case Prop::HighQuality:
        if (const double n = number(); !std::isnan(n))
            registry.settings().quality = qualityForHighQuality(n);
        break;
    case Prop::Quality:
        if (const auto quality = qualityNamed(vm.toStdString(value)))
            registry.settings().quality = *quality;
        break;
    case Prop::SoundBufTime:
        if (const double n = number(); !std::isnan(n))
            registry.settings().soundBufferSeconds = truncatedSeconds(n);
        break;
    case Prop::FocusRect:
        // The main timeline's is the movie's: an object turns it off, unconverted. From
        // SWF 6 other objects keep their own, a boolean over the movie's (null for none).
        if (object->isRoot() || vm.swfVersion() < 6) {
            if (value.isObject())
                registry.settings().focusRect = false;
            else if (const double n = number(); !std::isnan(n))
                registry.settings().focusRect = n != 0;
        } else if (value.isNullish()) {
            self->setFocusRect(std::nullopt);
        } else {
            self->setFocusRect(vm.toBoolean(value));
        }
        break;
    default:
        // Read-only or not yet supported: the assignment is ignored.
        break;
    }
    return true;
}

} // namespace avm1
