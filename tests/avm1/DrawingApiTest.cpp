// MovieClip's drawing API and setMask as scripts use them: bounds and sizes of what they
// draw, hit tests on it, clear(), which gradient arguments draw, duplicates, masks, and
// the cap on what one clip may draw. Each case is a movie whose frame script traces.
#include "ScriptRun.h"
#include "runtime/Limits.h"

#include <QtTest>
#include <functional>

using namespace swfwriter;
using scriptrun::joined;

namespace {

struct Script {
    ActionWriter a;

    // object.method(args), the arguments given as values; the result left on the stack.
    Script& call(const std::string& object, const std::string& method,
                 const std::vector<PushValue>& args)
    {
        std::vector<PushValue> pushed(args.rbegin(), args.rend());
        pushed.emplace_back(static_cast<int>(args.size()));
        pushed.emplace_back(object);
        a.push(pushed).op(Op::GetVariable).push({method}).op(Op::CallMethod);
        return *this;
    }
    // The same, its result dropped.
    Script& run(const std::string& object, const std::string& method,
                const std::vector<PushValue>& args = {})
    {
        call(object, method, args).a.op(Op::Pop);
        return *this;
    }
    // object.method(args) whose arguments `pushArgs` pushes, last first; result dropped.
    Script& runWith(const std::string& object, const std::string& method, int count,
                    const std::function<void(ActionWriter&)>& pushArgs)
    {
        pushArgs(a);
        a.push({count, object}).op(Op::GetVariable).push({method}).op(Op::CallMethod).op(Op::Pop);
        return *this;
    }
    Script& member(const std::string& name)
    {
        a.push({name}).op(Op::GetMember);
        return *this;
    }
    Script& trace()
    {
        a.op(Op::Trace);
        return *this;
    }
    // trace(object.method(args)[.name])
    Script& traceCall(const std::string& object, const std::string& method,
                      const std::vector<PushValue>& args, const std::string& name = {})
    {
        call(object, method, args);
        if (!name.empty())
            member(name);
        return trace();
    }
    Script& traceProperty(const std::string& object, const std::string& name)
    {
        a.push({object}).op(Op::GetVariable);
        return member(name).trace();
    }
    // name = _root.createEmptyMovieClip(name, depth)
    Script& clip(const std::string& name, int depth)
    {
        a.push({name, depth, name, 2, "_root"}).op(Op::GetVariable);
        a.push({"createEmptyMovieClip"}).op(Op::CallMethod).op(Op::SetVariable);
        return *this;
    }
    Script& square(const std::string& object, int x, int y, int size)
    {
        run(object, "moveTo", {x, y});
        run(object, "lineTo", {x + size, y});
        run(object, "lineTo", {x + size, y + size});
        run(object, "lineTo", {x, y + size});
        return run(object, "lineTo", {x, y});
    }
};

// Pushes [values] as InitArray makes it.
void pushArray(ActionWriter& a, const std::vector<PushValue>& values)
{
    std::vector<PushValue> pushed(values.rbegin(), values.rend());
    pushed.emplace_back(static_cast<int>(values.size()));
    a.push(pushed).op(Op::InitArray);
}

// beginGradientFill(type, [red, blue], [100, 100], ratios, box 100 px square).
void gradientArgs(ActionWriter& a, PushValue type, const std::vector<PushValue>& ratios)
{
    a.push({"matrixType", "box", "x", 0, "y", 0, "w", 100, "h", 100, "r", 0, 6}).op(Op::InitObject);
    pushArray(a, ratios);
    pushArray(a, {100, 100});
    pushArray(a, {0xFF0000, 0x0000FF});
    a.push({type});
}

struct Case {
    const char* name;
    std::function<void(Script&)> script;
    const char* expected;
};

void runCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        Script s;
        c.script(s);
        const std::string got = joined(scriptrun::run(8, s.a));
        QVERIFY2(got == c.expected, (std::string(c.name) + ": got\n" + got).c_str());
    }
}

} // namespace

class DrawingApiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boundsAndClear();
    void hitTests();
    void gradientArguments();
    void masks();
    void capIsReported();
};

