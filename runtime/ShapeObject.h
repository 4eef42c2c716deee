#pragma once

#include "DisplayObject.h"

namespace runtime {

// A placed DefineShape or DefineMorphShape. A morph shape draws the shape between its
// start and end at the placement's ratio (0 to 65535).
class ShapeObject : public DisplayObject {
public:
    ShapeObject(PlayerContext& context, const swf::Character* character, ObjectKind kind)
        : DisplayObject(context, kind, character)
    {}

    bool isMorph() const { return kind() == ObjectKind::MorphShape; }
    // The ratio as the fraction the renderer uses.
    double morphRatio() const { return ratio() / 65535.0; }
};

} // namespace runtime
