// MovieClip's geometry: getBounds, getRect, localToGlobal, globalToLocal and hitTest.
// Coordinates are pixels outside and twips inside, as the display list keeps them.
#include "MovieClipParts.h"
#include "avm1/ClipObject.h"
#include "avm1/TargetPaths.h"
#include "avm1/Vm.h"
#include "format/Limits.h"
#include "runtime/ContainerObject.h"
#include "runtime/PointerHitTest.h"
#include "runtime/ShapeHitTest.h"
#include "runtime/SpriteObject.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace avm1 {

namespace {

constexpr double kTwipsPerPixel = 20.0;
// What the reference reports for an object that covers nothing: its largest twip
// coordinate, on every side.
constexpr double kEmptyCoordinate = 0x7FFFFFF;

enum class Edges : bool { WithStrokes, FillsOnly };

// The object's matrix to the stage as the reference composes it for scripts: from the
// object up through its parents, each product's translation kept in whole twips.
swf::Matrix stageMatrix(const runtime::DisplayObject& object)
{
    swf::Matrix m = object.matrix();
    for (const runtime::DisplayObject* p = object.parent(); p; p = p->parent()) {
        m = p->matrix() * m;
        m.tx = std::round(m.tx);
        m.ty = std::round(m.ty);
    }
    return m;
}

// Its inverse, the translation again in whole twips; false for a matrix flattened to a
// line.
bool stageInverse(const runtime::DisplayObject& object, swf::Matrix& out)
{
    if (!stageMatrix(object).invert(out))
        return false;
    out.tx = std::round(out.tx);
    out.ty = std::round(out.ty);
    return true;
}

// What an object covers in its own twips: every shape, text and drawing inside it
// moved into its space through the whole chain of matrices, not as boxes of boxes, as
// the reference measures. getRect leaves out the strokes of shapes that keep their
// edges apart (DefineShape4).
runtime::Bounds extentOf(const runtime::DisplayObject& object, Edges edges,
                         const swf::Matrix& toOwn, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return {};
    if (object.kind() == runtime::ObjectKind::Sprite ||
        object.kind() == runtime::ObjectKind::Button) {
        runtime::Bounds bounds;
        if (object.kind() == runtime::ObjectKind::Sprite) {
            if (const runtime::Drawing* drawing =
                    static_cast<const runtime::SpriteObject&>(object).drawing())
                bounds = (edges == Edges::FillsOnly ? drawing->edgeBounds() : drawing->bounds())
                             .transformed(toOwn);
        }
        const auto& container = static_cast<const runtime::ContainerObject&>(object);
        for (const auto& [depth, child] : container.children()) {
            if (child->isUnloading())
                continue;
            // Each product's translation in whole twips, as for the stage's matrix.
            swf::Matrix toChild = toOwn * child->matrix();
            toChild.tx = std::round(toChild.tx);
            toChild.ty = std::round(toChild.ty);
            bounds.include(extentOf(*child, edges, toChild, level + 1));
        }
        return bounds;
    }
    if (edges == Edges::FillsOnly && object.character()) {
        if (const auto* shape = std::get_if<swf::Shape>(&object.character()->data))
            return runtime::Bounds::fromRect(shape->edgeBounds).transformed(toOwn);
    }
    return object.localBounds().transformed(toOwn);
}

// getBounds' and getRect's target: the clip itself without one, a clip, or a path
// from this clip. Null when it names nothing.
runtime::DisplayObject* boundsSpace(Vm& vm, ClipObject& self, const CallArgs& call)
{
    if (call.count() == 0)
        return self.displayObject();
    if (ClipObject* clip = asClip(call.arg(0).objectOrNull())) {
        ClipObject* live = clip->live();
        return live ? live->displayObject() : nullptr;
    }
    const std::string path = vm.toStdString(call.arg(0));
    if (vm.throwing() || path.empty())
        return nullptr;
    ClipObject* target = asClip(resolveTargetFrom(vm, &self, path));
    ClipObject* live = target ? target->live() : nullptr;
    return live ? live->displayObject() : nullptr;
}

Value rectangleObject(Vm& vm, double xMin, double xMax, double yMin, double yMax)
{
    Object* out = vm.makeObject();
    out->defineValue(vm, "xMin", Value(xMin / kTwipsPerPixel));
    out->defineValue(vm, "xMax", Value(xMax / kTwipsPerPixel));
    out->defineValue(vm, "yMin", Value(yMin / kTwipsPerPixel));
    out->defineValue(vm, "yMax", Value(yMax / kTwipsPerPixel));
    return Value(out);
}

Value boundsIn(Vm& vm, const CallArgs& call, Edges edges)
{
    ClipObject* self = thisClip(call);
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object)
        return Value();
    runtime::DisplayObject* space = boundsSpace(vm, *self, call);
    if (!space)
        return Value();
    swf::Matrix toSpace;
    if (space != object) {
        swf::Matrix fromStage;
        if (!stageInverse(*space, fromStage))
            return Value();
        toSpace = fromStage * stageMatrix(*object);
    }
    // Once SWF 8 code has asked for bounds, the player moves "nothing" corners through
    // matrices in single precision from then on, for every movie it plays.
    StageSettings& settings = self->registry().settings();
    if (vm.swfVersion() >= 8)
        settings.singlePrecisionEmptyBounds = true;
    const runtime::Bounds local = extentOf(*object, edges, swf::Matrix{}, 0);
    const runtime::Bounds bounds = space == object ? local : local.transformed(toSpace);
    if (bounds.empty) {
        if (space == object || !settings.singlePrecisionEmptyBounds)
            return rectangleObject(vm, kEmptyCoordinate, kEmptyCoordinate, kEmptyCoordinate,
                                   kEmptyCoordinate);
        // The reference moves its "nothing" corner through the matrix in single
        // precision, which rounds it.
        const float corner = static_cast<float>(kEmptyCoordinate);
        const double x = static_cast<float>(toSpace.a) * corner +
                         static_cast<float>(toSpace.c) * corner + static_cast<float>(toSpace.tx);
        const double y = static_cast<float>(toSpace.b) * corner +
                         static_cast<float>(toSpace.d) * corner + static_cast<float>(toSpace.ty);
        return rectangleObject(vm, x, x, y, y);
    }
    // Bounds are whole twips.
    return rectangleObject(vm, std::round(bounds.xMin), std::round(bounds.xMax),
                           std::round(bounds.yMin), std::round(bounds.yMax));
}

