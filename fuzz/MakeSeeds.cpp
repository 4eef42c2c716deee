// Writes the fuzzers' seeds with the project's own writer: for the movie loader, one
// small movie for each kind of definition and display tag, in each compression; for
// the interpreter, action blocks of each family of actions, a version byte first; for the
// FLV reader, small files of each video coding with metadata and cue points.
//     make-fuzz-seeds MOVIE_FOLDER [ACTION_FOLDER [FLV_FOLDER]]
#include "AbcWriter.h"
#include "ActionWriter.h"
#include "BitmapWriter.h"
#include "ButtonWriter.h"
#include "FlvWriter.h"
#include "FontWriter.h"
#include "MorphShapeWriter.h"
#include "MovieWriter.h"
#include "NestedHitAreas.h"
#include "ShapeWriter.h"
#include "TextWriter.h"
#include "VideoWriter.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

using namespace swfwriter;

namespace {

Place placed(std::uint16_t depth, std::uint16_t id)
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    place.matrix = Matrix::translate(200, 300);
    return place;
}

std::vector<std::uint8_t> square(int version, std::uint16_t id, Color color)
{
    ShapeWriter shape(version);
    shape.fill1(shape.addFill(FillStyle::solid(color))).rect(0, 0, 800, 600);
    return shape.body(id);
}

MovieWriter shapes()
{
    MovieWriter movie(8);
    for (int version = 1; version <= 4; ++version) {
        ShapeWriter shape(version);
        const int fill = shape.addFill(
            FillStyle::linear({{0, {255, 0, 0}}, {255, {0, 0, 255}}}, Matrix::scale(0.05, 0.05)));
        const int radial = shape.addFill(FillStyle::radial(
            {{0, {255, 255, 0}}, {255, {0, 128, 0, 128}}}, Matrix::scale(0.03, 0.03, 400, 400)));
        LineStyle line;
        line.width = 40;
        line.color = {0, 0, 0};
        const int stroke = shape.addLine(line);
        shape.fill0(fill)
            .fill1(radial)
            .line(stroke)
            .moveTo(0, 0)
            .lineTo(800, 0)
            .curveTo(1000, 400, 800, 800)
            .lineTo(0, 800)
            .lineTo(0, 0);
        shape.newStyles();
        shape.fill1(shape.addFill(FillStyle::solid({1, 2, 3}))).rect(100, 100, 200, 200);
        movie.add(shape.tagCode(), shape.body(static_cast<std::uint16_t>(version)));
        movie.place2(
            placed(static_cast<std::uint16_t>(version), static_cast<std::uint16_t>(version)));
    }
    movie.showFrame();
    return movie;
}

MovieWriter spritesAndMasks()
{
    MovieWriter movie(6);
    movie.add(32, square(3, 1, {255, 0, 0}));
    movie.add(32, square(3, 2, {0, 255, 0}));
    TagList inner;
    inner.place2(placed(1, 1));
    inner.showFrame();
    inner.remove2(1);
    inner.place2(placed(2, 2));
    inner.showFrame();
    movie.defineSprite(3, inner);
    Place mask = placed(1, 2);
    mask.clipDepth = 3;
    movie.place2(mask);
    movie.place2(placed(2, 3));
    Place filtered = placed(3, 3);
    filtered.blendMode = 3;
    movie.place3(filtered);
    movie.frameLabel("start");
    movie.showFrame();
    movie.showFrame();
    return movie;
}

MovieWriter bitmaps()
{
    MovieWriter movie(8);
    auto lossless = LosslessBitmap::pix24(2, Image::filled(8, 8, {10, 200, 30, 200}));
    lossless.id = 1;
    movie.add(lossless.tagCode(), lossless.body());
    auto mapped = LosslessBitmap::colorMapped(1, 5, 3, {{255, 0, 0}, {0, 0, 255}},
                                              {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
    mapped.id = 2;
    movie.add(mapped.tagCode(), mapped.body());
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::bitmap(1, Matrix::scale(20, 20)))).rect(0, 0, 400, 400);
    movie.add(shape.tagCode(), shape.body(3));
    movie.place2(placed(1, 3));
    movie.showFrame();
    return movie;
}

