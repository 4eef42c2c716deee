// The display list's rules as scripts meet them: GotoFrame2's frame values, clip values
// compared by path, bitmaps placed by a timeline, text fields copied by
// duplicateMovieClip, loads' byte counts and unloading's timing, calls on clips that
// are gone, the "nothing" rectangle of empty clips and names kept by replacing moves.
#include "ScriptRun.h"
#include "swfwriter/BitmapWriter.h"
#include "swfwriter/FontWriter.h"
#include "swfwriter/ShapeWriter.h"
#include "swfwriter/TextWriter.h"

#include <QtTest>
#include <cmath>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;

namespace {

constexpr std::uint16_t kLabelledSprite = 1; // eight frames, labels on frames 3 to 6
constexpr std::uint16_t kBitmap = 2;         // 4 x 2 pixels
constexpr std::uint16_t kSquare = 3;         // 0..10 px
constexpr std::uint16_t kWedge = 4;          // 0..20 px
constexpr std::uint16_t kBlockFont = 5;      // one glyph: a block half an em wide
constexpr std::uint16_t kTwoLetters = 6;     // two blocks 40 px apart, 20 px high
constexpr std::uint16_t kTextHolder = 7;
constexpr std::uint16_t kTurnedSquare = 8; // the square, turned a quarter of a half turn
constexpr std::uint16_t kTurnedHolder = 9; // that clip, turned the same again

// Pushes the values, then object.method(values...), its result left on the stack.
void callMethod(ActionWriter& a, const std::string& object, const std::string& method,
                std::vector<PushValue> args)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back(object);
    a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
}

void traceVar(ActionWriter& a, const std::string& path)
{
    a.push({path}).op(Op::GetVariable).op(Op::Trace);
}

void defineShapes(MovieWriter& movie)
{
    ShapeWriter square;
    square.fill1(square.addFill(FillStyle::solid({255, 0, 0, 255}))).rect(0, 0, 200, 200);
    movie.add(square.tagCode(), square.body(kSquare));
    ShapeWriter wedge;
    wedge.fill1(wedge.addFill(FillStyle::solid({0, 0, 255, 255}))).rect(0, 0, 400, 400);
    movie.add(wedge.tagCode(), wedge.body(kWedge));
}

// A movie of `version` whose frames run `frames`, one script a frame, after `setup`
// added its definitions, placements and `setupFrames` frames of its own.
std::string play(int version, const std::vector<ActionWriter>& frames,
                 const std::function<void(MovieWriter&)>& setup = {}, int setupFrames = 0,
                 std::map<std::string, std::string> files = {})
{
    MovieWriter movie(version);
    if (version >= 8)
        movie.fileAttributes();
    if (setup)
        setup(movie);
    for (const ActionWriter& frame : frames) {
        ActionWriter code = frame;
        movie.doAction(code.end().bytes());
        movie.showFrame();
    }
    scriptrun::Options options;
    options.frames = static_cast<int>(frames.size()) + setupFrames;
    options.files = std::move(files);
    return joined(scriptrun::traces(movie, options));
}

// A clip "c" of eight frames with the labels "undefined", "false", "4.5" and "Target"
// on frames 3 to 6.
void placeLabelledClip(MovieWriter& movie)
{
    TagList timeline;
    const char* labels[] = {nullptr, nullptr,  "undefined", "false",
                            "4.5",   "Target", nullptr,     nullptr};
    ActionWriter stop;
    stop.op(Op::Stop).end();
    timeline.doAction(stop.bytes());
    for (const char* label : labels) {
        if (label)
            timeline.frameLabel(label);
        timeline.showFrame();
    }
    movie.defineSprite(kLabelledSprite, timeline);
    Place place;
    place.characterId = kLabelledSprite;
    place.name = "c";
    movie.place2(place);
}

} // namespace

class DisplayListRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gotoFrame2TakesValuesByText();
    void clipsWithOnePathAreEqual();
    void timelinesPlaceBitmaps();
    void duplicateMovieClipCopiesTextFields();
    void byteCountsAndUnloading();
    void callsOnClipsThatAreGone();
    void emptyBoundsByVersion();
    void replacingMoveKeepsTheName();
    void getUrlAndLoadVariables();
    void staticTextIsHitOnItsLetters();
    void boundsFollowEveryMatrixDown();
};