void DrawingApiTest::boundsAndClear()
{
    runCases({
        {"a line's width around its ends; getRect without it; clear empties",
         [](Script& s) {
             s.clip("c", 1);
             s.run("c", "lineStyle", {20});
             s.run("c", "moveTo", {100, 100}).run("c", "lineTo", {200, 200});
             s.traceCall("c", "getBounds", {}, "xMin").traceCall("c", "getBounds", {}, "yMax");
             s.traceProperty("c", "_width").traceCall("c", "getRect", {}, "xMin");
             s.run("c", "clear");
             s.traceCall("c", "getBounds", {}, "xMin").traceProperty("c", "_width");
         },
         "80\n220\n140\n100\n6710886.35\n0"},
        {"lineTo without moveTo starts at the origin; no line style draws nothing",
         [](Script& s) {
             s.clip("c", 1);
             s.run("c", "lineTo", {300, 300});
             s.traceCall("c", "getBounds", {}, "xMax");
             s.run("c", "lineStyle", {0}).run("c", "lineTo", {350, 330});
             s.traceCall("c", "getBounds", {}, "xMin").traceCall("c", "getBounds", {}, "yMax");
         },
         "6710886.35\n300\n330"},
        {"a duplicate gets a copy of the drawing",
         [](Script& s) {
             s.clip("c", 1);
             s.run("c", "beginFill", {0xFF0000}).square("c", 0, 0, 100).run("c", "endFill");
             s.run("c", "duplicateMovieClip", {"d", 2});
             s.traceProperty("d", "_width");
             s.run("d", "lineStyle", {0}).run("d", "lineTo", {300, 0});
             s.traceProperty("d", "_width").traceProperty("c", "_width");
         },
         "100\n300\n100"},
    });
}

void DrawingApiTest::hitTests()
{
    runCases({
        {"fills by the even-odd rule, bounds without the shape flag, nothing after clear",
         [](Script& s) {
             s.clip("c", 1);
             s.run("c", "beginFill", {0x00FF00, 50});
             s.square("c", 0, 0, 100).square("c", 25, 25, 50).run("c", "endFill");
             s.traceCall("c", "hitTest", {10, 10, true});
             s.traceCall("c", "hitTest", {50, 50, true});
             s.traceCall("c", "hitTest", {50, 50, false});
             s.traceCall("c", "hitTest", {150, 50, true});
             s.run("c", "clear");
             s.traceCall("c", "hitTest", {10, 10, true});
         },
         "true\nfalse\ntrue\nfalse\nfalse"},
        {"an open fill is closed, and lines are hit along their width",
         [](Script& s) {
             s.clip("c", 1);
             s.run("c", "beginFill", {0xFF});
             s.run("c", "lineTo", {100, 0}).run("c", "lineTo", {100, 100});
             s.traceCall("c", "hitTest", {80, 20, true});
             s.traceCall("c", "hitTest", {20, 80, true});
             s.run("c", "lineStyle", {10}).run("c", "moveTo", {200, 0});
             s.run("c", "lineTo", {300, 0});
             s.traceCall("c", "hitTest", {250, 4, true});
             s.traceCall("c", "hitTest", {250, 20, true});
         },
         "true\nfalse\ntrue\nfalse"},
        {"a bitmap fill is hit and measured as other fills; without a bitmap, no fill",
         [](Script& s) {
             s.clip("c", 1);
             s.a.push({"bmp", 0xFFFFFF, false, 4, 4, 4, "flash"}).op(Op::GetVariable);
             s.a.push({"display"}).op(Op::GetMember).push({"BitmapData"}).op(Op::NewMethod);
             s.a.op(Op::SetVariable);
             s.a.push({"bmp"}).op(Op::GetVariable).push({1, "c"}).op(Op::GetVariable);
             s.a.push({"beginBitmapFill"}).op(Op::CallMethod).op(Op::Pop);
             s.square("c", 0, 0, 100).run("c", "endFill");
             s.traceCall("c", "hitTest", {50, 50, true});
             s.traceCall("c", "hitTest", {150, 50, true});
             s.traceCall("c", "getBounds", {}, "xMax");
             s.clip("d", 2);
             s.run("d", "beginBitmapFill", {5}).square("d", 0, 0, 100).run("d", "endFill");
             s.traceCall("d", "hitTest", {50, 50, true});
         },
         "true\nfalse\n100\nfalse"},
    });
}