MovieWriter textAndButtons()
{
    MovieWriter movie(7);
    ShapeWriter glyph(1);
    glyph.fill1(1).rect(0, -700, 500, 700);
    FontWriter font(2);
    font.addGlyph(glyph, 'A', 600).setName("Seed").setLayout(900, 200, 0);
    movie.add(font.tagCode(), font.body(1));
    TextWriter text;
    TextRecordFields run;
    run.fontId = 1;
    run.color = Color{0, 0, 0};
    run.x = 0;
    run.y = 400;
    run.glyphs = {{0, 600}, {0, 600}};
    text.setBounds({0, 2000, 0, 800}).addRecord(run);
    movie.add(text.tagCode(), text.body(2));
    movie.place2(placed(1, 2));
    movie.add(32, square(3, 3, {200, 0, 0}));
    ButtonRecord record;
    record.characterId = 3;
    ButtonCondAction release;
    release.conditions = 0x0008;
    release.actions = {0x07, 0x00};
    movie.add(34, defineButton2Body(4, false, {record}, {release}));
    movie.place2(placed(2, 4));
    movie.showFrame();
    return movie;
}

// Buttons whose hit areas place buttons, a sprite placing itself, and many instances
// on the stage under the pointer's path: what makes hit tests multiply.
MovieWriter hitAreasPlacingThemselves()
{
    MovieWriter movie(8);
    movie.add(32, square(3, 1, {0, 200, 0}));
    ButtonRecord shown;
    shown.states = 0x0f;
    shown.characterId = 1;
    ButtonRecord self;
    self.states = 0x08;
    self.characterId = 2;
    self.depth = 2;
    movie.add(34, defineButton2Body(2, false, {shown, self}, {}));
    for (std::uint16_t id = 3; id < 12; ++id) {
        ButtonRecord first;
        first.states = 0x08;
        first.characterId = std::uint16_t(id - 1);
        ButtonRecord second = first;
        second.depth = 2;
        second.matrix = Matrix::scale(1.01, 0.99, 20, 20);
        movie.add(34, defineButton2Body(id, false, {first, second}, {}));
    }
    TagList selfPlacing;
    Place inner;
    inner.characterId = 20;
    selfPlacing.place2(inner);
    inner.depth = 2;
    inner.characterId = 11;
    selfPlacing.place2(inner);
    selfPlacing.showFrame();
    movie.defineSprite(20, selfPlacing);
    for (std::uint16_t depth = 1; depth <= 40; ++depth) {
        Place place;
        place.depth = depth;
        place.characterId = depth % 2 ? 11 : 20;
        place.matrix = Matrix::translate(depth * 100, depth * 75);
        movie.place2(place);
    }
    movie.showFrame();
    movie.showFrame();
    return movie;
}

MovieWriter morph()
{
    MovieWriter movie(8);
    MorphShapeWriter morphShape(1);
    const int fill =
        morphShape.addFill(FillStyle::solid({255, 0, 0}), FillStyle::solid({0, 0, 255}));
    morphShape.startEdges().fill1(fill).rect(0, 0, 400, 400);
    morphShape.endEdges().rect(100, 100, 800, 600);
    movie.add(morphShape.tagCode(), morphShape.body(1));
    Place place = placed(1, 1);
    place.ratio = 30000;
    movie.place2(place);
    movie.showFrame();
    return movie;
}

// --- Action blocks ---------------------------------------------------------------------

ActionWriter arithmetic()
{
    ActionWriter a;
    a.push({7, 3}).op(Op::Add2).push({2}).op(Op::Multiply).push({5}).op(Op::Subtract);
    a.push({4}).op(Op::Divide).push({3}).op(Op::Modulo).op(Op::Trace);
    a.push({0xF0, 0x3C}).op(Op::BitAnd).push({1}).op(Op::BitLShift).push({-1}).op(Op::BitURShift);
    a.op(Op::Trace);
    a.push({Double{-2.5}}).op(Op::ToInteger).push({"12abc"}).op(Op::ToNumber).op(Op::Add);
    a.op(Op::Trace);
    a.push({1, 0}).op(Op::Divide).push({0, 0}).op(Op::Divide).op(Op::Less2).op(Op::Trace);
    a.push({"10", 9}).op(Op::Greater).push({nullptr, Undefined{}}).op(Op::Equals2).op(Op::And);
    a.op(Op::Not).op(Op::Trace);
    a.push({Float{1.5f}, true}).op(Op::StrictEquals).op(Op::Trace);
    a.op(Op::RandomNumber).op(Op::Pop).op(Op::GetTime).op(Op::Pop);
    return a;
}

