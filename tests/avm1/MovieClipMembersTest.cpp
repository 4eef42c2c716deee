// MovieClip's members one by one, as scripts call them: odd arguments (missing,
// undefined, fractional, out of range), what each returns, the defaults of its
// properties, the flags they carry and the versions that have them. Each row runs in
// a movie of its own holding an empty clip "box" at depth 1, and traces one line per
// expression.
#include "ScriptRun.h"
#include "swfwriter/ButtonWriter.h"
#include "swfwriter/ShapeWriter.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;

namespace {

struct Row {
    const char* name;
    int version;
    std::function<void(ActionWriter&)> code;
    const char* expected;
};

// object.method(args), left on the stack.
void call(ActionWriter& a, const std::string& object, const std::string& method,
          std::vector<PushValue> args)
{
    std::vector<PushValue> pushed(args.rbegin(), args.rend());
    pushed.emplace_back(static_cast<int>(args.size()));
    pushed.emplace_back(object);
    a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
}

void show(ActionWriter& a, const std::string& path)
{
    a.push({path}).op(Op::GetVariable).op(Op::Trace);
}

void set(ActionWriter& a, const std::string& object, const std::string& member, PushValue value)
{
    a.push({object}).op(Op::GetVariable).push({member, value}).op(Op::SetMember);
}

void traceCall(ActionWriter& a, const std::string& object, const std::string& method,
               std::vector<PushValue> args)
{
    call(a, object, method, std::move(args));
    a.op(Op::Trace);
}

// A button "btn" at depth 2, at (40, 0) px, drawing a 10 px square in every state.
void placeButton(MovieWriter& movie)
{
    constexpr std::uint16_t kSquare = 10, kButton = 11;
    ShapeWriter square;
    square.fill1(square.addFill(FillStyle::solid({0, 0, 0, 255}))).rect(0, 0, 200, 200);
    movie.add(square.tagCode(), square.body(kSquare));
    ButtonRecord record;
    record.characterId = kSquare;
    movie.add(34, defineButton2Body(kButton, false, {record}, {}));
    Place place;
    place.depth = 2;
    place.characterId = kButton;
    place.name = "btn";
    place.matrix = Matrix::translate(800, 0);
    movie.place2(place);
}

void runRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        ActionWriter a;
        call(a, "_root", "createEmptyMovieClip", {"box", 1});
        a.op(Op::Pop);
        row.code(a);
        MovieWriter movie(row.version);
        if (row.version >= 8)
            movie.fileAttributes();
        placeButton(movie);
        movie.doAction(a.end().bytes());
        movie.showFrame();
        movie.showFrame();
        const std::string got = joined(scriptrun::traces(movie));
        if (got != row.expected)
            qWarning("row %s", row.name);
        QCOMPARE(QString::fromStdString(got), QString::fromUtf8(row.expected));
    }
}

} // namespace

class MovieClipMembersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void depthMethods();
    void timelineAndMovieMethods();
    void properties();
    void settingsOfSwf8();
    void buttons();
};

