// flash.filters: BitmapFilter and its nine subclasses. Each filter object keeps its
// values in a FilterState; the properties are accessors on the prototypes (shown in
// for..in, as the reference's are) that take any value and bring it into the filter's
// range as the reference does: colours to 24 bits, alphas to a byte, qualities to 0 to
// 15, blurs and strengths to 0 to 255, angles in degrees modulo 360.
#include "FilterObjects.h"
#include "FilterValues.h"
#include "NativeHelpers.h"
#include "Packages.h"
#include "avm1/Limits.h"
#include "avm1/Vm.h"

#include <cmath>
#include <numbers>

namespace avm1 {

namespace {

using namespace filtervalues;

enum class Field : std::uint8_t {
    Distance,
    Angle,
    Color,
    Alpha,
    HighlightColor,
    HighlightAlpha,
    ShadowColor,
    ShadowAlpha,
    BlurX,
    BlurY,
    Strength,
    Quality,
    Inner,
    Knockout,
    HideObject,
    Type,
    Colors,
    Alphas,
    Ratios,
    Matrix,
    MatrixX,
    MatrixY,
    Divisor,
    Bias,
    PreserveAlpha,
    Clamp,
    MapBitmap,
    MapPoint,
    ComponentX,
    ComponentY,
    ScaleX,
    ScaleY,
    Mode,
};

struct FieldEntry {
    const char* name;
    Field field;
};

// The prototypes' properties in the order for..in shows them.
constexpr FieldEntry kDropShadowFields[] = {
    {"distance", Field::Distance}, {"angle", Field::Angle},          {"color", Field::Color},
    {"alpha", Field::Alpha},       {"quality", Field::Quality},      {"inner", Field::Inner},
    {"knockout", Field::Knockout}, {"blurX", Field::BlurX},          {"blurY", Field::BlurY},
    {"strength", Field::Strength}, {"hideObject", Field::HideObject}};
constexpr FieldEntry kBlurFields[] = {
    {"blurX", Field::BlurX}, {"blurY", Field::BlurY}, {"quality", Field::Quality}};
constexpr FieldEntry kGlowFields[] = {{"color", Field::Color},       {"alpha", Field::Alpha},
                                      {"quality", Field::Quality},   {"inner", Field::Inner},
                                      {"knockout", Field::Knockout}, {"blurX", Field::BlurX},
                                      {"blurY", Field::BlurY},       {"strength", Field::Strength}};
constexpr FieldEntry kBevelFields[] = {{"distance", Field::Distance},
                                       {"angle", Field::Angle},
                                       {"highlightColor", Field::HighlightColor},
                                       {"highlightAlpha", Field::HighlightAlpha},
                                       {"shadowColor", Field::ShadowColor},
                                       {"shadowAlpha", Field::ShadowAlpha},
                                       {"quality", Field::Quality},
                                       {"strength", Field::Strength},
                                       {"knockout", Field::Knockout},
                                       {"blurX", Field::BlurX},
                                       {"blurY", Field::BlurY},
                                       {"type", Field::Type}};
constexpr FieldEntry kGradientFields[] = {
    {"distance", Field::Distance}, {"angle", Field::Angle},     {"colors", Field::Colors},
    {"alphas", Field::Alphas},     {"ratios", Field::Ratios},   {"blurX", Field::BlurX},
    {"blurY", Field::BlurY},       {"quality", Field::Quality}, {"strength", Field::Strength},
    {"knockout", Field::Knockout}, {"type", Field::Type}};
constexpr FieldEntry kColorMatrixFields[] = {{"matrix", Field::Matrix}};
constexpr FieldEntry kConvolutionFields[] = {
    {"matrixX", Field::MatrixX}, {"matrixY", Field::MatrixY},
    {"matrix", Field::Matrix},   {"divisor", Field::Divisor},
    {"bias", Field::Bias},       {"preserveAlpha", Field::PreserveAlpha},
    {"clamp", Field::Clamp},     {"color", Field::Color},
    {"alpha", Field::Alpha}};
constexpr FieldEntry kDisplacementFields[] = {{"mapBitmap", Field::MapBitmap},
                                              {"mapPoint", Field::MapPoint},
                                              {"componentX", Field::ComponentX},
                                              {"componentY", Field::ComponentY},
                                              {"scaleX", Field::ScaleX},
                                              {"scaleY", Field::ScaleY},
                                              {"mode", Field::Mode},
                                              {"color", Field::Color},
                                              {"alpha", Field::Alpha}};

FilterPrototypes* classesOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    Object* holder = self ? self->data().objectOrNull() : nullptr;
    return holder ? dynamic_cast<FilterPrototypes*>(holder->nativeState()) : nullptr;
}

// --- Reading -------------------------------------------------------------------------

Value typeName(Vm& vm, GradientFilterState::Type type)
{
    switch (type) {
    case GradientFilterState::Type::Inner:
        return vm.strValue("inner");
    case GradientFilterState::Type::Outer:
        return vm.strValue("outer");
    case GradientFilterState::Type::Full:
        break;
    }
    return vm.strValue("full");
}

GradientFilterState::Type bevelType(const swf::BevelFilter& f)
{
    if (f.onTop)
        return GradientFilterState::Type::Full;
    return f.inner ? GradientFilterState::Type::Inner : GradientFilterState::Type::Outer;
}

Value numberArray(Vm& vm, const double* values, std::size_t count)
{
    std::vector<Value> items(values, values + count);
    return Value(vm.makeArray(items));
}

template <typename T> Value byteArray(Vm& vm, const T& values, std::size_t count, double scale)
{
    std::vector<Value> items;
    for (std::size_t i = 0; i < count; ++i)
        items.emplace_back(static_cast<double>(values[i]) * scale);
    return Value(vm.makeArray(items));
}

Value readField(Vm& vm, FilterState& state, Field field, Object* pointPrototype)
{
    return std::visit(
        [&](auto& f) -> Value {
            using T = std::decay_t<decltype(f)>;
            switch (field) {
            case Field::Distance:
                if constexpr (requires { f.distance; })
                    return Value(static_cast<double>(f.distance));
                break;
            case Field::Angle:
                if constexpr (requires { f.angle; })
                    return Value(static_cast<double>(f.angle) * 180 / std::numbers::pi);
                break;
            case Field::BlurX:
                if constexpr (requires { f.blurX; })
                    return Value(static_cast<double>(f.blurX));
                break;
            case Field::BlurY:
                if constexpr (requires { f.blurY; })
                    return Value(static_cast<double>(f.blurY));
                break;
            case Field::Strength:
                if constexpr (requires { f.strength; })
                    return Value(static_cast<double>(f.strength));
                break;
            case Field::Quality:
                if constexpr (requires { f.passes; })
                    return Value(static_cast<double>(f.passes));
                else if constexpr (requires { f.quality; })
                    return Value(static_cast<double>(f.quality));
                break;
            case Field::Knockout:
                if constexpr (requires { f.knockout; })
                    return Value(f.knockout);
                break;
            case Field::Inner:
                if constexpr (requires { f.inner; })
                    return Value(f.inner);
                break;
            case Field::HideObject:
                if constexpr (std::is_same_v<T, swf::DropShadowFilter>)
                    return Value(!f.compositeSource);
                break;
            case Field::Color:
                if constexpr (requires { f.color.r; })
                    return Value(static_cast<double>(rgbOf(f.color)));
                else if constexpr (requires { f.color; })
                    return Value(static_cast<double>(f.color));
                break;
            case Field::Alpha:
                if constexpr (requires { f.color.a; })
                    return Value(f.color.a / 255.0);
                else if constexpr (requires { f.alpha; })
                    return Value(f.alpha / 255.0);
                break;
            case Field::HighlightColor:
                if constexpr (requires { f.highlightColor; })
                    return Value(static_cast<double>(rgbOf(f.highlightColor)));
                break;
            case Field::HighlightAlpha:
                if constexpr (requires { f.highlightColor; })
                    return Value(f.highlightColor.a / 255.0);
                break;
            case Field::ShadowColor:
                if constexpr (requires { f.shadowColor; })
                    return Value(static_cast<double>(rgbOf(f.shadowColor)));
                break;
            case Field::ShadowAlpha:
                if constexpr (requires { f.shadowColor; })
                    return Value(f.shadowColor.a / 255.0);
                break;
            case Field::Type:
                if constexpr (std::is_same_v<T, swf::BevelFilter>)
                    return typeName(vm, bevelType(f));
                else if constexpr (std::is_same_v<T, GradientFilterState>)
                    return typeName(vm, f.type);
                break;
            case Field::Colors:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    return byteArray(vm, f.colors, f.count, 1);
                break;
            case Field::Alphas:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    return byteArray(vm, f.alphas, f.count, 1 / 255.0);
                break;
            case Field::Ratios:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    return byteArray(vm, f.ratios, f.count, 1);
                break;
            case Field::Matrix:
                if constexpr (std::is_same_v<T, ColorMatrixFilterState>)
                    return numberArray(vm, f.matrix.data(), f.matrix.size());
                else if constexpr (std::is_same_v<T, ConvolutionFilterState>)
                    return numberArray(vm, f.matrix.data(), f.matrix.size());
                break;
            case Field::MatrixX:
                if constexpr (requires { f.matrixX; })
                    return Value(f.matrixX);
                break;
            case Field::MatrixY:
                if constexpr (requires { f.matrixY; })
                    return Value(f.matrixY);
                break;
            case Field::Divisor:
                if constexpr (requires { f.divisor; })
                    return Value(static_cast<double>(f.divisor));
                break;
            case Field::Bias:
                if constexpr (requires { f.bias; })
                    return Value(static_cast<double>(f.bias));
                break;
            case Field::PreserveAlpha:
                if constexpr (requires { f.preserveAlpha; })
                    return Value(f.preserveAlpha);
                break;
            case Field::Clamp:
                if constexpr (requires { f.clamp; })
                    return Value(f.clamp);
                break;
            case Field::MapBitmap:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>)
                    return f.mapBitmap ? Value(f.mapBitmap) : Value();
                break;
            case Field::MapPoint:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>) {
                    if (!pointPrototype)
                        return Value();
                    return Value(makeFilterPoint(vm, pointPrototype, f.mapX, f.mapY));
                }
                break;
            case Field::ComponentX:
                if constexpr (requires { f.componentX; })
                    return Value(f.componentX);
                break;
            case Field::ComponentY:
                if constexpr (requires { f.componentY; })
                    return Value(f.componentY);
                break;
            case Field::ScaleX:
                if constexpr (requires { f.scaleX; })
                    return Value(f.scaleX);
                break;
            case Field::ScaleY:
                if constexpr (requires { f.scaleY; })
                    return Value(f.scaleY);
                break;
            case Field::Mode:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>)
                    return vm.strValue(modeName(f.mode));
                break;
            }
            return Value();
        },
        state.data);
}

