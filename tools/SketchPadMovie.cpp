#include "SketchPadMovie.h"

#include "ActionWriter.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

namespace swfwriter {
namespace {

constexpr double kPi = 3.14159265358979;

// obj.method(args...) with the result dropped; `object` is a variable name ("this", a
// clip's name, "Key").
void callMethod(ActionWriter& code, const std::string& object, const std::string& method,
                std::vector<PushValue> args)
{
    const int count = static_cast<int>(args.size());
    std::reverse(args.begin(), args.end());
    args.emplace_back(count);
    args.emplace_back(object);
    code.push(args).op(Op::GetVariable).push({method}).op(Op::CallMethod).op(Op::Pop);
}

// object.name = value, for a number or text value.
void setMember(ActionWriter& code, const std::string& object, const std::string& name,
               const PushValue& value)
{
    code.push({object}).op(Op::GetVariable).push({name, value}).op(Op::SetMember);
}

// if (Key.isDown(key)) this[property] += step;
void moveWhileKeyDown(ActionWriter& code, int key, const std::string& property, int step)
{
    const ActionWriter::Label skip = code.label();
    code.push({key, 1, "Key"}).op(Op::GetVariable).push({"isDown"}).op(Op::CallMethod);
    code.op(Op::Not).ifTrue(skip);
    code.push({"this"}).op(Op::GetVariable).push({property});
    code.push({"this"}).op(Op::GetVariable).push({property}).op(Op::GetMember);
    code.push({step}).op(Op::Add2).op(Op::SetMember);
    code.bind(skip);
}

// A five-pointed star around the clip's origin, redrawn with the drawing API.
void drawStar(ActionWriter& code)
{
    callMethod(code, "this", "clear", {});
    callMethod(code, "this", "lineStyle", {3, 0x7a2010, 100});
    callMethod(code, "this", "beginFill", {0xf05a28, 100});
    for (int i = 0; i <= 10; ++i) {
        const double angle = kPi * i / 5 - kPi / 2;
        const double radius = (i % 2 == 0) ? 40 : 17;
        const int x = static_cast<int>(std::lround(radius * std::cos(angle)));
        const int y = static_cast<int>(std::lround(radius * std::sin(angle)));
        callMethod(code, "this", i == 0 ? "moveTo" : "lineTo", {x, y});
    }
    callMethod(code, "this", "endFill", {});
}

} // namespace

MovieWriter sketchPad()
{
    ActionWriter script;
    // The pad: a framed, tinted rectangle drawn once.
    callMethod(script, "_root", "createEmptyMovieClip", {"pad", 1});
    callMethod(script, "pad", "lineStyle", {2, 0x405060, 100});
    callMethod(script, "pad", "beginFill", {0xfff6dc, 100});
    callMethod(script, "pad", "moveTo", {10, 60});
    callMethod(script, "pad", "lineTo", {540, 60});
    callMethod(script, "pad", "lineTo", {540, 390});
    callMethod(script, "pad", "lineTo", {10, 390});
    callMethod(script, "pad", "lineTo", {10, 60});
    callMethod(script, "pad", "endFill", {});

    // The star, moved by the arrow keys and turning on its own.
    callMethod(script, "_root", "createEmptyMovieClip", {"star", 2});
    setMember(script, "star", "_x", 275);
    setMember(script, "star", "_y", 225);
    ActionWriter onEnterFrame;
    moveWhileKeyDown(onEnterFrame, 37, "_x", -5);
    moveWhileKeyDown(onEnterFrame, 39, "_x", 5);
    moveWhileKeyDown(onEnterFrame, 38, "_y", -5);
    moveWhileKeyDown(onEnterFrame, 40, "_y", 5);
    onEnterFrame.push({"this"}).op(Op::GetVariable).push({"_rotation"});
    onEnterFrame.push({"this"}).op(Op::GetVariable).push({"_rotation"}).op(Op::GetMember);
    onEnterFrame.push({3}).op(Op::Add2).op(Op::SetMember);
    drawStar(onEnterFrame);
    script.push({"star"}).op(Op::GetVariable).push({"onEnterFrame"});
    script.defineFunction("", {}, onEnterFrame).op(Op::SetMember);

    // An input field to type into, and a line of help.
    callMethod(script, "_root", "createTextField", {"entry", 3, 10, 12, 330, 26});
    setMember(script, "entry", "type", "input");
    setMember(script, "entry", "border", true);
    setMember(script, "entry", "background", true);
    setMember(script, "entry", "text", "Type here");
    callMethod(script, "_root", "createTextField", {"hint", 4, 350, 16, 200, 40});
    setMember(script, "hint", "textColor", 0xe0e4ec);
    setMember(script, "hint", "text", "Arrow keys move the star");

    // The context menu gains an item that puts the star back in the middle.
    ActionWriter centre;
    setMember(centre, "star", "_x", 275);
    setMember(centre, "star", "_y", 225);
    script.push({"menu", 0, "ContextMenu"}).op(Op::NewObject).op(Op::SetVariable);
    script.push({"item"});
    script.defineFunction("", {}, centre);
    script.push({"Centre the star", 2, "ContextMenuItem"}).op(Op::NewObject).op(Op::SetVariable);
    script.push({"item"}).op(Op::GetVariable);
    script.push({1, "menu"}).op(Op::GetVariable).push({"customItems"}).op(Op::GetMember);
    script.push({"push"}).op(Op::CallMethod).op(Op::Pop);
    script.push({"_root"}).op(Op::GetVariable).push({"menu", "menu"}).op(Op::GetVariable);
    script.op(Op::SetMember);
    script.op(Op::Stop);

    MovieWriter movie(8, 550, 400, 30);
    movie.fileAttributes();
    movie.setBackground({0x20, 0x24, 0x30});
    addScriptFrames(movie, std::span<const ActionWriter>(&script, 1));
    return movie;
}

} // namespace swfwriter