void DisplayListRulesTest::gotoFrame2TakesValuesByText()
{
    struct Step {
        PushValue value;
        std::optional<std::uint16_t> bias;
    };
    const std::vector<Step> steps = {
        {Undefined{}, {}},  // the label "undefined": 3
        {false, {}},        // "false": 4
        {2, {}},            // a whole number: 2
        {4.5, {}},          // a fraction names the label "4.5": 5
        {"target", {}},     // labels ignore case: 6
        {0, {}},            // frame 0 moves nothing: 6
        {"Target", {2}},    // a scene's bias moves labels too: 8
        {1, {2}},           // and numbers: 3
        {"nowhere", {}},    // no such label: 3
        {4294967301.0, {}}, // 32-bit frame numbers: 5
    };
    ActionWriter a;
    for (const Step& step : steps) {
        a.setTarget("c");
        a.push({step.value}).gotoFrame2(false, step.bias);
        a.setTarget("");
        a.push({"c", 4}).op(Op::GetProperty).op(Op::Trace);
    }
    QCOMPARE(QString::fromStdString(play(8, {a}, placeLabelledClip)),
             QString("3\n4\n2\n5\n6\n6\n8\n3\n3\n5"));
}

void DisplayListRulesTest::clipsWithOnePathAreEqual()
{
    ActionWriter a;
    callMethod(a, "_root", "createEmptyMovieClip", {"a", 1});
    a.op(Op::Pop);
    callMethod(a, "_root", "createEmptyMovieClip", {"a", 2});
    a.op(Op::Pop);
    callMethod(a, "_root", "createEmptyMovieClip", {"b", 3});
    a.op(Op::Pop);
    // Two clips named "a" side by side: equal, strictly too; "b" is another.
    callMethod(a, "_root", "getInstanceAtDepth", {1});
    callMethod(a, "_root", "getInstanceAtDepth", {2});
    a.op(Op::StrictEquals).op(Op::Trace);
    callMethod(a, "_root", "getInstanceAtDepth", {1});
    callMethod(a, "_root", "getInstanceAtDepth", {2});
    a.op(Op::Equals2).op(Op::Trace);
    callMethod(a, "_root", "getInstanceAtDepth", {1});
    callMethod(a, "_root", "getInstanceAtDepth", {3});
    a.op(Op::StrictEquals).op(Op::Trace);
    // Each still answers as itself.
    a.push({0, 2, 1, "_root"}).op(Op::GetVariable).push({"getInstanceAtDepth"});
    a.op(Op::CallMethod).push({"getDepth"}).op(Op::CallMethod).op(Op::Trace);
    // A removed clip's reference equals the clip made at its path since.
    a.push({"old"});
    callMethod(a, "_root", "createEmptyMovieClip", {"c", 4});
    a.op(Op::SetVariable);
    callMethod(a, "old", "removeMovieClip", {});
    a.op(Op::Pop);
    callMethod(a, "_root", "createEmptyMovieClip", {"c", 5});
    a.push({"old"}).op(Op::GetVariable).op(Op::StrictEquals).op(Op::Trace);
    // An object is never a clip.
    callMethod(a, "_root", "getInstanceAtDepth", {3});
    a.push({0}).op(Op::InitObject).op(Op::Equals2).op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {a})), QString("true\ntrue\nfalse\n2\ntrue\nfalse"));
}

void DisplayListRulesTest::timelinesPlaceBitmaps()
{
    const auto setup = [](MovieWriter& movie) {
        LosslessBitmap bitmap = LosslessBitmap::pix24(1, Image::filled(4, 2, {0, 255, 0, 255}));
        bitmap.id = kBitmap;
        movie.add(bitmap.tagCode(), bitmap.body());
        Place place;
        place.characterId = kBitmap;
        place.name = "pic";
        place.matrix = Matrix::translate(400, 200);
        movie.place2(place);
    };
    ActionWriter a;
    // The holder answers for it, as for shapes; its box is the clip's.
    traceVar(a, "pic");
    a.push({"_root"}).op(Op::GetVariable).op(Op::Enumerate2);
    a.op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {a}, setup)), QString("_level0\npic"));

    ActionWriter bounds;
    for (const char* edge : {"xMin", "xMax", "yMin", "yMax"}) {
        callMethod(bounds, "_root", "getBounds", {});
        bounds.push({edge}).op(Op::GetMember).op(Op::Trace);
    }
    QCOMPARE(QString::fromStdString(play(8, {bounds}, setup)), QString("20\n24\n10\n12"));
}

void DisplayListRulesTest::duplicateMovieClipCopiesTextFields()
{
    ActionWriter a;
    callMethod(a, "_root", "createTextField", {"t", 1, 10, 20, 100, 50});
    a.op(Op::Pop);
    a.push({"t"}).op(Op::GetVariable).push({"type", "input"}).op(Op::SetMember);
    a.push({"t"}).op(Op::GetVariable).push({"text", "hello"}).op(Op::SetMember);
    a.push({"t"}).op(Op::GetVariable).push({"_alpha", 50}).op(Op::SetMember);
    a.push({"t"}).op(Op::GetVariable).push({"border", true}).op(Op::SetMember);
    // duplicateMovieClip(t, "copy", 2): depths reach CloneSprite 16384 up.
    a.push({"t", "copy", 16386}).op(Op::CloneSprite);
    for (const char* name : {"copy._x", "copy._y", "copy._width", "copy._height", "copy.text",
                             "copy.type", "copy._alpha", "copy.border", "copy._name"})
        traceVar(a, name);
    callMethod(a, "copy", "getDepth", {});
    a.op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {a})),
             QString("10\n20\n0\n0\n\ninput\n50\nfalse\ncopy\n2"));
}