// --- Writing -------------------------------------------------------------------------

void writeField(Vm& vm, FilterState& state, Field field, Value value)
{
    std::visit(
        [&](auto& f) {
            using T = std::decay_t<decltype(f)>;
            switch (field) {
            case Field::Distance:
                if constexpr (requires { f.distance; })
                    f.distance = vm.toNumber(value);
                return;
            case Field::Angle:
                if constexpr (requires { f.angle; })
                    f.angle = angleRadians(vm.toNumber(value));
                return;
            case Field::BlurX:
                if constexpr (requires { f.blurX; })
                    f.blurX = clampNumber(vm.toNumber(value), 0, 255);
                return;
            case Field::BlurY:
                if constexpr (requires { f.blurY; })
                    f.blurY = clampNumber(vm.toNumber(value), 0, 255);
                return;
            case Field::Strength:
                if constexpr (requires { f.strength; })
                    f.strength =
                        static_cast<decltype(f.strength)>(clampNumber(vm.toNumber(value), 0, 255));
                return;
            case Field::Quality:
                if constexpr (requires { f.passes; })
                    f.passes = quality(vm, value);
                else if constexpr (requires { f.quality; })
                    f.quality = quality(vm, value);
                return;
            case Field::Knockout:
                if constexpr (requires { f.knockout; })
                    f.knockout = vm.toBoolean(value);
                return;
            case Field::Inner:
                if constexpr (requires { f.inner; })
                    f.inner = vm.toBoolean(value);
                return;
            case Field::HideObject:
                if constexpr (std::is_same_v<T, swf::DropShadowFilter>)
                    f.compositeSource = !vm.toBoolean(value);
                return;
            case Field::Color:
                if constexpr (requires { f.color.r; })
                    setRgb(f.color, colorValue(vm, value));
                else if constexpr (requires { f.color; })
                    f.color = colorValue(vm, value);
                return;
            case Field::Alpha:
                if constexpr (requires { f.color.a; })
                    f.color.a = alphaByte(vm.toNumber(value));
                else if constexpr (requires { f.alpha; })
                    f.alpha = alphaByte(vm.toNumber(value));
                return;
            case Field::HighlightColor:
                if constexpr (requires { f.highlightColor; })
                    setRgb(f.highlightColor, colorValue(vm, value));
                return;
            case Field::HighlightAlpha:
                if constexpr (requires { f.highlightColor; })
                    f.highlightColor.a = alphaByte(vm.toNumber(value));
                return;
            case Field::ShadowColor:
                if constexpr (requires { f.shadowColor; })
                    setRgb(f.shadowColor, colorValue(vm, value));
                return;
            case Field::ShadowAlpha:
                if constexpr (requires { f.shadowColor; })
                    f.shadowColor.a = alphaByte(vm.toNumber(value));
                return;
            case Field::Type: {
                const GradientFilterState::Type type = typeFromName(vm, value);
                if constexpr (std::is_same_v<T, swf::BevelFilter>) {
                    f.inner = type == GradientFilterState::Type::Inner;
                    f.onTop = type == GradientFilterState::Type::Full;
                } else if constexpr (std::is_same_v<T, GradientFilterState>) {
                    f.type = type;
                }
                return;
            }
            case Field::Colors:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    setGradientColors(vm, f, value);
                return;
            case Field::Alphas:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    setGradientAlphas(vm, f, value);
                return;
            case Field::Ratios:
                if constexpr (std::is_same_v<T, GradientFilterState>)
                    setGradientRatios(vm, f, value);
                return;
            case Field::Matrix:
                if constexpr (std::is_same_v<T, ColorMatrixFilterState>)
                    setColorMatrix(vm, f, value);
                else if constexpr (std::is_same_v<T, ConvolutionFilterState>)
                    setConvolutionMatrix(vm, f, value);
                return;
            case Field::MatrixX:
                if constexpr (requires { f.matrixX; })
                    setConvolutionSize(f, matrixSide(vm, value), f.matrixY);
                return;
            case Field::MatrixY:
                if constexpr (requires { f.matrixY; })
                    setConvolutionSize(f, f.matrixX, matrixSide(vm, value));
                return;
            case Field::Divisor:
                if constexpr (requires { f.divisor; })
                    f.divisor = vm.toNumber(value);
                return;
            case Field::Bias:
                if constexpr (requires { f.bias; })
                    f.bias = vm.toNumber(value);
                return;
            case Field::PreserveAlpha:
                if constexpr (requires { f.preserveAlpha; })
                    f.preserveAlpha = vm.toBoolean(value);
                return;
            case Field::Clamp:
                if constexpr (requires { f.clamp; })
                    f.clamp = vm.toBoolean(value);
                return;
            case Field::MapBitmap:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>)
                    if (Object* bitmap = bitmapObject(value))
                        f.mapBitmap = bitmap;
                return;
            case Field::MapPoint:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>)
                    setMapPoint(vm, f, value);
                return;
            case Field::ComponentX:
                if constexpr (requires { f.componentX; })
                    f.componentX = vm.toInt32(value);
                return;
            case Field::ComponentY:
                if constexpr (requires { f.componentY; })
                    f.componentY = vm.toInt32(value);
                return;
            case Field::ScaleX:
                if constexpr (requires { f.scaleX; })
                    f.scaleX = clampNumber(vm.toNumber(value), -65535, 65535);
                return;
            case Field::ScaleY:
                if constexpr (requires { f.scaleY; })
                    f.scaleY = clampNumber(vm.toNumber(value), -65535, 65535);
                return;
            case Field::Mode:
                if constexpr (std::is_same_v<T, DisplacementMapFilterState>)
                    f.mode = modeFromName(vm, value);
                return;
            }
        },
        state.data);
}