Value getBounds(Vm& vm, const CallArgs& call)
{
    return boundsIn(vm, call, Edges::WithStrokes);
}

Value getRect(Vm& vm, const CallArgs& call)
{
    return boundsIn(vm, call, Edges::FillsOnly);
}

// localToGlobal and globalToLocal change the point object in place, and only when
// it has x and y of its own, both numbers.
void convertPoint(Vm& vm, const CallArgs& call, bool toGlobal)
{
    runtime::DisplayObject* object = thisDisplayObject(call);
    Object* point = call.arg(0).objectOrNull();
    if (!object || !point)
        return;
    String* xName = vm.str("x");
    String* yName = vm.str("y");
    if (!vm.hasOwnProperty(point, xName) || !vm.hasOwnProperty(point, yName))
        return;
    const Value x = vm.getMember(point, xName);
    const Value y = vm.getMember(point, yName);
    if (vm.throwing() || !x.isNumber() || !y.isNumber())
        return;
    swf::Matrix matrix = stageMatrix(*object);
    if (!toGlobal && !stageInverse(*object, matrix))
        return;
    const double tx = x.asNumber() * kTwipsPerPixel;
    const double ty = y.asNumber() * kTwipsPerPixel;
    vm.setMember(point, xName, Value(std::round(matrix.mapX(tx, ty)) / kTwipsPerPixel));
    if (vm.throwing())
        return;
    vm.setMember(point, yName, Value(std::round(matrix.mapY(tx, ty)) / kTwipsPerPixel));
}

Value localToGlobal(Vm& vm, const CallArgs& call)
{
    convertPoint(vm, call, true);
    return Value();
}

Value globalToLocal(Vm& vm, const CallArgs& call)
{
    convertPoint(vm, call, false);
    return Value();
}

