// The MovieClip class and its timeline side: play, stop, gotoAndPlay, gotoAndStop,
// nextFrame, prevFrame, getBytesLoaded, getBytesTotal, getSWFVersion. The display list
// and geometry methods live in MovieClipDepths.cpp and MovieClipGeometry.cpp.
#include "Builtins.h"
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <algorithm>
#include <cmath>

namespace avm1 {

ClipObject* thisClip(const CallArgs& call)
{
    ClipObject* clip = asClip(call.thisObject());
    return clip ? clip->live() : nullptr;
}

runtime::DisplayObject* thisDisplayObject(const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    return clip ? clip->displayObject() : nullptr;
}

runtime::SpriteObject* thisSprite(const CallArgs& call)
{
    ClipObject* clip = thisClip(call);
    return clip ? clip->sprite() : nullptr;
}

bool gotoFrameValue(Vm& vm, runtime::SpriteObject& sprite, const Value& where, std::uint16_t bias,
                    bool byTextUnlessWhole)
{
    double number = 0;
    // An object names its frame by its text.
    String* text = where.isString() ? where.asString() : nullptr;
    const bool wholeNumber = where.isNumber() && std::isfinite(where.asNumber()) &&
                             std::trunc(where.asNumber()) == where.asNumber();
    const bool labelOnly =
        byTextUnlessWhole && !where.isString() && !where.isObject() && !wholeNumber;
    if (where.isObject() || labelOnly) {
        text = vm.toString(where);
        if (vm.throwing())
            return false;
    }
    if (text) {
        number = vm.stringToNumber(text);
        if (!std::isfinite(number) || labelOnly) {
            // Labels count from the same place as numbers: a scene's bias moves both.
            const long labelled = sprite.frameForLabel(text->view());
            if (labelled < 0)
                return false;
            sprite.gotoFrame(static_cast<std::size_t>(labelled) + bias);
            return true;
        }
    } else {
        number = vm.toNumber(where);
        if (vm.throwing())
            return false;
    }
    // Frame numbers are 32-bit: 4294967298 is frame 2, and 2147483648 wraps around to
    // a frame past the end, which is the last.
    const std::uint32_t frameNumber = static_cast<std::uint32_t>(vm.toInt32(Value(number)));
    const auto index = static_cast<std::int32_t>(frameNumber - 1u);
    if (index < 0)
        return false;
    sprite.gotoFrame(static_cast<std::size_t>(index) + bias);
    return true;
}

namespace {

Value play(Vm&, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call))
        sprite->play();
    return Value();
}

Value stop(Vm&, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call))
        sprite->stop();
    return Value();
}

Value gotoAndPlay(Vm& vm, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call)) {
        gotoFrameValue(vm, *sprite, call.arg(0));
        sprite->play();
    }
    return Value();
}

Value gotoAndStop(Vm& vm, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call)) {
        gotoFrameValue(vm, *sprite, call.arg(0));
        sprite->stop();
    }
    return Value();
}

Value nextFrame(Vm&, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call))
        sprite->nextFrame();
    return Value();
}

Value prevFrame(Vm&, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call))
        sprite->prevFrame();
    return Value();
}

// Movies play only once loaded whole: what is loaded is all there is. A load that
// found nothing has loaded 0 bytes of a total of -1.
Value bytesLoaded(Vm&, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    return sprite ? Value(static_cast<double>(std::max(0LL, sprite->bytesTotal()))) : Value();
}

Value bytesTotal(Vm&, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    return sprite ? Value(static_cast<double>(sprite->bytesTotal())) : Value();
}

// The version of the movie the clip's code comes from.
Value getSWFVersion(Vm&, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    if (object->kind() == runtime::ObjectKind::Sprite)
        return Value(
            static_cast<double>(static_cast<runtime::SpriteObject*>(object)->scriptVersion()));
    const swf::Character* character = object->character();
    if (character && character->swfVersion != 0)
        return Value(static_cast<double>(character->swfVersion));
    return Value(static_cast<double>(object->movie().header.version));
}

// attachAudio(source): a stream's sound plays through the stage whether or not a clip
// takes it, and there are no microphones; the method answers nothing.
Value attachAudio(Vm&, const CallArgs&)
{
    return Value();
}

Value movieClipCtor(Vm&, const CallArgs&)
{
    return Value();
}

} // namespace

void installMovieClip(Vm& vm)
{
    Object* proto = vm.makeObject();
    vm.builtins().movieClipProto = proto;
    vm.defineClass("MovieClip", proto, movieClipCtor);
    vm.defineMethod(proto, "play", play);
    vm.defineMethod(proto, "stop", stop);
    vm.defineMethod(proto, "gotoAndPlay", gotoAndPlay);
    vm.defineMethod(proto, "gotoAndStop", gotoAndStop);
    vm.defineMethod(proto, "nextFrame", nextFrame);
    vm.defineMethod(proto, "prevFrame", prevFrame);
    vm.defineMethod(proto, "getBytesLoaded", bytesLoaded);
    vm.defineMethod(proto, "getBytesTotal", bytesTotal);
    vm.defineMethod(proto, "getSWFVersion", getSWFVersion);
    vm.defineMethod(proto, "attachAudio", attachAudio);
    installMovieClipDepths(vm, proto);
    installMovieClipGeometry(vm, proto);
    installMovieClipTextFields(vm, proto);
    installMovieClipDrag(vm, proto);
    installMovieClipDrawing(vm, proto);
    installMovieClipMasks(vm, proto);
    installMovieClipRequests(vm, proto);
    // Clips acting as buttons show the hand unless a script says otherwise.
    proto->defineValue(vm, "useHandCursor", Value(true), PropertyFlag::DontEnum);
    // Clips take the pointer's events until a script turns them off.
    proto->defineValue(vm, "enabled", Value(true), PropertyFlag::DontEnum);
}

} // namespace avm1