void DrawingApiTest::gradientArguments()
{
    // Whether the square below is filled tells whether the call before began a fill.
    auto filled = [](std::function<void(Script&)> begin) {
        return [begin](Script& s) {
            s.clip("c", 1);
            begin(s);
            s.square("c", 0, 0, 100).run("c", "endFill");
            s.traceCall("c", "hitTest", {50, 50, true});
        };
    };
    runCases({
        {"linear and radial", filled([](Script& s) {
             s.runWith("c", "beginGradientFill", 5, [](ActionWriter& a) {
                 gradientArgs(a, "radial", {0, 255});
             });
         }),
         "true"},
        {"types are case-sensitive", filled([](Script& s) {
             s.runWith("c", "beginGradientFill", 5, [](ActionWriter& a) {
                 gradientArgs(a, "LINEAR", {0, 255});
             });
         }),
         "false"},
        {"a ratio past 255 spoils the gradient", filled([](Script& s) {
             s.runWith("c", "beginGradientFill", 5, [](ActionWriter& a) {
                 gradientArgs(a, "linear", {0, 256});
             });
         }),
         "false"},
        {"arrays of different lengths", filled([](Script& s) {
             s.runWith("c", "beginGradientFill", 5,
                       [](ActionWriter& a) { gradientArgs(a, "linear", {0}); });
         }),
         "false"},
        {"a call that describes no gradient keeps the fill in use", filled([](Script& s) {
             s.run("c", "beginFill", {0xFF});
             s.runWith("c", "beginGradientFill", 4, [](ActionWriter& a) {
                 pushArray(a, {0, 255});
                 pushArray(a, {100, 100});
                 pushArray(a, {0, 0xFF});
                 a.push({"linear"});
             });
         }),
         "true"},
        {"undefined as the type ends the fill", filled([](Script& s) {
             s.run("c", "beginFill", {0xFF});
             s.run("c", "beginGradientFill", {Undefined{}});
         }),
         "false"},
        {"beginFill without a colour ends it too",
         filled([](Script& s) { s.run("c", "beginFill", {0xFF}).run("c", "beginFill"); }), "false"},
    });
}

void DrawingApiTest::masks()
{
    runCases({
        {"setMask's results, and hit tests through the mask",
         [](Script& s) {
             s.clip("c", 1).clip("m", 2);
             s.run("c", "beginFill", {0xFF0000}).square("c", 0, 0, 100).run("c", "endFill");
             s.run("m", "beginFill", {0xFF}).square("m", 0, 0, 50).run("m", "endFill");
             s.traceCall("c", "setMask", {});
             s.traceCall("c", "setMask", {"nothing"});
             s.traceCall("c", "hitTest", {75, 75, true});
             s.a.push({"m"}).op(Op::GetVariable);
             s.a.push({1, "c"}).op(Op::GetVariable).push({"setMask"}).op(Op::CallMethod);
             s.trace();
             s.traceCall("c", "hitTest", {75, 75, true});
             s.traceCall("c", "hitTest", {25, 25, true});
             s.traceCall("m", "hitTest", {25, 25, true});
             s.traceCall("c", "setMask", {"m"});
             s.traceCall("c", "setMask", {nullptr});
             s.traceCall("c", "hitTest", {75, 75, true});
             s.traceCall("m", "hitTest", {25, 25, true});
         },
         "undefined\nfalse\ntrue\ntrue\nfalse\ntrue\nfalse\ntrue\ntrue\ntrue\ntrue"},
    });
}

void DrawingApiTest::capIsReported()
{
    // moveTo until the clip holds all it may, then a line: it is refused, and said so.
    Script s;
    s.clip("c", 1);
    s.a.push({"c"}).op(Op::GetVariable).storeRegister(2).op(Op::Pop);
    s.a.push({0}).storeRegister(1).op(Op::Pop);
    const auto loop = s.a.label();
    s.a.bind(loop);
    s.a.push({0, 0, 2, Register{2}, "moveTo"}).op(Op::CallMethod).op(Op::Pop);
    s.a.push({Register{1}}).op(Op::Increment).storeRegister(1);
    s.a.push({static_cast<double>(runtime::limits::kMaxDrawingCommands)})
        .op(Op::Less2)
        .ifTrue(loop);
    s.run("c", "lineStyle", {0});
    s.run("c", "lineTo", {100, 100});
    s.traceCall("c", "getBounds", {}, "xMax");
    std::vector<std::string> diagnostics;
    scriptrun::Options options;
    options.diagnostics = &diagnostics;
    QCOMPARE(QString::fromStdString(joined(scriptrun::run(8, s.a, options))),
             QString("6710886.35"));
    QVERIFY(std::any_of(diagnostics.begin(), diagnostics.end(), [](const std::string& line) {
        return line.find("lineTo refused") != std::string::npos;
    }));
}

QTEST_GUILESS_MAIN(DrawingApiTest)
#include "DrawingApiTest.moc"
