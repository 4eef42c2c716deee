// Frame times of script-driven drawing at 1920x1080: 500 clips, each moved by its
// onEnterFrame and redrawing its shape with the drawing API every frame (a different
// shape each frame, so nothing drawn before can be reused). Measured beside the same
// frames drawn without scripts: their draw lists, recorded, rendered again by a fresh
// renderer. Prints the medians beside the goal.
#include "ActionWriter.h"
#include "avm1/Engine.h"
#include "render/StageRenderer.h"
#include "runtime/MoviePlayer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace swfwriter;

namespace {

constexpr int kClips = 500;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kWarmFrames = 10;
constexpr int kFrames = 120;
constexpr double kGoalMs = 16;

class QuietHost : public runtime::Host {};

// this.method(args...) with the arguments already pushed, last first; the result dropped.
void callOnThis(ActionWriter& a, const char* method, int count)
{
    a.push({count, Register{1}, method}).op(Op::CallMethod).op(Op::Pop);
}

// this.name = (this.name + this.step) % limit
void advance(ActionWriter& a, const char* name, const char* step, int limit)
{
    a.push({Register{1}, name, Register{1}, name}).op(Op::GetMember);
    a.push({Register{1}, step}).op(Op::GetMember).op(Op::Add2);
    a.push({limit}).op(Op::Modulo).op(Op::SetMember);
}

// onEnterFrame: moves the clip and draws a filled, outlined shape. With `changing`, a
// corner follows a counter, so that every frame's drawing differs from the last;
// without, each frame draws the same shape again, as most movies do.
ActionWriter enterFrame(bool changing)
{
    ActionWriter a;
    advance(a, "_x", "vx", kWidth - 40);
    advance(a, "_y", "vy", kHeight - 40);
    a.push({Register{1}, "t", Register{1}, "t"}).op(Op::GetMember);
    a.push({1}).op(Op::Add2).op(Op::SetMember);
    callOnThis(a, "clear", 0);
    a.push({100, 0x202020, 2});
    callOnThis(a, "lineStyle", 3);
    a.push({80, Register{1}, "c"}).op(Op::GetMember);
    callOnThis(a, "beginFill", 2);
    a.push({0, 0});
    callOnThis(a, "moveTo", 2);
    a.push({Register{1}, "t"}).op(Op::GetMember).push({changing ? 20 : 1}).op(Op::Modulo);
    a.push({30});
    callOnThis(a, "lineTo", 2);
    a.push({40, 20, 30, 40});
    callOnThis(a, "curveTo", 4);
    a.push({30, 0});
    callOnThis(a, "lineTo", 2);
    a.push({15, 10});
    callOnThis(a, "lineTo", 2);
    callOnThis(a, "endFill", 0);
    return a;
}

// Frame 1: makes the clips, places and colours them, and gives each the handler.
ActionWriter makeClips(bool changing)
{
    ActionWriter a;
    a.defineFunction2("", 2,
                      FunctionFlag::PreloadThis | FunctionFlag::SuppressArguments |
                          FunctionFlag::SuppressSuper,
                      {}, enterFrame(changing));
    a.storeRegister(3).op(Op::Pop);
    a.push({0}).storeRegister(1).op(Op::Pop);
    const auto loop = a.label();
    a.bind(loop);
    a.push({Register{1}, "c", Register{1}}).op(Op::Add2);
    a.push({2, "_root"}).op(Op::GetVariable).push({"createEmptyMovieClip"}).op(Op::CallMethod);
    a.storeRegister(2).op(Op::Pop);
    auto set = [&](const char* name, int multiplier, int modulo, int offset) {
        a.push({Register{2}, name, Register{1}, multiplier}).op(Op::Multiply);
        a.push({modulo}).op(Op::Modulo).push({offset}).op(Op::Add2).op(Op::SetMember);
    };
    set("_x", 37, kWidth - 40, 0);
    set("_y", 53, kHeight - 40, 0);
    set("vx", 1, 5, 1);
    set("vy", 1, 3, 1);
    set("c", 1037173, 0xFFFFFF, 0);
    set("t", 1, 1000, 0);
    a.push({Register{2}, "onEnterFrame", Register{3}}).op(Op::SetMember);
    a.push({Register{1}}).op(Op::Increment).storeRegister(1);
    a.push({kClips}).op(Op::Less2).ifTrue(loop);
    return a;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void run(bool changing, const QString& savePath)
{
    MovieWriter writer(8, kWidth, kHeight, 30);
    writer.fileAttributes();
    const ActionWriter frame = makeClips(changing);
    addScriptFrames(writer, std::span<const ActionWriter>(&frame, 1));
    auto movie = swf::loadMovie(writer.bytes());
    if (!movie) {
        std::fprintf(stderr, "the benchmark movie did not load: %s\n",
                     movie.error().message().c_str());
        std::exit(1);
    }
    QuietHost host;
    runtime::MoviePlayer player(*movie, host);
    avm1::Engine engine(player, host);
    engine.vm().setTimeBudget(1e9);
    player.runActions();

    const QTransform view =
        QTransform::fromScale(1.0 / swf::Twips::kPerPixel, 1.0 / swf::Twips::kPerPixel);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    render::StageRenderer renderer;
    std::vector<double> stepMs, listMs, renderMs, totalMs, compileMs, paintMs;
    std::vector<runtime::DrawList> lists;
    for (int n = 0; n < kWarmFrames + kFrames; ++n) {
        QElapsedTimer timer;
        timer.start();
        player.advance();
        const qint64 stepped = timer.nsecsElapsed();
        runtime::DrawList list = player.buildDrawList();
        const qint64 listed = timer.nsecsElapsed();
        renderer.render(list, image, view, render::Quality::High);
        const qint64 drawn = timer.nsecsElapsed();
        if (n < kWarmFrames)
            continue;
        stepMs.push_back(stepped / 1e6);
        listMs.push_back((listed - stepped) / 1e6);
        renderMs.push_back((drawn - listed) / 1e6);
        compileMs.push_back(renderer.lastFrameStats().compileMs);
        paintMs.push_back(renderer.lastFrameStats().paintMs);
        totalMs.push_back(drawn / 1e6);
        lists.push_back(std::move(list));
    }

    // The same frames without scripts: only their drawing, by a renderer of its own.
    render::StageRenderer replay;
    QImage replayed(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> replayMs;
    for (int n = 0; n < kWarmFrames; ++n)
        replay.render(lists[std::size_t(n)], replayed, view, render::Quality::High);
    for (const runtime::DrawList& list : lists) {
        QElapsedTimer timer;
        timer.start();
        replay.render(list, replayed, view, render::Quality::High);
        replayMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    if (!savePath.isEmpty())
        image.save(savePath);
    const double total = median(totalMs);
    std::printf("%d clips redrawn by script every frame, %s, %dx%d, %d frames (medians)\n", kClips,
                changing ? "a new shape each frame" : "the same shape again", kWidth, kHeight,
                kFrames);
    std::printf("  scripts + drawing, whole frame   %7.2f ms/frame   goal <= %.0f ms  %s\n", total,
                kGoalMs, total <= kGoalMs ? "met" : "MISSED");
    std::printf("    of which scripts %.2f ms, draw list %.2f ms, rendering %.2f ms (paint items "
                "%.2f ms, pixels %.2f ms)\n",
                median(stepMs), median(listMs), median(renderMs), median(compileMs),
                median(paintMs));
    std::printf("  same frames without scripts      %7.2f ms/frame (rendering alone)\n",
                median(replayMs));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // "save FILE" writes the last frame of the changing scene, to look at.
    const QString savePath = argc == 3 && QLatin1String(argv[1]) == QLatin1String("save")
                                 ? QString::fromLocal8Bit(argv[2])
                                 : QString();
    run(true, savePath);
    run(false, QString());
    return 0;
}