void DisplayListRulesTest::byteCountsAndUnloading()
{
    const auto counts = [](ActionWriter& a, const std::string& clip) {
        callMethod(a, clip, "getBytesLoaded", {});
        a.op(Op::Trace);
        callMethod(a, clip, "getBytesTotal", {});
        a.op(Op::Trace);
        traceVar(a, clip + "._framesloaded");
    };
    ActionWriter first;
    first.push({"mc"});
    callMethod(first, "_root", "createEmptyMovieClip", {"mc", 1});
    first.op(Op::SetVariable);
    counts(first, "mc"); // an empty clip: 0, 0, 1
    callMethod(first, "mc", "loadMovie", {"missing.swf"});
    first.op(Op::Pop);
    ActionWriter second;
    counts(second, "mc"); // nothing found: 0 loaded of -1, -1 frames
    callMethod(second, "mc", "unloadMovie", {});
    second.op(Op::Pop);
    counts(second, "mc"); // unloading waits for the end of the step
    ActionWriter third;
    counts(third, "mc"); // emptied
    QCOMPARE(QString::fromStdString(play(8, {first, second, third})),
             QString("0\n0\n1\n0\n-1\n-1\n0\n-1\n-1\n0\n0\n0"));
}

void DisplayListRulesTest::callsOnClipsThatAreGone()
{
    ActionWriter a;
    a.push({"gone"});
    callMethod(a, "_root", "createEmptyMovieClip", {"d", 1});
    a.op(Op::SetVariable);
    a.push({"kept"});
    callMethod(a, "_root", "createEmptyMovieClip", {"k", 2});
    a.op(Op::SetVariable);
    callMethod(a, "gone", "removeMovieClip", {});
    a.op(Op::Pop);
    // A method still found runs without the clip; a live clip's valueOf is itself.
    callMethod(a, "gone", "valueOf", {});
    a.op(Op::TypeOf).op(Op::Trace);
    callMethod(a, "kept", "valueOf", {});
    a.push({"kept"}).op(Op::GetVariable).op(Op::StrictEquals).op(Op::Trace);
    a.push({"gone"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {a})), QString("undefined\ntrue\nmovieclip"));
}

void DisplayListRulesTest::emptyBoundsByVersion()
{
    // The "nothing" corner is 0x7FFFFFF twips; moved into another clip's space it goes
    // through single precision, but only once SWF 8 code has asked for bounds.
    ActionWriter a;
    callMethod(a, "_root", "createEmptyMovieClip", {"e", 1});
    a.op(Op::Pop);
    a.push({"_root", 1, "e"}).op(Op::GetVariable).push({"getBounds"}).op(Op::CallMethod);
    a.push({"xMin"}).op(Op::GetMember).op(Op::Trace);
    callMethod(a, "e", "getBounds", {});
    a.push({"yMax"}).op(Op::GetMember).op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(7, {a})), QString("6710886.35\n6710886.35"));
    QCOMPARE(QString::fromStdString(play(8, {a})), QString("6710886.4\n6710886.35"));
}

