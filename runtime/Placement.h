#pragma once

#include "format/DisplayTags.h"

#include <optional>
#include <string>
#include <vector>

namespace runtime {

class DisplayObject;

// What the PlaceObject tags of a timeline have said about one depth so far: the fields
// of the tags, later ones over earlier ones. Names, filters and clip actions point into
// the movie definition, which outlives every object of its player.
struct Placement {
    std::optional<swf::CharacterId> characterId;
    std::optional<swf::Matrix> matrix;
    std::optional<swf::ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    const std::string* name = nullptr;
    std::optional<std::uint16_t> clipDepth;
    std::optional<swf::BlendMode> blendMode;
    const std::vector<swf::Filter>* filters = nullptr;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<swf::Rgba> backgroundColor;
    const std::vector<swf::ClipAction>* clipActions = nullptr;

    static Placement fromTag(const swf::PlaceObject& tag);
    // The fields `tag` gives replace the ones held; the others stay.
    void merge(const swf::PlaceObject& tag);
};

// Whether a field the placement does not give keeps the object's current value (a move)
// or returns to its default (an object set to a timeline's state afresh).
enum class AbsentFields : bool { Keep, Reset };

void applyPlacement(DisplayObject& object, const Placement& placement, AbsentFields absent);

// A replacement (a move that names another character) shows the new character where
// the old one was: it takes over the old object's name and properties, and the tag's
// own fields apply after.
void inheritPlacement(const DisplayObject& from, DisplayObject& to);

} // namespace runtime
