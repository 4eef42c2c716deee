// BitmapData's seeded methods: noise, perlinNoise and pixelDissolve
// (runtime/BitmapNoise.h does the pixels).
#include "BitmapDataMethods.h"
#include "NativeHelpers.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"
#include "runtime/BitmapNoise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace avm1 {

namespace {

namespace bitmap = runtime::bitmap;

std::int64_t seedArgument(Vm& vm, Value value)
{
    const double number = vm.toNumber(value);
    if (!std::isfinite(number))
        return 0;
    return static_cast<std::int64_t>(vm.toInt32(Value(number)));
}

// noise(randomSeed, low, high, channelOptions, grayScale)
Value noise(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 1)
        return Value(kTooFewArguments);
    bitmap::NoiseOptions options;
    options.seed = seedArgument(vm, call.arg(0));
    auto level = [&](std::size_t i, int fallback) {
        return static_cast<std::uint32_t>(
            std::clamp(i < call.count() ? vm.toInt32(call.arg(i)) : fallback, 0, 255));
    };
    options.low = level(1, 0);
    options.high = level(2, 255);
    options.channels = call.count() > 3 ? vm.toUint32(call.arg(3)) : 7;
    options.grayScale = vm.toBoolean(call.arg(4));
    if (vm.throwing())
        return Value();
    bitmap::noise(*target, options);
    return Value(0);
}

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise, channelOptions,
// grayScale, offsets)
Value perlinNoise(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* target = thisBitmap(call);
    if (!target || call.count() < 6)
        return Value(kTooFewArguments);
    bitmap::PerlinOptions options;
    options.baseX = vm.toNumber(call.arg(0));
    options.baseY = vm.toNumber(call.arg(1));
    options.octaves = std::min(vm.toInt32(call.arg(2)), limits::kMaxPerlinOctaves);
    options.seed = seedArgument(vm, call.arg(3));
    options.stitch = vm.toBoolean(call.arg(4));
    options.fractal = vm.toBoolean(call.arg(5));
    options.channels = call.count() > 6 ? vm.toUint32(call.arg(6)) : 7;
    options.grayScale = vm.toBoolean(call.arg(7));
    std::vector<double> offsets;
    if (Object* array = call.arg(8).objectOrNull()) {
        const std::vector<Value> points =
            elementsOf(vm, array, static_cast<std::size_t>(std::max(options.octaves, 0)));
        for (const Value& point : points) {
            Object* p = point.objectOrNull();
            offsets.push_back(p ? vm.toNumber(vm.getMember(p, "x")) : 0);
            offsets.push_back(p ? vm.toNumber(vm.getMember(p, "y")) : 0);
        }
    }
    if (vm.throwing())
        return Value();
    options.offsets = offsets;
    bitmap::perlinNoise(*target, options);
    return Value(0);
}

// pixelDissolve(source, sourceRect, destPoint, randomSeed, numPixels, fillColor): the
// seed for the next call.
Value pixelDissolve(Vm& vm, const CallArgs& call)
{
    const CopyArguments args = readCopyArguments(vm, call, 5);
    if (args.failure != 0)
        return Value(args.failure);
    const std::int64_t seed = seedArgument(vm, call.arg(3));
    const std::int64_t count = vm.toInt32(call.arg(4));
    const std::uint32_t fill = call.count() > 5 ? vm.toUint32(call.arg(5)) : 0;
    if (vm.throwing())
        return Value();
    return Value(static_cast<double>(bitmap::pixelDissolve(
        *args.target, *args.source, args.rect, args.dest.x, args.dest.y, seed, count, fill)));
}

} // namespace

void installBitmapDataEffects(Vm& vm, Object* proto)
{
    vm.defineMethods(proto, {
                                {"noise", noise},
                                {"perlinNoise", perlinNoise},
                                {"pixelDissolve", pixelDissolve},
                            });
}

} // namespace avm1