ActionWriter functions()
{
    // function2 fact(n) { return n <= 1 ? 1 : n * fact(n - 1); } with n in register 4,
    // after this, arguments and _global preloaded into 1 to 3.
    ActionWriter body;
    const auto recurse = body.label();
    body.push({Register{4}, 1}).op(Op::Greater).ifTrue(recurse);
    body.push({1}).op(Op::Return);
    body.bind(recurse);
    body.push({Register{4}, Register{4}, 1}).op(Op::Subtract).push({1, "fact"});
    body.op(Op::CallFunction).op(Op::Multiply).op(Op::Return);
    ActionWriter plain;
    plain.push({"a"}).op(Op::GetVariable).push({"b"}).op(Op::GetVariable).op(Op::Add2);
    plain.push({"arguments"}).op(Op::GetVariable).push({"length"}).op(Op::GetMember);
    plain.op(Op::Add2).op(Op::Return);
    ActionWriter a;
    a.defineFunction2("fact", 5,
                      FunctionFlag::PreloadThis | FunctionFlag::PreloadArguments |
                          FunctionFlag::SuppressSuper | FunctionFlag::PreloadGlobal,
                      {{4, "n"}}, body);
    a.push({6, 1, "fact"}).op(Op::CallFunction).op(Op::Trace);
    a.defineFunction("sum", {"a", "b"}, plain);
    a.push({2, 3, 2, "sum"}).op(Op::CallFunction).op(Op::Trace);
    a.defineFunction("", {}, ActionWriter().push({"this"}).op(Op::GetVariable).op(Op::Return));
    a.storeRegister(1).op(Op::Pop);
    a.push({0, Register{1}, Undefined{}}).op(Op::CallMethod).op(Op::TypeOf).op(Op::Trace);
    return a;
}

ActionWriter exceptions()
{
    ActionWriter thrower;
    thrower.push({"boom", 1, "Error"}).op(Op::NewObject).op(Op::Throw);
    ActionWriter caught;
    caught.push({"e"}).op(Op::GetVariable).push({"message"}).op(Op::GetMember).op(Op::Trace);
    ActionWriter finally;
    finally.push({"finally"}).op(Op::Trace);
    ActionWriter inFunction;
    inFunction.tryBlock(ActionWriter().push({1}).op(Op::Return), Register{1},
                        ActionWriter().push({Register{1}}).op(Op::Return),
                        ActionWriter().push({2}).op(Op::Return));
    ActionWriter a;
    a.tryBlock(thrower, std::string("e"), caught, finally);
    a.tryBlock(ActionWriter().push({3}).op(Op::Throw), Register{2},
               ActionWriter().push({Register{2}}).op(Op::Trace));
    a.defineFunction2("f", 2, 0, {}, inFunction);
    a.push({0, "f"}).op(Op::CallFunction).op(Op::Trace);
    // Uncaught: the block ends with a warning.
    a.push({"uncaught"}).op(Op::Throw);
    return a;
}

