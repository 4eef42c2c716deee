// Scripts' bitmaps at 1024 x 1024: fillRect, copyPixels (a plain copy and a blend over
// what is there) and draw of one bitmap into another, called as scripts call them, beside
// their goal of 2 ms each; and, for reference, a draw scaled and smoothed through the
// renderer, which has no goal.
#include "avm1/Vm.h"
#include "render/ScriptRasterizer.h"
#include "runtime/BitmapData.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSide = 1024;
constexpr int kRuns = 60;
constexpr double kGoalMs = 2.0;

double medianMs(const std::function<void()>& work)
{
    work(); // warm caches and pages
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, double ms, bool hasGoal = true)
{
    if (hasGoal)
        std::printf("%-44s %7.3f ms  (goal <= %.1f ms: %s)\n", what, ms, kGoalMs,
                    ms <= kGoalMs ? "met" : "MISSED");
    else
        std::printf("%-44s %7.3f ms\n", what, ms);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv); // the renderer's fonts and images want one

    avm1::Vm vm(10);
    auto get = [&](avm1::Value target, const char* name) {
        return vm.getMember(target, vm.str(name));
    };
    const avm1::Value bitmapClass =
        get(get(get(avm1::Value(vm.global()), "flash"), "display"), "BitmapData");
    auto make = [&](bool transparent, double fill) {
        const avm1::Value args[] = {avm1::Value(kSide), avm1::Value(kSide),
                                    avm1::Value(transparent), avm1::Value(fill)};
        return vm.construct(bitmapClass, args);
    };
    const avm1::Value target = make(true, 0xFF102030);
    const avm1::Value source = make(true, 0x80C08040);
    const avm1::Value rect = get(target, "rectangle");
    const avm1::Value origin =
        vm.construct(get(get(get(avm1::Value(vm.global()), "flash"), "geom"), "Point"), {});
    auto call = [&](avm1::Value self, const char* method, std::vector<avm1::Value> args) {
        vm.callMethod(self, vm.str(method), args);
    };

    std::printf("Bitmaps of %d x %d, median of %d runs\n", kSide, kSide, kRuns);
    report("fillRect, whole bitmap", medianMs([&] {
               call(target, "fillRect", {rect, avm1::Value(double(0x80FF0000u))});
           }));
    report("copyPixels, plain copy", medianMs([&] {
               call(target, "copyPixels", {source, rect, origin});
           }));
    report("copyPixels, mergeAlpha", medianMs([&] {
               call(target, "copyPixels",
                    {source, rect, origin, avm1::Value::null(), avm1::Value::null(),
                     avm1::Value(true)});
           }));
    report("draw, another bitmap at its place", medianMs([&] { call(target, "draw", {source}); }));

    // The renderer's path: scaled by 0.75 and smoothed, as draw sends a transformed bitmap.
    render::ScriptRasterizer rasterizer;
    runtime::BitmapData into(kSide, kSide, true, 0xFF102030u);
    runtime::BitmapData from(kSide, kSide, true, 0x80C08040u);
    const std::shared_ptr<const swf::Bitmap> pixels = from.snapshot();
    runtime::DrawList list;
    runtime::DrawCommand command;
    command.bitmap = pixels.get();
    command.smoothing = true;
    command.matrix = swf::Matrix::scale(0.75, 0.75);
    list.commands.push_back(command);
    report("draw, scaled 0.75 and smoothed (renderer)",
           medianMs([&] { rasterizer.drawList(into, list, into.rect(), true); }), false);
    return 0;
}
