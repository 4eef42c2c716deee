// The MovieClip class and its timeline side: play, stop, gotoAndPlay, gotoAndStop,
// nextFrame, prevFrame, getBytesLoaded, getBytesTotal, getSWFVersion. The display list
// and geometry methods live in MovieClipDepths.cpp and MovieClipGeometry.cpp.
#include "Builtins.h"
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/Vm.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

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

namespace {

// gotoAndPlay/gotoAndStop's frame: a number from 1, or a label (a string that reads
// as a number is a frame number).
void gotoFrame(Vm& vm, runtime::SpriteObject& sprite, Value where)
{
    if (where.isString()) {
        const double number = vm.stringToNumber(where.asString());
        if (std::isfinite(number)) {
            if (number >= 1)
                sprite.gotoFrame(static_cast<std::size_t>(number) - 1);
            return;
        }
        sprite.gotoLabel(where.asString()->view());
        return;
    }
    const double number = vm.toInteger(where);
    if (number >= 1)
        sprite.gotoFrame(static_cast<std::size_t>(std::min(number, 1e9)) - 1);
}

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
        gotoFrame(vm, *sprite, call.arg(0));
        sprite->play();
    }
    return Value();
}

Value gotoAndStop(Vm& vm, const CallArgs& call)
{
    if (runtime::SpriteObject* sprite = thisSprite(call)) {
        gotoFrame(vm, *sprite, call.arg(0));
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

// Movies play only once loaded whole: what is loaded is all there is.
Value bytesLoaded(Vm&, const CallArgs& call)
{
    runtime::SpriteObject* sprite = thisSprite(call);
    return sprite ? Value(static_cast<double>(sprite->context().movie().header.declaredLength))
                  : Value();
}

// The version of the movie the clip's code comes from.
Value getSWFVersion(Vm&, const CallArgs& call)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    if (!object)
        return Value();
    const swf::Character* character = object->character();
    if (character && character->swfVersion != 0)
        return Value(static_cast<double>(character->swfVersion));
    return Value(static_cast<double>(object->context().swfVersion()));
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
    vm.defineMethod(proto, "getBytesTotal", bytesLoaded);
    vm.defineMethod(proto, "getSWFVersion", getSWFVersion);
    installMovieClipDepths(vm, proto);
    installMovieClipGeometry(vm, proto);
}

} // namespace avm1
