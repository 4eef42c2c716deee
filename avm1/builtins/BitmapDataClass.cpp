// flash.display.BitmapData: the constructor, width, height, transparent and rectangle,
// the pixel accessors, clone, dispose and loadBitmap. The methods answer as the
// reference's do: -1 when called with too few arguments or on a disposed bitmap, other
// negative numbers for an argument of the wrong kind (BitmapDataMethods.h), and new
// BitmapData gives undefined for a size it refuses.
#include "BitmapDataMethods.h"
#include "BitmapDataObject.h"
#include "GeomObjects.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "avm1/ClipObject.h"
#include "avm1/Interpreter.h"
#include "avm1/Vm.h"
#include "runtime/DisplayObject.h"
#include "runtime/Limits.h"

#include <cmath>

namespace avm1 {

std::size_t BitmapDataState::extraBytes() const
{
    return bitmap ? static_cast<std::size_t>(bitmap->width()) * bitmap->height() * 4 : 0;
}

runtime::BitmapDataPtr sharedBitmapDataOf(Value value)
{
    Object* object = value.objectOrNull();
    auto* state = object ? dynamic_cast<BitmapDataState*>(object->nativeState()) : nullptr;
    return state ? state->bitmap : nullptr;
}

runtime::BitmapData* bitmapDataOf(Value value)
{
    Object* object = value.objectOrNull();
    auto* state = object ? dynamic_cast<BitmapDataState*>(object->nativeState()) : nullptr;
    return state ? state->bitmap.get() : nullptr;
}

runtime::BitmapData* liveBitmapDataOf(Value value)
{
    runtime::BitmapData* bitmap = bitmapDataOf(value);
    return bitmap && !bitmap->disposed() ? bitmap : nullptr;
}

Object* makeBitmapData(Vm& vm, Object* prototype, runtime::BitmapDataPtr bitmap)
{
    Object* object = vm.makeObject(prototype);
    markConstructed(vm, object, vm.getMember(prototype, vm.names().constructor).objectOrNull());
    object->setNativeState(vm.heap().make<BitmapDataState>(std::move(bitmap)));
    return object;
}

int pixelNumber(Vm& vm, Value value)
{
    return vm.toInt32(value);
}

std::optional<runtime::PixelRect> readPixelRect(Vm& vm, Value value)
{
    Object* object = value.objectOrNull();
    if (!object)
        return std::nullopt;
    const char* names[] = {"x", "y", "width", "height"};
    int parts[4] = {};
    for (int i = 0; i < 4; ++i) {
        const Value part = vm.getMember(object, names[i]);
        if (vm.throwing() || part.isUndefined())
            return std::nullopt;
        parts[i] = pixelNumber(vm, part);
        if (vm.throwing())
            return std::nullopt;
    }
    return runtime::PixelRect{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<PixelPoint> readStrictPixelPoint(Vm& vm, Value value)
{
    Object* object = value.objectOrNull();
    if (!object)
        return std::nullopt;
    const Value x = vm.getMember(object, "x");
    const Value y = vm.getMember(object, "y");
    if (vm.throwing() || x.isUndefined() || y.isUndefined())
        return std::nullopt;
    return PixelPoint{pixelNumber(vm, x), pixelNumber(vm, y)};
}

PixelPoint readPixelPoint(Vm& vm, Value value)
{
    Object* object = value.objectOrNull();
    if (!object)
        return {};
    PixelPoint point;
    point.x = pixelNumber(vm, vm.getMember(object, "x"));
    point.y = pixelNumber(vm, vm.getMember(object, "y"));
    return point;
}

runtime::DisplayObject* scriptClip(Vm& vm)
{
    Interpreter& interpreter = vm.interpreter();
    for (Object* candidate : {interpreter.current() ? interpreter.current()->target : nullptr,
                              interpreter.rootClip()}) {
        ClipObject* clip = asClip(candidate);
        if (ClipObject* live = clip ? clip->live() : nullptr)
            if (runtime::DisplayObject* object = live->displayObject())
                return object;
    }
    return nullptr;
}

runtime::BitmapData* thisBitmap(const CallArgs& call)
{
    return liveBitmapDataOf(call.thisValue);
}

CopyArguments readCopyArguments(Vm& vm, const CallArgs& call, std::size_t minCount)
{
    CopyArguments args;
    args.target = thisBitmap(call);
    if (!args.target || call.count() < minCount) {
        args.failure = kTooFewArguments;
        return args;
    }
    args.source = bitmapDataOf(call.arg(0));
    if (!args.source || args.source->disposed()) {
        args.failure = args.source ? -3 : -2;
        return args;
    }
    const auto rect = readPixelRect(vm, call.arg(1));
    if (!rect) {
        args.failure = -4;
        return args;
    }
    args.rect = *rect;
    args.dest = readPixelPoint(vm, call.arg(2));
    return args;
}

bool allowBitmap(Vm& vm, int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (vm.swfVersion() <= 9)
        return width <= runtime::limits::kMaxBitmapSideSwf9 &&
               height <= runtime::limits::kMaxBitmapSideSwf9;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (width > runtime::limits::kMaxBitmapSide || height > runtime::limits::kMaxBitmapSide ||
        pixels > runtime::limits::kMaxBitmapPixels)
        return false;
    // Bitmaps nothing holds any more may still wait for the collector.
    const auto live = [&] { return runtime::BitmapData::livePixels() + std::uint64_t(pixels); };
    if (live() > runtime::limits::kMaxLiveBitmapPixels && !vm.inNativeCode())
        vm.collectNow();
    if (live() > runtime::limits::kMaxLiveBitmapPixels) {
        vm.log("BitmapData refused: the bitmaps alive would pass their cap");
        return false;
    }
    return true;
}

namespace {

// Made by new BitmapData(width, height, transparent, fillColor), or by super() from a
// subclass on its own fresh object.
runtime::BitmapDataPtr bitmapFromArguments(Vm& vm, const CallArgs& call)
{
    if (call.count() < 2)
        return nullptr;
    const double w = vm.toNumber(call.arg(0));
    const double h = vm.toNumber(call.arg(1));
    if (vm.throwing() || !std::isfinite(w) || !std::isfinite(h))
        return nullptr;
    const int width = vm.toInt32(Value(w));
    const int height = vm.toInt32(Value(h));
    const bool transparent = call.count() < 3 || vm.toBoolean(call.arg(2));
    const std::uint32_t fill = call.count() < 4 ? 0xFFFFFFFFu : vm.toUint32(call.arg(3));
    if (vm.throwing() || !allowBitmap(vm, width, height))
        return nullptr;
    return std::make_shared<runtime::BitmapData>(width, height, transparent, fill);
}

Value constructOnThis(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    if (!self)
        return Value();
    // The arguments are converted either way; an object that already holds a native
    // part (a second super() call) keeps it.
    if (runtime::BitmapDataPtr bitmap = bitmapFromArguments(vm, call);
        bitmap && !self->nativeState())
        self->setNativeState(vm.heap().make<BitmapDataState>(std::move(bitmap)));
    return Value();
}

Value constructNew(Vm& vm, const CallArgs& call)
{
    runtime::BitmapDataPtr bitmap = bitmapFromArguments(vm, call);
    if (!bitmap)
        return Value();
    Object* proto = instancePrototype(vm, call, dataObjectOr(call, nullptr));
    if (!proto)
        return Value();
    Object* self = vm.makeObject(proto);
    markConstructed(vm, self, call.callee);
    self->setNativeState(vm.heap().make<BitmapDataState>(std::move(bitmap)));
    return Value(self);
}

// --- Properties: -1 once disposed ----------------------------------------------------

Value getWidth(Vm&, const CallArgs& call)
{
    runtime::BitmapData* bitmap = bitmapDataOf(call.thisValue);
    if (!bitmap)
        return Value();
    return bitmap->disposed() ? Value(-1) : Value(bitmap->width());
}

Value getHeight(Vm&, const CallArgs& call)
{
    runtime::BitmapData* bitmap = bitmapDataOf(call.thisValue);
    if (!bitmap)
        return Value();
    return bitmap->disposed() ? Value(-1) : Value(bitmap->height());
}

Value getTransparent(Vm&, const CallArgs& call)
{
    runtime::BitmapData* bitmap = bitmapDataOf(call.thisValue);
    if (!bitmap)
        return Value();
    return bitmap->disposed() ? Value(-1) : Value(bitmap->transparent());
}

Value getRectangle(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = bitmapDataOf(call.thisValue);
    Object* proto = dataObjectOr(call, nullptr);
    if (!bitmap || !proto)
        return Value();
    if (bitmap->disposed())
        return Value(-1);
    return Value(makeRectangle(vm, proto, 0, 0, bitmap->width(), bitmap->height()));
}

// --- Pixels --------------------------------------------------------------------------

Value getPixel(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap || call.count() < 2)
        return Value(kTooFewArguments);
    const int x = pixelNumber(vm, call.arg(0));
    const int y = pixelNumber(vm, call.arg(1));
    return Value(static_cast<double>(bitmap->argbAt(x, y) & 0xFFFFFF));
}

Value getPixel32(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap || call.count() < 2)
        return Value(kTooFewArguments);
    const int x = pixelNumber(vm, call.arg(0));
    const int y = pixelNumber(vm, call.arg(1));
    return Value(static_cast<double>(static_cast<std::int32_t>(bitmap->argbAt(x, y))));
}

Value setPixel(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap || call.count() < 3)
        return Value(kTooFewArguments);
    const int x = pixelNumber(vm, call.arg(0));
    const int y = pixelNumber(vm, call.arg(1));
    const std::uint32_t rgb = vm.toUint32(call.arg(2)) & 0xFFFFFF;
    if (bitmap->contains(x, y)) {
        // The pixel keeps its alpha.
        const std::uint32_t alpha = bitmap->argbAt(x, y) & 0xFF000000u;
        bitmap->setArgb(x, y, alpha | rgb);
    }
    return Value(0);
}

Value setPixel32(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap || call.count() < 3)
        return Value(kTooFewArguments);
    const int x = pixelNumber(vm, call.arg(0));
    const int y = pixelNumber(vm, call.arg(1));
    bitmap->setArgb(x, y, vm.toUint32(call.arg(2)));
    return Value(0);
}