// --- Accessors and classes -----------------------------------------------------------

// The accessors keep their field as their data; mapPoint's keeps the classes' holder
// instead, for the Point prototype its objects get.
Field fieldOf(const CallArgs& call)
{
    auto* self = static_cast<NativeFunction*>(call.callee);
    if (self->data().isObject())
        return Field::MapPoint;
    return static_cast<Field>(static_cast<int>(self->data().asNumber()));
}

Value getField(Vm& vm, const CallArgs& call)
{
    FilterState* state = filterStateOf(call.thisValue);
    if (!state)
        return Value();
    const FilterPrototypes* classes = classesOf(call);
    return readField(vm, *state, fieldOf(call), classes ? classes->point : nullptr);
}

Value setField(Vm& vm, const CallArgs& call)
{
    if (FilterState* state = filterStateOf(call.thisValue))
        writeField(vm, *state, fieldOf(call), call.arg(0));
    return Value();
}

// Each class's constructor arguments, in order, as the fields they set.
constexpr Field kDropShadowArgs[] = {
    Field::Distance, Field::Angle,   Field::Color, Field::Alpha,    Field::BlurX,     Field::BlurY,
    Field::Strength, Field::Quality, Field::Inner, Field::Knockout, Field::HideObject};
constexpr Field kBlurArgs[] = {Field::BlurX, Field::BlurY, Field::Quality};
constexpr Field kGlowArgs[] = {Field::Color,    Field::Alpha,   Field::BlurX, Field::BlurY,
                               Field::Strength, Field::Quality, Field::Inner, Field::Knockout};
