#include "Placement.h"

#include "DisplayObject.h"
#include "PlayerContext.h"

namespace runtime {

Placement Placement::fromTag(const swf::PlaceObject& tag)
{
    Placement placement;
    placement.merge(tag);
    return placement;
}

void Placement::merge(const swf::PlaceObject& tag)
{
    if (tag.characterId)
        characterId = tag.characterId;
    if (tag.matrix)
        matrix = tag.matrix;
    if (tag.colorTransform)
        colorTransform = tag.colorTransform;
    if (tag.ratio)
        ratio = tag.ratio;
    if (tag.name)
        name = &*tag.name;
    if (tag.clipDepth)
        clipDepth = tag.clipDepth;
    if (tag.blendMode)
        blendMode = tag.blendMode;
    if (tag.filters)
        filters = &*tag.filters;
    if (tag.cacheAsBitmap)
        cacheAsBitmap = tag.cacheAsBitmap;
    if (tag.visible)
        visible = tag.visible;
    if (tag.backgroundColor)
        backgroundColor = tag.backgroundColor;
    // Clip event handlers come with the placing tag only.
    if (!tag.move && !tag.clipActions.empty())
        clipActions = &tag.clipActions;
}

void applyPlacement(DisplayObject& object, const Placement& placement, AbsentFields absent)
{
    const bool reset = absent == AbsentFields::Reset;
    // Once a script has set an object's transform, the timeline no longer moves or
    // tints it, as in the reference.
    const bool timelineTransform = !object.isScriptTransformed();
    if (timelineTransform && (placement.matrix || reset))
        object.setMatrix(placement.matrix.value_or(swf::Matrix{}));
    if (timelineTransform && (placement.colorTransform || reset))
        object.setColorTransform(placement.colorTransform.value_or(swf::ColorTransform{}));
    if (placement.ratio || reset)
        object.setRatio(placement.ratio.value_or(0));
    if (placement.clipDepth || reset)
        object.setClipDepth(placement.clipDepth.value_or(0));
    if (placement.blendMode || reset)
        object.setBlendMode(placement.blendMode.value_or(swf::BlendMode::Normal));
    if (placement.filters) {
        // Shares the movie's ownership: the list lives as long as the definition.
        object.setFilters(FilterList(object.movieInstance().definitionPtr(), placement.filters));
    } else if (reset) {
        object.setFilters(nullptr);
    }
    if (placement.cacheAsBitmap || reset)
        object.setCacheAsBitmap(placement.cacheAsBitmap.value_or(false));
    if (placement.visible || reset)
        object.setVisible(placement.visible.value_or(true));
    // Scripts may set it too: a tag without one leaves theirs.
    if (placement.backgroundColor) {
        swf::Rgba opaque = *placement.backgroundColor;
        opaque.a = 255;
        object.setOpaqueBackground(opaque);
    }
    // A name is never taken away: an unnamed object keeps the one it was given.
    if (placement.name)
        object.setName(*placement.name);
    if (placement.clipActions)
        object.setClipActions(placement.clipActions);
}

void inheritPlacement(const DisplayObject& from, DisplayObject& to)
{
    to.setName(from.name());
    to.setMatrix(from.matrix());
    to.setColorTransform(from.colorTransform());
    to.setRatio(from.ratio());
    to.setClipDepth(from.clipDepth());
    to.setBlendMode(from.blendMode());
    to.setFilters(from.filters());
    to.setCacheAsBitmap(from.cacheAsBitmap());
    to.setVisible(from.visible());
    to.setOpaqueBackground(from.opaqueBackground());
    to.setClipActions(from.clipActions());
    to.setPlacedBy(from.placedBy());
    if (from.isScriptTransformed())
        to.markScriptTransformed();
}

} // namespace runtime
