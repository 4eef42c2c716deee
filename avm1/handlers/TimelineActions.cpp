// Timeline: Play, Stop, NextFrame, PreviousFrame, GotoFrame, GotoFrame2, GoToLabel,
// SetTarget, SetTarget2, WaitForFrame, WaitForFrame2, Call, ToggleQuality, StopSounds.
// They act on the activation's target timeline; with no sprite there, nothing happens.
#include "Handlers.h"
#include "Stack.h"
#include "avm1/ClipObject.h"
#include "avm1/builtins/MovieClipParts.h"
#include "runtime/MovieSounds.h"
#include "runtime/PlayerContext.h"
#include "runtime/SpriteObject.h"

#include <cmath>
#include <variant>

namespace avm1::handlers {

namespace {

runtime::SpriteObject* spriteOf(Object* object)
{
    ClipObject* clip = asClip(object);
    if (!clip || clip->objectClass() != ObjectClass::MovieClip)
        return nullptr;
    ClipObject* live = clip->live();
    return live ? live->sprite() : nullptr;
}

// The timeline actions act on: the current target; after a tellTarget that named
// nothing, the main timeline.
runtime::SpriteObject* targetSprite(Interpreter& in, Activation& frame)
{
    return spriteOf(frame.target ? frame.target : in.rootClip());
}

// A frame given as a value, optionally after "path:" in a string.
void gotoValue(Interpreter& in, Activation& frame, Value where, bool play, std::uint16_t bias)
{
    Vm& vm = in.vm();
    runtime::SpriteObject* sprite = targetSprite(in, frame);
    if (where.isString()) {
        const std::string_view text = where.asString()->view();
        if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
            sprite = spriteOf(in.resolveTarget(frame, text.substr(0, colon)));
            where = vm.strValue(text.substr(colon + 1));
        }
    }
    if (!sprite)
        return;
    // A frame number that moves nothing leaves the timeline as it was; so does a label
    // it does not have. A number written as text plays or stops it all the same.
    const bool numberText = where.isString() && std::isfinite(vm.stringToNumber(where.asString()));
    if (!gotoFrameValue(vm, *sprite, where, bias, true) && !numberText)
        return;
    if (play)
        sprite->play();
    else
        sprite->stop();
}

} // namespace

void doPlay(Interpreter& in, Activation& frame, const Instruction&)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame))
        sprite->play();
}

void doStop(Interpreter& in, Activation& frame, const Instruction&)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame))
        sprite->stop();
}

void doNextFrame(Interpreter& in, Activation& frame, const Instruction&)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame))
        sprite->nextFrame();
}

void doPreviousFrame(Interpreter& in, Activation& frame, const Instruction&)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame))
        sprite->prevFrame();
}

void doGotoFrame(Interpreter& in, Activation& frame, const Instruction& ins)
{
    // GotoFrame and GoToLabel stop the timeline at the frame, as the reference
    // player does; gotoAndPlay compiles to them and Play.
    if (runtime::SpriteObject* sprite = targetSprite(in, frame)) {
        sprite->gotoFrame(ins.u16);
        sprite->stop();
    }
}

void doGoToLabel(Interpreter& in, Activation& frame, const Instruction& ins)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame)) {
        if (sprite->gotoLabel(frame.block->strings[ins.operand]->view()))
            sprite->stop();
    }
}

void doGotoFrame2(Interpreter& in, Activation& frame, const Instruction& ins)
{
    const Value where = pop(in);
    gotoValue(in, frame, where, ins.u8 & 0x01, (ins.u8 & 0x02) ? ins.u16 : 0);
}

void doSetTarget(Interpreter& in, Activation& frame, const Instruction& ins)
{
    const std::string_view path = frame.block->strings[ins.operand]->view();
    if (path.empty()) {
        frame.target = frame.originalTarget;
        return;
    }
    // A path that names nothing leaves no target (see targetSprite).
    frame.target = in.resolveTarget(frame, path);
    if (!frame.target)
        in.vm().logLazy([&] { return "SetTarget: no target " + std::string(path); });
}

// tellTarget(value): a clip is taken by its path (the first clip of its name there),
// anything else by its text.
void doSetTarget2(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value where = pop(in);
    std::string path;
    if (ClipObject* clip = asClip(where.objectOrNull())) {
        ClipObject* live = clip->live();
        path = live ? live->targetPath() : clip->targetPath();
    } else {
        path = vm.toStdString(where);
        if (vm.throwing())
            return;
    }
    frame.target = path.empty() ? frame.originalTarget : in.resolveTarget(frame, path);
}

// Every frame of a movie that plays is loaded: nothing is ever skipped.
void doWaitForFrame(Interpreter&, Activation&, const Instruction&) {}

// The frame is read as a label or number (its toString runs), though every frame is
// loaded.
void doWaitForFrame2(Interpreter& in, Activation&, const Instruction&)
{
    const Value frame = pop(in);
    if (frame.objectOrNull())
        in.vm().toStdString(frame);
}

void doCall(Interpreter& in, Activation& frame, const Instruction&)
{
    Vm& vm = in.vm();
    const Value where = pop(in);
    runtime::SpriteObject* sprite = targetSprite(in, frame);
    Object* targetObject = frame.target;
    std::string text = vm.toStdString(where);
    if (const std::size_t colon = text.rfind(':'); colon != std::string::npos) {
        targetObject = in.resolveTarget(frame, std::string_view(text).substr(0, colon));
        sprite = spriteOf(targetObject);
        text = text.substr(colon + 1);
    }
    if (!sprite)
        return;
    long index = -1;
    const double number = vm.stringToNumber(vm.str(text));
    if (std::isfinite(number) && number >= 1)
        index = static_cast<long>(number) - 1;
    else
        index = sprite->frameForLabel(text);
    const auto& frames = sprite->timeline().frames;
    if (index < 0 || static_cast<std::size_t>(index) >= frames.size())
        return;
    for (const swf::ControlTag& tag : frames[static_cast<std::size_t>(index)].tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag))
            in.runBlock(action->actions, frame.swfVersion, targetObject);
        if (vm.aborted())
            return;
    }
}

void doToggleQuality(Interpreter&, Activation&, const Instruction&) {}

void doStopSounds(Interpreter& in, Activation& frame, const Instruction&)
{
    if (runtime::SpriteObject* sprite = targetSprite(in, frame))
        sprite->context().sounds().stopAll();
}

} // namespace avm1::handlers