constexpr Field kBevelArgs[] = {Field::Distance,       Field::Angle,       Field::HighlightColor,
                                Field::HighlightAlpha, Field::ShadowColor, Field::ShadowAlpha,
                                Field::BlurX,          Field::BlurY,       Field::Strength,
                                Field::Quality,        Field::Type,        Field::Knockout};
constexpr Field kGradientArgs[] = {Field::Distance, Field::Angle, Field::Colors,  Field::Alphas,
                                   Field::Ratios,   Field::BlurX, Field::BlurY,   Field::Strength,
                                   Field::Quality,  Field::Type,  Field::Knockout};
constexpr Field kColorMatrixArgs[] = {Field::Matrix};
constexpr Field kConvolutionArgs[] = {Field::MatrixX, Field::MatrixY, Field::Matrix,
                                      Field::Divisor, Field::Bias,    Field::PreserveAlpha,
                                      Field::Clamp,   Field::Color,   Field::Alpha};
constexpr Field kDisplacementArgs[] = {Field::MapBitmap,  Field::MapPoint, Field::ComponentX,
                                       Field::ComponentY, Field::ScaleX,   Field::ScaleY,
                                       Field::Mode,       Field::Color,    Field::Alpha};

struct FilterClass {
    const char* name;
    FilterKind kind;
    std::span<const FieldEntry> fields;
    std::span<const Field> arguments;
};