void MovieClipMembersTest::depthMethods()
{
    runRows({
        {"the main timeline's depth, the next free one and lookups", 8,
         [](ActionWriter& a) {
             traceCall(a, "_root", "getDepth", {});
             traceCall(a, "_root", "getNextHighestDepth", {});
             traceCall(a, "_root", "getInstanceAtDepth", {1.7});
             traceCall(a, "_root", "getInstanceAtDepth", {"1"});
             traceCall(a, "_root", "getInstanceAtDepth", {});
             traceCall(a, "_root", "getInstanceAtDepth", {5});
             traceCall(a, "box", "getNextHighestDepth", {});
         },
         "-16384\n2\n_level0.box\n_level0.box\nundefined\nundefined\n0"},
        {"the next free depth follows the highest, however high", 8,
         [](ActionWriter& a) {
             traceCall(a, "_root", "createEmptyMovieClip", {"big", 2130690044});
             traceCall(a, "_root", "getNextHighestDepth", {});
         },
         "_level0.big\n2130690045"},
        {"createEmptyMovieClip's depths: edges, fractions, text, NaN; names", 8,
         [](ActionWriter& a) {
             traceCall(a, "_root", "createEmptyMovieClip", {"lo", -16384});
             traceCall(a, "_root", "createEmptyMovieClip", {"lower", -16385});
             traceCall(a, "_root", "createEmptyMovieClip", {"frac", 3.9});
             traceCall(a, "frac", "getDepth", {});
             traceCall(a, "_root", "createEmptyMovieClip", {"str", "4"});
             traceCall(a, "str", "getDepth", {});
             traceCall(a, "_root", "createEmptyMovieClip", {"nan", "x"});
             traceCall(a, "nan", "getDepth", {});
             traceCall(a, "_root", "createEmptyMovieClip", {Undefined{}, 7});
             traceCall(a, "_root", "createEmptyMovieClip", {"only a name"});
         },
         "_level0.lo\nundefined\n_level0.frac\n3\n_level0.str\n4\n_level0.nan\n0\n"
         "_level0.undefined\nundefined"},
        {"a clip below depth 0 is not removed; swapDepths truncates", 8,
         [](ActionWriter& a) {
             traceCall(a, "box", "swapDepths", {-5.5});
             traceCall(a, "box", "getDepth", {});
             traceCall(a, "box", "removeMovieClip", {});
             show(a, "box");
             call(a, "box", "swapDepths", {3});
             a.op(Op::Pop);
             call(a, "box", "removeMovieClip", {});
             a.op(Op::Pop);
             a.push({"box"}).op(Op::GetVariable).op(Op::TypeOf).op(Op::Trace);
         },
         "undefined\n-5\nundefined\n_level0.box\nundefined"},
        {"swapDepths: nothing stays, a path naming nothing is depth 0, another parent's clip stays",
         8,
         [](ActionWriter& a) {
             call(a, "_root", "createEmptyMovieClip", {"other", 6});
             a.op(Op::Pop);
             call(a, "box", "createEmptyMovieClip", {"inner", 9});
             a.op(Op::Pop);
             call(a, "box", "swapDepths", {});
             a.op(Op::Pop);
             traceCall(a, "box", "getDepth", {});
             call(a, "box", "swapDepths", {"other"});
             a.op(Op::Pop);
             traceCall(a, "box", "getDepth", {});
             a.push({"box.inner"}).op(Op::GetVariable).push({1, "other"}).op(Op::GetVariable);
             a.push({"swapDepths"}).op(Op::CallMethod).op(Op::Pop);
             traceCall(a, "other", "getDepth", {});
         },
         "1\n0\n6"},
        {"depth methods on other objects answer nothing", 8,
         [](ActionWriter& a) {
             a.push({"o", 0}).op(Op::InitObject).op(Op::SetVariable);
             a.push({"o"}).op(Op::GetVariable).push({"f", "MovieClip"}).op(Op::GetVariable);
             a.push({"prototype"}).op(Op::GetMember).push({"getDepth"}).op(Op::GetMember);
             a.op(Op::SetMember);
             traceCall(a, "o", "f", {});
         },
         "undefined"},
    });
}

