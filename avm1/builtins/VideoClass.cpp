// Video: the class of embedded videos' script objects, from SWF 6. A placed video is
// addressed like a clip (by path); its prototype holds attachVideo and clear, and its
// own properties are answered by the video object itself.
#include "Builtins.h"
#include "NetStreamState.h"
#include "PropertyFlags.h"
#include "VideoProperties.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/VideoObject.h"

#include <cmath>

namespace avm1 {

namespace {

Value constructVideo(Vm&, const CallArgs&)
{
    return Value();
}

// The video the call is made on, while it stands on the stage; null for a video object
// made by `new Video` and for anything else.
runtime::VideoObject* videoOf(const CallArgs& call, ClipObject** wrapper = nullptr)
{
    ClipObject* clip = asClip(call.thisObject());
    ClipObject* live = clip ? clip->live() : nullptr;
    runtime::DisplayObject* object = live ? live->displayObject() : nullptr;
    if (!object || object->kind() != runtime::ObjectKind::Video)
        return nullptr;
    if (wrapper)
        *wrapper = live;
    return static_cast<runtime::VideoObject*>(object);
}

// attachVideo(source): pictures come from the source from now on; null detaches the
// source and takes its picture away.
Value attachVideo(Vm& vm, const CallArgs& call)
{
    ClipObject* wrapper = nullptr;
    runtime::VideoObject* video = videoOf(call, &wrapper);
    if (!video)
        return Value();
    Object* source = call.arg(0).objectOrNull();
    if (Object* previous = wrapper->attachedVideo())
        stopShowingNetStream(previous, wrapper);
    wrapper->setAttachedVideo(source);
    video->setAttached(source != nullptr);
    if (!source)
        video->clear();
    else
        showNetStreamIn(vm, source, wrapper);
    return Value();
}

Value clear(Vm&, const CallArgs& call)
{
    if (runtime::VideoObject* video = videoOf(call))
        video->clear();
    return Value();
}

bool named(Vm& vm, String* name, std::string_view text)
{
    return sameKey(name->view(), text, vm.caseRule());
}

} // namespace

bool getVideoProperty(Vm& vm, runtime::DisplayObject& object, String* name, Value& out)
{
    if (object.kind() != runtime::ObjectKind::Video)
        return false;
    const auto& video = static_cast<const runtime::VideoObject&>(object);
    const auto& picture = video.picture();
    if (named(vm, name, "width")) {
        out = Value(picture ? double(picture->width) : 0.0);
    } else if (named(vm, name, "height")) {
        out = Value(picture ? double(picture->height) : 0.0);
    } else if (named(vm, name, "smoothing")) {
        out = Value(video.smoothing());
    } else if (named(vm, name, "deblocking")) {
        out = Value(double(video.deblocking()));
    } else {
        return false;
    }
    return true;
}

bool setVideoProperty(Vm& vm, runtime::DisplayObject& object, String* name, const Value& value)
{
    if (object.kind() != runtime::ObjectKind::Video)
        return false;
    auto& video = static_cast<runtime::VideoObject&>(object);
    if (named(vm, name, "smoothing")) {
        video.setSmoothing(vm.toBoolean(value));
        return true;
    }
    if (named(vm, name, "deblocking")) {
        const double number = vm.toNumber(value);
        // The stream's three-bit setting: what does not fit leaves it alone.
        if (std::isfinite(number) && number >= 0 && number < 8)
            video.setDeblocking(int(number));
        return true;
    }
    return named(vm, name, "width") || named(vm, name, "height");
}

void installVideo(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.defineClass("Video", proto, constructVideo);
    // The class arrived with SWF 6: older movies see no Video at all.
    if (Property* p =
            vm.global()->properties().find(std::string_view("Video"), CaseRule::Sensitive))
        p->flags |= VersionFlag::SinceSwf6;
    vm.defineMethods(proto, {{"attachVideo", attachVideo}, {"clear", clear}});
    vm.builtins().videoProto = proto;
}

} // namespace avm1