// Whether a point on the stage, in twips, falls on what the object draws. Inside a
// container, what a clip-depth mask hides is not hit, nor is the mask itself.
bool coversPoint(const runtime::DisplayObject& object, double x, double y, int level)
{
    if (level >= swf::limits::kMaxDisplayNesting)
        return false;
    if (object.kind() != runtime::ObjectKind::Sprite &&
        object.kind() != runtime::ObjectKind::Button)
        return runtime::leafCovers(object, x, y);
    const auto& container = static_cast<const runtime::ContainerObject&>(object);
    // The clip-depth masks open at the child being tested, and whether each covers the
    // point.
    std::vector<std::pair<int, bool>> clips;
    for (const auto& [depth, child] : container.children()) {
        if (child->isUnloading())
            continue;
        while (!clips.empty() && depth > clips.back().first)
            clips.pop_back();
        if (child->isMask()) {
            clips.emplace_back(child->clipDepth(), coversPoint(*child, x, y, level + 1));
            continue;
        }
        const bool shown = std::all_of(clips.begin(), clips.end(),
                                       [](const std::pair<int, bool>& c) { return c.second; });
        if (shown && coversPoint(*child, x, y, level + 1))
            return true;
    }
    return runtime::drawingCovers(object, x, y);
}

// hitTest's shape test: a clip a script's mask clips is hit only where the mask is; a
// script's mask is drawn only as a clip, and is no target itself.
bool shapeCovers(const runtime::DisplayObject& object, double x, double y)
{
    if (object.isActiveScriptMask())
        return false;
    const runtime::DisplayObject* mask = object.activeScriptMask();
    if (mask && !coversPoint(*mask, x, y, 0))
        return false;
    return coversPoint(object, x, y, 0);
}

bool inside(const runtime::Bounds& bounds, double x, double y)
{
    return !bounds.empty && x >= bounds.xMin && x <= bounds.xMax && y >= bounds.yMin &&
           y <= bounds.yMax;
}

// hitTest(x, y[, shapeFlag]) with the point in the main timeline's coordinates, or
// hitTest(target): whether the two objects' bounds on the stage overlap.
Value hitTest(Vm& vm, const CallArgs& call)
{
    ClipObject* self = thisClip(call);
    runtime::DisplayObject* object = self ? self->displayObject() : nullptr;
    if (!object || call.count() == 0)
        return Value(false);
    if (call.count() >= 2) {
        const double px = vm.toNumber(call.arg(0));
        const double py = vm.toNumber(call.arg(1));
        const bool shapeFlag = vm.toBoolean(call.arg(2));
        if (vm.throwing() || !std::isfinite(px) || !std::isfinite(py))
            return Value(false);
        runtime::DisplayObject* root = self->registry().rootObject();
        const swf::Matrix toStage = root ? root->worldMatrix() : swf::Matrix{};
        const double x = toStage.mapX(px * kTwipsPerPixel, py * kTwipsPerPixel);
        const double y = toStage.mapY(px * kTwipsPerPixel, py * kTwipsPerPixel);
        if (shapeFlag)
            return Value(shapeCovers(*object, x, y));
        return Value(inside(object->boundsIn(nullptr), x, y));
    }
    runtime::DisplayObject* other = nullptr;
    if (ClipObject* clip = asClip(call.arg(0).objectOrNull())) {
        ClipObject* live = clip->live();
        other = live ? live->displayObject() : nullptr;
    } else {
        const std::string path = vm.toStdString(call.arg(0));
        ClipObject* target = path.empty() ? nullptr : asClip(resolveTargetFrom(vm, self, path));
        ClipObject* live = target ? target->live() : nullptr;
        other = live ? live->displayObject() : nullptr;
    }
    if (!other)
        return Value(false);
    const runtime::Bounds a = object->boundsIn(nullptr);
    const runtime::Bounds b = other->boundsIn(nullptr);
    return Value(!a.empty && !b.empty && a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax &&
                 b.yMin <= a.yMax);
}

} // namespace

void installMovieClipGeometry(Vm& vm, Object* proto)
{
    vm.defineMethod(proto, "getBounds", getBounds);
    vm.defineMethod(proto, "getRect", getRect);
    vm.defineMethod(proto, "localToGlobal", localToGlobal);
    vm.defineMethod(proto, "globalToLocal", globalToLocal);
    vm.defineMethod(proto, "hitTest", hitTest);
}

} // namespace avm1