void MovieClipMembersTest::timelineAndMovieMethods()
{
    runRows({
        {"play, stop and the steps give nothing; an empty clip stays on frame 0", 8,
         [](ActionWriter& a) {
             traceCall(a, "box", "play", {});
             traceCall(a, "box", "stop", {});
             traceCall(a, "box", "gotoAndStop", {});
             traceCall(a, "box", "nextFrame", {});
             show(a, "box._currentframe");
             show(a, "box._totalframes");
             show(a, "box._framesloaded");
             show(a, "_root._totalframes");
         },
         "undefined\nundefined\nundefined\nundefined\n0\n1\n1\n2"},
        {"getSWFVersion is the version of the clip's movie", 6,
         [](ActionWriter& a) {
             traceCall(a, "box", "getSWFVersion", {});
             traceCall(a, "_root", "getSWFVersion", {"ignored"});
         },
         "6\n6"},
        {"the bytes of the movie and of an empty clip", 8,
         [](ActionWriter& a) {
             call(a, "_root", "getBytesLoaded", {});
             call(a, "_root", "getBytesTotal", {});
             a.op(Op::Equals2).op(Op::Trace);
             call(a, "_root", "getBytesTotal", {});
             a.push({0}).op(Op::Greater).op(Op::Trace);
             traceCall(a, "box", "getBytesTotal", {});
             traceCall(a, "box", "getBytesLoaded", {});
         },
         "true\ntrue\n0\n0"},
        {"attachAudio and getTextSnapshot exist", 8,
         [](ActionWriter& a) {
             traceCall(a, "box", "attachAudio", {false});
             call(a, "box", "getTextSnapshot", {});
             a.op(Op::TypeOf).op(Op::Trace);
         },
         "undefined\nobject"},
        {"hitTest without enough to go on is false", 8,
         [](ActionWriter& a) {
             traceCall(a, "box", "hitTest", {});
             traceCall(a, "box", "hitTest", {0});
             traceCall(a, "box", "hitTest", {"box"});
             traceCall(a, "box", "hitTest", {Undefined{}, 0, true});
         },
         "false\nfalse\nfalse\nfalse"},
        {"the prototype's members are hidden from for..in", 8,
         [](ActionWriter& a) {
             a.push({"MovieClip"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
             a.op(Op::Enumerate2).op(Op::TypeOf).op(Op::Trace);
         },
         "undefined"},
    });
}

void MovieClipMembersTest::properties()
{
    runRows({
        {"names, paths and parents", 8,
         [](ActionWriter& a) {
             for (const char* p : {"box._name", "box._target", "box._parent", "_root._parent",
                                   "box._root", "box._lockroot", "box._droptarget", "box._url"})
                 show(a, p);
         },
         "box\n/box\n_level0\nundefined\n_level0\nfalse\n\n"},
        {"_name renames, undefined too (SWF 7 on)", 8,
         [](ActionWriter& a) {
             set(a, "box", "_name", "other");
             show(a, "other._target");
             show(a, "box");
             set(a, "other", "_name", Undefined{});
             show(a, "_root.undefined");
         },
         "/other\nundefined\n_level0.undefined"},
        {"_width on a clip with nothing in it spoils its matrix until sized again", 8,
         [](ActionWriter& a) {
             const auto square = [&a](const std::string& clip) {
                 call(a, clip, "beginFill", {0});
                 a.op(Op::Pop);
                 call(a, clip, "lineTo", {10, 0});
                 a.op(Op::Pop);
                 call(a, clip, "lineTo", {10, 10});
                 a.op(Op::Pop);
                 call(a, clip, "lineTo", {0, 10});
                 a.op(Op::Pop);
                 call(a, clip, "endFill", {});
                 a.op(Op::Pop);
             };
             set(a, "box", "_width", 20);
             square("box");
             show(a, "box._width");
             show(a, "box._height");
             call(a, "_root", "createEmptyMovieClip", {"drawn", 2});
             a.op(Op::Pop);
             square("drawn");
             set(a, "drawn", "_width", 20);
             set(a, "drawn", "_height", "tall");
             show(a, "drawn._width");
             show(a, "drawn._height");
             // Sizes given once there is something to measure mend it.
             set(a, "box", "_width", 30);
             set(a, "box", "_height", 5);
             show(a, "box._width");
             show(a, "box._height");
         },
         "0\n0\n20\n10\n30\n5"},
        {"the player's settings, shared by every clip", 8,
         [](ActionWriter& a) {
             show(a, "box._soundbuftime");
             set(a, "box", "_soundbuftime", 10.7);
             show(a, "_root._soundbuftime");
             set(a, "box", "_soundbuftime", "x");
             show(a, "_root._soundbuftime");
             show(a, "box._highquality");
             show(a, "box._quality");
             set(a, "box", "_quality", "low");
             show(a, "_root._highquality");
             show(a, "_root._quality");
             set(a, "box", "_highquality", 2);
             show(a, "_root._quality");
             show(a, "box._focusrect");
         },
         "5\n10\n10\n1\nHIGH\n0\nLOW\nBEST\nnull"},
        {"the pointer's switches come from the prototype; focus ones are unset", 8,
         [](ActionWriter& a) {
             for (const char* p :
                  {"box.useHandCursor", "box.enabled", "box.focusEnabled", "box.tabEnabled",
                   "box.tabChildren", "box.tabIndex", "box.trackAsMenu", "box.hitArea", "box.menu"})
                 show(a, p);
             traceCall(a, "box", "hasOwnProperty", {"enabled"});
         },
         "true\ntrue\nundefined\nundefined\nundefined\nundefined\nundefined\nundefined\n"
         "undefined\nfalse"},
    });
}

void MovieClipMembersTest::settingsOfSwf8()
{
    runRows({
        {"their defaults", 8,
         [](ActionWriter& a) {
             for (const char* p : {"box.filters", "box.blendMode", "box.cacheAsBitmap",
                                   "box.opaqueBackground", "box.scrollRect", "box.scale9Grid"})
                 show(a, p);
         },
         "\nnormal\nfalse\nundefined\nundefined\nundefined"},
        {"none before SWF 8", 7,
         [](ActionWriter& a) {
             for (const char* p : {"box.filters", "box.blendMode", "box.cacheAsBitmap",
                                   "box.scale9Grid", "box.transform"})
                 show(a, p);
         },
         "undefined\nundefined\nundefined\nundefined\nundefined"},
        {"blend modes by number and by name, others ignored", 8,
         [](ActionWriter& a) {
             for (PushValue mode : std::vector<PushValue>{3, "bogus", "SCREEN", 15, 2.5, "add"}) {
                 set(a, "box", "blendMode", mode);
                 show(a, "box.blendMode");
             }
         },
         "multiply\nmultiply\nmultiply\nmultiply\nmultiply\nadd"},
        {"scale9Grid reads back a new Rectangle; a non-object takes it away", 8,
         [](ActionWriter& a) {
             a.push({"box"}).op(Op::GetVariable).push({"scale9Grid"});
             a.push({40, 30, 2, 1.5, 4, "flash"}).op(Op::GetVariable).push({"geom"});
             a.op(Op::GetMember).push({"Rectangle"}).op(Op::NewMethod).op(Op::SetMember);
             show(a, "box.scale9Grid");
             a.push({"box"}).op(Op::GetVariable).push({"scale9Grid"}).op(Op::GetMember);
             a.push({"box"}).op(Op::GetVariable).push({"scale9Grid"}).op(Op::GetMember);
             a.op(Op::StrictEquals).op(Op::Trace);
             set(a, "box", "scale9Grid", 5);
             show(a, "box.scale9Grid");
         },
         "(x=1.5, y=2, w=30, h=40)\nfalse\nundefined"},
    });
}

void MovieClipMembersTest::buttons()
{
    runRows({
        {"a button's members", 8,
         [](ActionWriter& a) {
             traceCall(a, "btn", "getDepth", {});
             for (const char* p :
                  {"btn._name", "btn._target", "btn._x", "btn._width", "btn.enabled",
                   "btn.useHandCursor", "btn.blendMode", "btn.cacheAsBitmap", "btn.scale9Grid",
                   "btn.filters", "btn.tabIndex"})
                 show(a, p);
             a.push({"btn"}).op(Op::GetVariable).push({"gotoAndPlay"}).op(Op::GetMember);
             a.op(Op::TypeOf).op(Op::Trace);
         },
         "-16382\nbtn\n/btn\n40\n10\ntrue\ntrue\nnormal\nfalse\nundefined\n\nundefined\n"
         "undefined"},
        {"a button's other properties: no frames, the player's settings, focus unset", 8,
         [](ActionWriter& a) {
             for (const char* p :
                  {"btn._focusrect", "btn.tabEnabled", "btn.menu", "btn._parent", "btn._quality",
                   "btn._soundbuftime", "btn._url", "btn._xmouse", "btn._rotation", "btn._visible",
                   "btn._alpha", "btn._currentframe", "btn._totalframes"})
                 show(a, p);
         },
         "null\nundefined\nundefined\n_level0\nHIGH\n5\n\n-40\n0\ntrue\n100\nundefined\n"
         "undefined"},
        {"trackAsMenu is the definition's flag until set, then any value's truth", 8,
         [](ActionWriter& a) {
             show(a, "btn.trackAsMenu");
             set(a, "btn", "trackAsMenu", "yes");
             show(a, "btn.trackAsMenu");
             set(a, "btn", "trackAsMenu", 0);
             show(a, "btn.trackAsMenu");
             show(a, "box.trackAsMenu");
         },
         "false\ntrue\nfalse\nundefined"},
        {"for..in lists Button.prototype's plain members, and nothing of a button", 8,
         [](ActionWriter& a) {
             a.push({"btn"}).op(Op::Enumerate2).op(Op::TypeOf).op(Op::Trace);
             a.push({"Button"}).op(Op::GetVariable).push({"prototype"}).op(Op::GetMember);
             a.op(Op::Enumerate2);
             for (int i = 0; i < 5; ++i)
                 a.op(Op::Trace);
         },
         "undefined\ntabIndex\nuseHandCursor\nenabled\ngetDepth\nundefined"},
        {"blendMode and the grid on a button", 8,
         [](ActionWriter& a) {
             set(a, "btn", "blendMode", "screen");
             show(a, "btn.blendMode");
             a.push({"btn"}).op(Op::GetVariable).push({"scale9Grid"});
             a.push({1, 1, 0, 0, 4, "flash"}).op(Op::GetVariable).push({"geom"});
             a.op(Op::GetMember).push({"Rectangle"}).op(Op::NewMethod).op(Op::SetMember);
             show(a, "btn.scale9Grid");
         },
         "screen\n(x=0, y=0, w=1, h=1)"},
        {"a button's getDepth on a clip gives nothing", 8,
         [](ActionWriter& a) {
             a.push({"box"}).op(Op::GetVariable).push({"g", "Button"}).op(Op::GetVariable);
             a.push({"prototype"}).op(Op::GetMember).push({"getDepth"}).op(Op::GetMember);
             a.op(Op::SetMember);
             traceCall(a, "box", "g", {});
         },
         "undefined"},
    });
}

QTEST_GUILESS_MAIN(MovieClipMembersTest)
#include "MovieClipMembersTest.moc"