// --- The whole bitmap ----------------------------------------------------------------

Value cloneBitmap(Vm& vm, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap)
        return Value(kTooFewArguments);
    Object* proto = call.thisObject()->prototype();
    auto copy = std::make_shared<runtime::BitmapData>(bitmap->width(), bitmap->height(),
                                                      bitmap->transparent(), 0);
    std::copy(bitmap->pixels(),
              bitmap->pixels() + static_cast<std::size_t>(bitmap->width()) * bitmap->height(),
              copy->edit());
    return Value(makeBitmapData(vm, proto ? proto : dataObjectOr(call, nullptr), std::move(copy)));
}

Value dispose(Vm&, const CallArgs& call)
{
    runtime::BitmapData* bitmap = thisBitmap(call);
    if (!bitmap)
        return Value(kTooFewArguments);
    bitmap->dispose();
    return Value();
}

// BitmapData.loadBitmap(linkage): a copy of the bitmap the movie exports by that name.
Value loadBitmap(Vm& vm, const CallArgs& call)
{
    if (call.count() < 1)
        return Value();
    const std::string name = vm.toStdString(call.arg(0));
    runtime::DisplayObject* root = scriptClip(vm);
    if (vm.throwing() || !root)
        return Value();
    const swf::MovieDefinition& movie = root->movie();
    const auto found = movie.exports.find(name);
    const swf::Bitmap* pixels =
        found == movie.exports.end() ? nullptr : movie.get<swf::Bitmap>(found->second);
    if (!pixels || !allowBitmap(vm, int(pixels->width), int(pixels->height)))
        return Value();
    Object* proto = instancePrototype(vm, call, dataObjectOr(call, nullptr));
    return Value(makeBitmapData(vm, proto, std::make_shared<runtime::BitmapData>(*pixels)));
}

} // namespace