const FilterClass kClasses[] = {
    {"DropShadowFilter", FilterKind::DropShadow, kDropShadowFields, kDropShadowArgs},
    {"BlurFilter", FilterKind::Blur, kBlurFields, kBlurArgs},
    {"GlowFilter", FilterKind::Glow, kGlowFields, kGlowArgs},
    {"BevelFilter", FilterKind::Bevel, kBevelFields, kBevelArgs},
    {"GradientGlowFilter", FilterKind::GradientGlow, kGradientFields, kGradientArgs},
    {"GradientBevelFilter", FilterKind::GradientBevel, kGradientFields, kGradientArgs},
    {"ColorMatrixFilter", FilterKind::ColorMatrix, kColorMatrixFields, kColorMatrixArgs},
    {"ConvolutionFilter", FilterKind::Convolution, kConvolutionFields, kConvolutionArgs},
    {"DisplacementMapFilter", FilterKind::DisplacementMap, kDisplacementFields, kDisplacementArgs},
};

const FilterClass& filterClassOf(FilterKind kind)
{
    return kClasses[static_cast<std::size_t>(kind)];
}

// The constructor: the defaults, then each argument given through its property's rules.
Value constructFilter(Vm& vm, const CallArgs& call)
{
    Object* self = call.thisObject();
    auto* callee = static_cast<NativeFunction*>(call.callee);
    if (!self || !callee)
        return Value();
    const auto kind = static_cast<FilterKind>(static_cast<int>(callee->data().asNumber()));
    auto* state = vm.heap().make<FilterState>(kind, defaultFilter(kind));
    // An object takes its native part once: constructing it again (a second super()
    // call, or a filter constructor called on a clip or a bitmap) still converts the
    // arguments, but what the object holds keeps its values.
    if (!self->nativeState())
        self->setNativeState(state);
    const FilterClass& filterClass = filterClassOf(kind);
    // A substitute colour given without its alpha is opaque.
    if (auto* convolution = std::get_if<ConvolutionFilterState>(&state->data);
        convolution && call.count() == 8)
        convolution->alpha = 255;
    for (std::size_t i = 0; i < filterClass.arguments.size() && i < call.count(); ++i) {
        if (call.arg(i).isUndefined())
            continue;
        writeField(vm, *state, filterClass.arguments[i], call.arg(i));
        if (vm.throwing())
            return Value();
    }
    return Value();
}