ActionWriter objects()
{
    ActionWriter ctorBody;
    ctorBody.push({"this"}).op(Op::GetVariable).push({"v", "x"}).op(Op::GetVariable);
    ctorBody.op(Op::SetMember);
    ActionWriter method;
    method.push({"this"}).op(Op::GetVariable).push({"v"}).op(Op::GetMember).op(Op::Return);
    ActionWriter a;
    a.defineFunction("Point", {"x"}, ctorBody);
    a.push({"Point"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
    a.push({"get"}).defineFunction("", {}, method).op(Op::SetMember);
    a.push({"p", 5, 1, "Point"}).op(Op::NewObject).op(Op::SetVariable);
    a.push({0, "p"}).op(Op::GetVariable).push({"get"}).op(Op::CallMethod).op(Op::Trace);
    a.push({"p"}).op(Op::GetVariable).push({"Point"}).op(Op::GetVariable).op(Op::InstanceOf);
    a.op(Op::Trace);
    a.push({"o", "a", 1, "b", "two", 2}).op(Op::InitObject).op(Op::SetVariable);
    a.push({"o"}).op(Op::GetVariable).op(Op::Enumerate2);
    const auto next = a.label();
    const auto done = a.label();
    a.bind(next).storeRegister(0).push({nullptr}).op(Op::Equals2).ifTrue(done);
    a.push({Register{0}}).op(Op::Trace).jump(next);
    a.bind(done);
    a.push({3, 1, 2, 3}).op(Op::InitArray).storeRegister(1).op(Op::Pop);
    a.push({"-", 1, Register{1}, "join"}).op(Op::CallMethod).op(Op::Trace);
    a.push({0, Register{1}, "sort"}).op(Op::CallMethod).push({"length"}).op(Op::GetMember);
    a.op(Op::Trace);
    a.push({"o"}).op(Op::GetVariable).push({"a"}).op(Op::Delete).op(Op::Trace);
    a.push({"Sub"}).defineFunction("", {}, ActionWriter()).op(Op::SetVariable);
    a.push({"Sub"}).op(Op::GetVariable).push({"Point"}).op(Op::GetVariable).op(Op::Extends);
    return a;
}

ActionWriter strings()
{
    ActionWriter a;
    a.push({"Hello, ", "world"}).op(Op::StringAdd).storeRegister(1).op(Op::Trace);
    a.push({Register{1}, 2, 3}).op(Op::StringExtract).op(Op::Trace);
    a.push({Register{1}}).op(Op::StringLength).op(Op::Trace);
    a.push({"\xc3\xa9t\xc3\xa9", 1, 2}).op(Op::MBStringExtract).op(Op::Trace);
    a.push({"A"}).op(Op::CharToAscii).op(Op::AsciiToChar).op(Op::Trace);
    a.push({0x263A}).op(Op::MBAsciiToChar).op(Op::MBCharToAscii).op(Op::Trace);
    a.push({"o", 1, Register{1}, "indexOf"}).op(Op::CallMethod).op(Op::Trace);
    a.push({",", 1, Register{1}, "split"}).op(Op::CallMethod).op(Op::Trace);
    a.push({2, 1, 2, Register{1}, "substr"}).op(Op::CallMethod).op(Op::Trace);
    a.push({"abc", "abd"}).op(Op::StringLess).push({"b", "a"}).op(Op::StringGreater).op(Op::Or);
    a.op(Op::Trace);
    a.push({3}).op(Op::ToString).push({"3"}).op(Op::StringEquals).op(Op::Trace);
    return a;
}

ActionWriter withAndTargets()
{
    ActionWriter body;
    body.push({"x"}).op(Op::GetVariable).op(Op::Trace).push({"x", 9}).op(Op::SetVariable);
    ActionWriter a;
    a.push({"x", 1, 1}).op(Op::InitObject).with(body);
    a.push({"_root.clip._x", 50}).op(Op::SetVariable);
    a.push({"clip", 0}).op(Op::GetProperty).op(Op::Trace);
    a.push({"/clip:v", 4}).op(Op::SetVariable).push({"/clip:v"}).op(Op::GetVariable);
    a.op(Op::Trace);
    a.setTarget("clip").push({"inside"}).op(Op::TargetPath).op(Op::Trace).setTarget("");
    a.push({"clip"}).op(Op::SetTarget2).op(Op::Stop).push({""}).op(Op::SetTarget2);
    a.push({"clip", "copy", 5}).op(Op::CloneSprite).push({"copy"}).op(Op::RemoveSprite);
    a.gotoFrame(1).gotoLabel("start").op(Op::Play).waitForFrame(1, 1).op(Op::NextFrame);
    a.push({2}).gotoFrame2(true);
    return a;
}

ActionWriter loop()
{
    // for (i = 0; i < 100; i++) total += i, with a break in the middle.
    ActionWriter a;
    a.constantPool({"i", "total"});
    a.push({Constant{0}, 0}).op(Op::SetVariable).push({Constant{1}, 0}).op(Op::SetVariable);
    const auto top = a.label();
    const auto out = a.label();
    a.bind(top).push({Constant{0}}).op(Op::GetVariable).push({100}).op(Op::Less2).op(Op::Not);
    a.ifTrue(out);
    a.push({Constant{1}, Constant{1}}).op(Op::GetVariable).push({Constant{0}});
    a.op(Op::GetVariable).op(Op::Add2).op(Op::SetVariable);
    a.push({Constant{0}, Constant{0}}).op(Op::GetVariable).op(Op::Increment).op(Op::SetVariable);
    a.jump(top);
    a.bind(out).push({Constant{1}}).op(Op::GetVariable).op(Op::Trace);
    // A loop without end: the time budget stops it.
    const auto forever = a.label();
    a.bind(forever).jump(forever);
    return a;
}

ActionWriter damaged()
{
    ActionWriter a;
    a.push({"before"}).op(Op::Trace).jumpBy(-3).ifTrueBy(1000);
    a.action(0x96, {0x07, 0x01});
    a.raw({0x8E, 0xFF, 0x00, 0x41});
    return a;
}

// object.method(args...), the result left on the stack; `object` is a variable's name.
ActionWriter& call(ActionWriter& a, const std::string& object, const std::string& method,
                   std::vector<PushValue> args)
{
    const int count = static_cast<int>(args.size());
    std::reverse(args.begin(), args.end());
    args.emplace_back(count);
    args.emplace_back(object);
    return a.push(args).op(Op::GetVariable).push({method}).op(Op::CallMethod);
}

ActionWriter loading()
{
    ActionWriter a;
    call(a, "clip", "loadMovie", {"child.swf"}).op(Op::Pop);
    a.push({"child.swf", "_level3"}).getUrl2(0x00);
    a.push({"x", 0, "XML"}).op(Op::NewObject).op(Op::SetVariable);
    call(a, "x", "load", {"data.xml"}).op(Op::Pop);
    call(a, "x", "parseXML", {"<a b='1'><c>t</c><!-- n --><![CDATA[d]]></a>"}).op(Op::Pop);
    a.push({"x"}).op(Op::GetVariable).op(Op::Trace);
    a.push({"v", 0, "LoadVars"}).op(Op::NewObject).op(Op::SetVariable);
    call(a, "v", "load", {"vars.txt"}).op(Op::Pop);
    call(a, "v", "decode", {"a=1&b=%41%zz&c"}).op(Op::Pop);
    a.push({"vars.txt", "clip"}).getUrl2(0xC0);
    a.push({"l", 0, "MovieClipLoader"}).op(Op::NewObject).op(Op::SetVariable);
    call(a, "l", "loadClip", {"child.swf", "clip"}).op(Op::Pop);
    return a;
}

ActionWriter drawing()
{
    ActionWriter a;
    call(a, "clip", "lineStyle", {4, 0xff0000, 50, true, "none", "round", "miter", 3});
    call(a, "clip", "beginFill", {0x00ff00, 80}).op(Op::Pop);
    call(a, "clip", "moveTo", {10, 10}).op(Op::Pop);
    call(a, "clip", "lineTo", {100, 10}).op(Op::Pop);
    call(a, "clip", "curveTo", {120, 60, 100, 100}).op(Op::Pop);
    call(a, "clip", "endFill", {}).op(Op::Pop);
    a.push({0xff, 0xff00, 2}).op(Op::InitArray).storeRegister(1).op(Op::Pop);
    a.push({100, 50, 2}).op(Op::InitArray).storeRegister(2).op(Op::Pop);
    a.push({255, 0, 2}).op(Op::InitArray).storeRegister(3).op(Op::Pop);
    a.push({"matrixType", "box", "x", 0, "y", 0, "w", 50, "h", 50, "r", 1, 6});
    a.op(Op::InitObject).storeRegister(4).op(Op::Pop);
    a.push({Register{4}, Register{3}, Register{2}, Register{1}, "radial", 5, "clip"});
    a.op(Op::GetVariable).push({"beginGradientFill"}).op(Op::CallMethod).op(Op::Pop);
    call(a, "clip", "lineTo", {-20, 40}).op(Op::Pop);
    call(a, "clip", "getBounds", {}).op(Op::Trace);
    call(a, "clip", "hitTest", {30, 30, true}).op(Op::Trace);
    call(a, "clip", "clear", {}).op(Op::Pop);
    return a;
}

ActionWriter bitmapsAndFilters()
{
    ActionWriter a;
    a.push({"b", 4278255360.0, true, 20, 30, 4, "flash"}).op(Op::GetVariable);
    a.push({"display"}).op(Op::GetMember).push({"BitmapData"}).op(Op::NewMethod);
    a.op(Op::SetVariable);
    call(a, "b", "setPixel32", {3, 4, 2148606515.0}).op(Op::Pop);
    call(a, "b", "getPixel32", {3, 4}).op(Op::Trace);
    call(a, "b", "floodFill", {0, 0, 4294901760.0}).op(Op::Pop);
    call(a, "b", "noise", {7}).op(Op::Pop);
    call(a, "b", "draw", {"clip"}).op(Op::Pop);
    call(a, "clip", "attachBitmap", {"b", 3}).op(Op::Pop);
    a.push({"f", 4, 8, 8, 3, "flash"}).op(Op::GetVariable);
    a.push({"filters"}).op(Op::GetMember).push({"BlurFilter"}).op(Op::NewMethod);
    a.op(Op::SetVariable);
    a.push({"clip"}).op(Op::GetVariable).push({"filters", "f"}).op(Op::GetVariable);
    a.push({1}).op(Op::InitArray).op(Op::SetMember);
    call(a, "b", "dispose", {}).op(Op::Pop);
    return a;
}

ActionWriter text()
{
    ActionWriter a;
    call(a, "_root", "createTextField", {"t", 9, 0, 0, 100, 40}).op(Op::Pop);
    a.push({"t"})
        .op(Op::GetVariable)
        .push({"htmlText", "<p align='center'><b>b</b><font "
                           "size='30'>x</font><li>l</li></p>"});
    a.op(Op::SetMember);
    a.push({"t"}).op(Op::GetVariable).push({"textWidth"}).op(Op::GetMember).op(Op::Trace);
    a.push({"s", 0, "TextField"}).op(Op::GetVariable).push({"StyleSheet"}).op(Op::NewMethod);
    a.op(Op::SetVariable);
    call(a, "s", "parseCSS", {"p { color: #ff0000; font-size: 12 } .x{"}).op(Op::Trace);
    call(a, "Selection", "setFocus", {"t"}).op(Op::Pop);
    call(a, "t", "replaceSel", {"new"}).op(Op::Pop);
    return a;
}

std::vector<std::uint8_t> actionSeed(int version, const ActionWriter& code)
{
    std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(version - 5)};
    seed.insert(seed.end(), code.bytes().begin(), code.bytes().end());
    return seed;
}

bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool writeActionSeeds(const std::string& folder)
{
    const std::pair<const char*, std::function<ActionWriter()>> blocks[] = {
        {"arithmetic", arithmetic},
        {"functions", functions},
        {"exceptions", exceptions},
        {"objects", objects},
        {"strings", strings},
        {"with", withAndTargets},
        {"loop", loop},
        {"damaged", damaged},
        {"loading", loading},
        {"drawing", drawing},
        {"bitmaps", bitmapsAndFilters},
        {"text", text}};
    bool ok = true;
    for (const auto& [name, make] : blocks) {
        const ActionWriter code = make();
        ok &= writeBytes(folder + "/" + name + "-v6", actionSeed(6, code));
        ok &= writeBytes(folder + "/" + name + "-v8", actionSeed(8, code));
    }
    ok &= writeBytes(folder + "/arithmetic-v5", actionSeed(5, arithmetic()));
    return ok;
}

// Frames of a 32 x 32 square that moves, as libavcodec's encoders coded them: a keyframe
// and an inter frame of each coding the encoders have.
const std::vector<std::uint8_t> kSorensonFrames[] = {
    {0x00, 0x00, 0x84, 0x00, 0x10, 0x10, 0x11, 0x26, 0xfc, 0xfc, 0xfd, 0xd7,
     0xff, 0xff, 0x37, 0xe7, 0xee, 0xbe, 0xbf, 0xff, 0xf9, 0xbf, 0x75, 0xbf,
     0x75, 0xff, 0xff, 0xcf, 0xaf, 0xaf, 0xaf, 0xaf, 0xff, 0xfc},
    {0x00, 0x00, 0x84, 0x04, 0x10, 0x10, 0x31, 0x1c, 0x17, 0xdc, 0x17, 0xc0}};
const std::vector<std::uint8_t> kScreenFrames[] = {
    {0x30, 0x20, 0x30, 0x20, 0x00, 0x27, 0x78, 0xda, 0xed, 0xcc, 0x31, 0x11, 0x00, 0x00, 0x08,
     0x04, 0xa0, 0xea, 0xdf, 0x5c, 0x0b, 0x38, 0xba, 0x78, 0x42, 0x00, 0x92, 0x59, 0x2d, 0x89,
     0xdf, 0xef, 0xf7, 0xfb, 0xfd, 0x7e, 0xff, 0x91, 0x1f, 0x3e, 0x68, 0x7c, 0x73, 0x59, 0xc8}};
const std::vector<std::uint8_t> kScreen2Frames[] = {
    {0x30, 0x20, 0x30, 0x20, 0x00, 0x00, 0x1e, 0x10, 0x78, 0xda, 0x3b, 0x24, 0x70,
     0x08, 0x05, 0xb2, 0xe2, 0x00, 0x87, 0x46, 0xd5, 0x8d, 0xaa, 0x1b, 0x55, 0x37,
     0xe8, 0xd5, 0x8d, 0xc2, 0x91, 0x05, 0x01, 0x81, 0xf8, 0x7a, 0xd0},
    {0x30, 0x20, 0x30, 0x20, 0x00, 0x00, 0x16, 0x15, 0x00, 0x18, 0xc3, 0x05, 0x49, 0x49, 0x2b,
     0xa3, 0x6a, 0x47, 0xd5, 0x8e, 0xaa, 0x1d, 0x9e, 0x6a, 0x01, 0x9a, 0xd9, 0x70, 0x7f}};

// An embedded Sorenson stream on the main timeline, its frames shown by the placement's
// ratio, forwards and then back.
MovieWriter embeddedVideo()
{
    MovieWriter movie(8);
    VideoStreamHeader header;
    header.frameCount = 2;
    header.width = 32;
    header.height = 32;
    header.smoothing = true;
    movie.add(60, defineVideoStream(1, header));
    for (std::uint16_t frame : {0, 1, 0}) {
        if (frame < std::size(kSorensonFrames))
            movie.add(61, videoFrame(1, frame, kSorensonFrames[frame]));
        Place place = placed(1, 1);
        if (movie.frameCount() > 0) {
            place.characterId.reset();
            place.move = true;
        }
        place.ratio = frame;
        movie.place2(place);
        movie.showFrame();
    }
    return movie;
}

std::vector<std::uint8_t> flvMetadata()
{
    AmfWriter amf;
    amf.string("onMetaData").beginEcmaArray(5).key("duration").number(0.08);
    amf.key("width").number(32).key("height").number(32).key("created").date(1.0e12);
    amf.key("keyframes").beginObject().key("filepositions").beginStrictArray(1).number(13);
    amf.key("times").beginStrictArray(1).number(0).end().end();
    return amf.bytes();
}

std::vector<std::uint8_t> flvOfFrames(std::uint8_t codecId,
                                      std::span<const std::vector<std::uint8_t>> frames)
{
    FlvWriter writer;
    writer.script(0, flvMetadata());
    AmfWriter cue;
    cue.string("onCuePoint").beginObject().key("name").string("cue").key("time").number(0.04);
    cue.key("parameters").beginObject().key("a").null().end().end();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        writer.video(std::uint32_t(40 * i), i == 0 ? 1 : 2, codecId, frames[i]);
        writer.audio(std::uint32_t(40 * i), 0x2e, std::vector<std::uint8_t>{0xff, 0xfb, 0x90});
        if (i == 0)
            writer.script(40, cue.bytes());
    }
    return writer.bytes();
}