void DisplayListRulesTest::replacingMoveKeepsTheName()
{
    const auto setup = [](MovieWriter& movie) {
        defineShapes(movie);
        Place first;
        first.characterId = kSquare;
        first.name = "s1";
        movie.place2(first);
    };
    ActionWriter before;
    ActionWriter after;
    for (ActionWriter* a : {&before, &after}) {
        a->push({"s1"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
        a->push({"s2"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
        callMethod(*a, "_root", "getBounds", {});
        a->push({"xMax"}).op(Op::GetMember).op(Op::Trace);
    }
    const auto withMove = [&](MovieWriter& movie) {
        setup(movie);
        ActionWriter code = before;
        movie.doAction(code.end().bytes());
        movie.showFrame();
        Place move;
        move.move = true;
        move.characterId = kWedge;
        move.name = "s2";
        movie.place2(move);
    };
    QCOMPARE(QString::fromStdString(play(8, {after}, withMove, 1)),
             QString("movieclip\nundefined\n10\nmovieclip\nundefined\n20"));
}

void DisplayListRulesTest::getUrlAndLoadVariables()
{
    MovieWriter child(8);
    ActionWriter childCode;
    childCode.push({"child here"}).op(Op::Trace).end();
    child.doAction(childCode.bytes());
    child.showFrame();
    const std::vector<std::uint8_t> childBytes = child.bytes();
    const std::map<std::string, std::string> files = {
        {"vars.txt", "a=1&b=two%20words"},
        {"child.swf", std::string(childBytes.begin(), childBytes.end())}};

    ActionWriter first;
    first.push({"mc"});
    callMethod(first, "_root", "createEmptyMovieClip", {"mc", 1});
    first.op(Op::SetVariable);
    callMethod(first, "mc", "loadVariables", {"vars.txt", "GET"});
    first.op(Op::Pop);
    callMethod(first, "mc", "getURL", {"child.swf", "_level3"});
    first.op(Op::Trace); // no result
    callMethod(first, "mc", "getURL", {"http://example.com/", "_blank"});
    first.op(Op::Pop);
    callMethod(first, "mc", "getURL", {});
    first.op(Op::Pop);
    ActionWriter later;
    ActionWriter last;
    traceVar(last, "mc.a");
    traceVar(last, "mc.b");
    last.push({"_level3"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
    // Both are methods of the prototype, hidden from for..in.
    last.push({"MovieClip"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
    last.push({"getURL"}).op(Op::GetMember).op(Op::TypeOf).op(Op::Trace);
    last.push({"MovieClip"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
    last.push({"loadVariables"}).op(Op::GetMember).op(Op::TypeOf).op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {first, later, last}, {}, 0, files)),
             QString("undefined\nchild here\n1\ntwo words\nmovieclip\nfunction\nfunction"));
}

void DisplayListRulesTest::staticTextIsHitOnItsLetters()
{
    const auto setup = [](MovieWriter& movie) {
        ShapeWriter block;
        block.fill1(1).rect(0, -1024, 512, 1024);
        FontWriter font(2);
        font.setName("Blocks").addGlyph(block, 'a', 1024);
        movie.add(font.tagCode(), font.body(kBlockFont));
        TextWriter text(1);
        text.setBounds({0, 1000, 0, 400});
        TextRecordFields record;
        record.fontId = kBlockFont;
        record.height = 400;
        record.color = Color{0, 0, 0, 255};
        record.x = 0;
        record.y = 400;
        record.glyphs = {{0, 800}, {0, 800}};
        text.addRecord(record);
        movie.add(text.tagCode(), text.body(kTwoLetters));
        TagList holder;
        Place inner;
        inner.characterId = kTwoLetters;
        holder.place2(inner);
        holder.showFrame();
        movie.defineSprite(kTextHolder, holder);
        Place place;
        place.characterId = kTextHolder;
        place.name = "holder";
        place.matrix = Matrix::translate(200, 200);
        movie.place2(place);
    };
    ActionWriter a;
    // Letters at 10..20 and 50..60 px across, 10..30 px down; the gap is no hit, but it
    // is inside the text's box.
    for (const auto& [x, y, shape] : std::vector<std::tuple<int, int, bool>>{
             {15, 20, true}, {30, 20, true}, {55, 20, true}, {30, 20, false}, {65, 20, true}})
        callMethod(a, "holder", "hitTest", {x, y, shape}), a.op(Op::Trace);
    QCOMPARE(QString::fromStdString(play(8, {a}, setup)),
             QString("true\nfalse\ntrue\ntrue\nfalse"));
}

void DisplayListRulesTest::boundsFollowEveryMatrixDown()
{
    // The square turned 45 degrees inside a clip turned 45 degrees: on the stage it is
    // upright, 10 px a side, not the box of a turned box (20 px).
    const auto setup = [](MovieWriter& movie) {
        defineShapes(movie);
        const double half = std::sqrt(0.5);
        const Matrix turn{half, half, -half, half, 0, 0};
        TagList inner;
        Place square;
        square.characterId = kSquare;
        square.matrix = turn;
        inner.place2(square);
        inner.showFrame();
        movie.defineSprite(kTurnedSquare, inner);
        TagList outer;
        Place turned;
        turned.characterId = kTurnedSquare;
        turned.name = "inner";
        turned.matrix = turn;
        outer.place2(turned);
        outer.showFrame();
        movie.defineSprite(kTurnedHolder, outer);
        Place place;
        place.characterId = kTurnedHolder;
        place.name = "outer";
        place.matrix = Matrix::translate(2000, 2000);
        movie.place2(place);
    };
    ActionWriter a;
    for (const char* edge : {"xMin", "xMax", "yMin", "yMax"}) {
        a.push({"_root", 1, "outer"}).op(Op::GetVariable).push({"getBounds"});
        a.op(Op::CallMethod).push({edge}).op(Op::GetMember).op(Op::Trace);
    }
    QCOMPARE(QString::fromStdString(play(8, {a}, setup)), QString("90\n100\n100\n110"));
}

QTEST_GUILESS_MAIN(DisplayListRulesTest)
#include "DisplayListRulesTest.moc"