Value constructBitmapFilter(Vm&, const CallArgs&)
{
    return Value();
}

// clone(): a new object of this one's class with the same values; undefined for a
// plain BitmapFilter.
Value cloneFilter(Vm& vm, const CallArgs& call)
{
    FilterState* state = filterStateOf(call.thisValue);
    FilterPrototypes* classes = classesOf(call);
    if (!state || !classes)
        return Value();
    return Value(makeFilterObject(vm, *classes, state->kind, state->data));
}

} // namespace

FilterPrototypes* installFilters(Vm& vm, Object* pointPrototype)
{
    Object* package = packageObject(vm, "flash.filters");
    auto* classes = vm.heap().make<FilterPrototypes>();
    classes->point = pointPrototype;
    Object* holder = vm.makeObject();
    holder->setNativeState(classes);

    Object* baseProto = vm.makeObject();
    definePackageClass(vm, package, "BitmapFilter", baseProto, constructBitmapFilter);
    vm.defineMethod(baseProto, "clone", cloneFilter, 0)->setData(Value(holder));

    for (const FilterClass& filterClass : kClasses) {
        Object* proto = vm.makeObject(baseProto);
        classes->prototypes[static_cast<std::size_t>(filterClass.kind)] = proto;
        NativeFunction* ctor =
            definePackageClass(vm, package, filterClass.name, proto, constructFilter);
        ctor->setData(Value(static_cast<double>(filterClass.kind)));
        for (const FieldEntry& field : filterClass.fields) {
            const Value data = field.field == Field::MapPoint
                                   ? Value(holder)
                                   : Value(static_cast<double>(field.field));
            defineAccessor(vm, proto, field.name, getField, setField, PropertyFlag::DontDelete)
                ->setData(data);
            Property* p = proto->properties().find(vm.str(field.name), vm.caseRule());
            static_cast<NativeFunction*>(p->setter)->setData(data);
        }
        vm.defineMethod(proto, "clone", cloneFilter, 0)->setData(Value(holder));
    }
    return classes;
}

} // namespace avm1