bool writeFlvSeeds(const std::string& folder)
{
    bool ok = writeBytes(folder + "/sorenson.flv", flvOfFrames(2, kSorensonFrames));
    ok &= writeBytes(folder + "/screen.flv", flvOfFrames(3, kScreenFrames));
    ok &= writeBytes(folder + "/screen2.flv", flvOfFrames(6, kScreen2Frames));
    // Headers only, for the codings without an encoder here: VP6 (crop byte, then an intra
    // frame's first bytes), VP6 with alpha, and H.264's configuration then an IDR slice.
    const std::vector<std::uint8_t> vp6[] = {{0x00, 0x00, 0x60, 0x02, 0x02, 0x02, 0x02}};
    ok &= writeBytes(folder + "/vp6.flv", flvOfFrames(4, vp6));
    const std::vector<std::uint8_t> vp6a[] = {{0x00, 0x00, 0x00, 0x04, 0x00, 0x60, 0x02, 0x02}};
    ok &= writeBytes(folder + "/vp6a.flv", flvOfFrames(5, vp6a));
    const std::vector<std::uint8_t> avc[] = {{0x00, 0,    0,    0,    0x01, 0x42, 0xc0,
                                              0x0a, 0xff, 0xe1, 0x00, 0x04, 0x67, 0x42,
                                              0xc0, 0x0a, 0x01, 0x00, 0x02, 0x68, 0xce},
                                             {0x01, 0, 0, 0, 0, 0, 0, 3, 0x65, 0x88, 0x84}};
    ok &= writeBytes(folder + "/h264.flv", flvOfFrames(7, avc));
    return ok;
}