Object* installBitmapData(Vm& vm, Object* displayPackage, Object* rectanglePrototype,
                          Object* pointPrototype)
{
    Object* proto = vm.makeObject();
    NativeFunction* ctor =
        definePackageClass(vm, displayPackage, "BitmapData", proto, constructOnThis, constructNew);
    ctor->setData(Value(proto));
    vm.defineMethod(ctor, "loadBitmap", loadBitmap)->setData(Value(proto));
    // The channel masks copyChannel and noise take, plain writable values.
    ctor->defineValue(vm, "RED_CHANNEL", Value(1));
    ctor->defineValue(vm, "GREEN_CHANNEL", Value(2));
    ctor->defineValue(vm, "BLUE_CHANNEL", Value(4));
    ctor->defineValue(vm, "ALPHA_CHANNEL", Value(8));

    // The four properties show in for..in, as the reference's do.
    constexpr std::uint16_t shown = PropertyFlag::DontDelete;
    defineAccessor(vm, proto, "width", getWidth, nullptr, shown);
    defineAccessor(vm, proto, "height", getHeight, nullptr, shown);
    defineAccessor(vm, proto, "rectangle", getRectangle, nullptr, shown)
        ->setData(Value(rectanglePrototype));
    defineAccessor(vm, proto, "transparent", getTransparent, nullptr, shown);

    vm.defineMethods(proto, {
                                {"getPixel", getPixel},
                                {"getPixel32", getPixel32},
                                {"setPixel", setPixel},
                                {"setPixel32", setPixel32},
                                {"dispose", dispose},
                            });
    vm.defineMethod(proto, "clone", cloneBitmap)->setData(Value(proto));
    installBitmapDataMethods(vm, proto, rectanglePrototype, pointPrototype);
    return proto;
}

} // namespace avm1