// ActionScript 3 blocks: a class with slots, methods and metadata; code with branches,
// a switch and an exception handler; type names nested.
bool writeAbcSeeds(const std::string& folder)
{
    namespace abc = swfwriter::abc;
    using abc::Code;
    AbcWriter w;
    const std::uint32_t intType = w.publicName("int");
    const std::uint32_t vectorOfVectors =
        w.typeName(w.publicName("Vector", "__AS3__.vec"),
                   {w.typeName(w.publicName("Vector", "__AS3__.vec"), {intType})});
    Code body;
    const Code::Label first = body.label();
    const Code::Label second = body.label();
    const Code::Label end = body.label();
    body.op(abc::Op::GetLocal0).op(abc::Op::PushScope).pushByte(1);
    body.lookupSwitch(end, {first, second});
    body.bind(first)
        .op(abc::Op::PushString, w.string("one"))
        .op(abc::Op::Pop)
        .branch(abc::Op::Jump, end);
    body.bind(second).op(abc::Op::PushDouble, w.number(2.5)).op(abc::Op::Pop);
    body.bind(end).op(abc::Op::ReturnVoid);
    const std::uint32_t method = w.method({.paramTypes = {intType, vectorOfVectors},
                                           .returnType = intType,
                                           .name = "f",
                                           .optional = {{w.integer(-3), abc::kConstInt}},
                                           .paramNames = {"a", "b"}});
    abc::MethodBody withHandler;
    withHandler.method = method;
    withHandler.localCount = 3;
    withHandler.code = body.bytes();
    withHandler.exceptions.push_back({.from = 0, .to = 3, .target = 3, .type = 0, .varName = 0});
    w.body(withHandler);
    Code empty;
    empty.op(abc::Op::ReturnVoid);
    const std::uint32_t init = w.function({.name = "init"}, empty);
    abc::ClassInfo c;
    c.name = w.publicName("Seed", "fuzz");
    c.superName = w.publicName("Object");
    c.instanceInit = init;
    c.classInit = init;
    c.instanceTraits.push_back({.name = w.publicName("f"),
                                .kind = abc::TraitKind::Method,
                                .id = 1,
                                .index = method,
                                .metadata = {w.metadata("Seed", {{"key", "value"}})}});
    c.instanceTraits.push_back({.name = w.publicName("n"),
                                .kind = abc::TraitKind::Slot,
                                .id = 1,
                                .typeName = intType,
                                .value = abc::ConstantValue{w.integer(7), abc::kConstInt}});
    const std::uint32_t cls = w.addClass(c);
    w.script(init, {{.name = c.name, .kind = abc::TraitKind::Class, .id = 1, .index = cls}});
    return writeBytes(folder + "/class.abc", w.bytes());
}

// AMF messages: an AMF 0 object with a reference and an AMF 3 switch; an AMF 3 array of
// two objects of one class, a string reference and a typed vector.
bool writeAmfSeeds(const std::string& folder)
{
    const std::vector<std::uint8_t> amf0 = {3, 0,   1,    'a', 0,    0x3F, 0xF0, 0, 0, 0,
                                            0, 0,   0,    0,   1,    'b',  7,    0, 0, 0,
                                            1, 'c', 0x11, 4,   0x7F, 0,    0,    9};
    const std::vector<std::uint8_t> amf3 = {9,    7, 3,   'k', 6,   3,    'v',  1,    10,
                                            0x13, 3, 'P', 3,   'x', 4,    1,    10,   1,
                                            6,    0, 13,  3,   0,   0xFF, 0xFF, 0xFF, 0xFF};
    return writeBytes(folder + "/object.amf0", amf0) && writeBytes(folder + "/array.amf3", amf3);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 6) {
        std::fprintf(stderr, "usage: make-fuzz-seeds MOVIE_FOLDER [ACTION_FOLDER [FLV_FOLDER "
                             "[ABC_FOLDER [AMF_FOLDER]]]]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, MovieWriter> movies[] = {
        {"shapes", shapes()},
        {"sprites", spritesAndMasks()},
        {"bitmaps", bitmaps()},
        {"text", textAndButtons()},
        {"morph", morph()},
        {"video", embeddedVideo()},
        {"self-placing-hit-areas", hitAreasPlacingThemselves()},
        {"nested-hit-areas", nestedHitAreas({12, 20, HitNesting::SpreadPoints})}};
    bool ok = true;
    for (const auto& [name, movie] : movies) {
        ok &= movie.writeFile(folder + "/" + name + ".swf", Compression::None);
        ok &= movie.writeFile(folder + "/" + name + "-zlib.swf", Compression::Zlib);
    }
    ok &= shapes().writeFile(folder + "/shapes-lzma.swf", Compression::Lzma);
    if (argc >= 3)
        ok &= writeActionSeeds(argv[2]);
    if (argc >= 4)
        ok &= writeFlvSeeds(argv[3]);
    if (argc >= 5)
        ok &= writeAbcSeeds(argv[4]);
    if (argc == 6)
        ok &= writeAmfSeeds(argv[5]);
    return ok ? 0 : 1;
}
