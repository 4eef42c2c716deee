#pragma once

#include "format/Filter.h"
#include "format/Geometry.h"
#include "format/Movie.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace runtime {

// One frame's drawing, flattened in painting order: what the renderer needs to know of
// the display tree, and nothing of how the runtime keeps it. Matrices map the object's
// own twips to stage twips; colour transforms are composed down the tree.
struct DrawCommand {
    enum class Kind : std::uint8_t {
        // Draw a character: Shape, MorphShape (at `ratio`), StaticText or EditText.
        Character,
        // Clipping: the commands up to EndMask draw the mask (their shapes' geometry,
        // not their colours); the commands after it, up to EndClip, are drawn inside it.
        BeginMask,
        EndMask,
        EndClip,
        // A sprite or button's contents, up to EndGroup. `blendMode` and `filters`
        // apply to the group as one layer; `objectId` and `contentVersion` let the
        // renderer reuse what it drew last time when only `matrix` has moved.
        BeginGroup,
        EndGroup,
    };

    Kind kind = Kind::Character;
    const swf::Character* character = nullptr; // Character
    // The movie the character's bitmaps and fonts come from, when it is not the list's
    // (a character of a movie a script loaded); null for the list's own.
    const swf::MovieDefinition* movie = nullptr;
    swf::Matrix matrix;
    swf::ColorTransform colorTransform;
    double ratio = 0;                  // morph shapes, 0 to 1
    const std::string* text = nullptr; // edit text's current text (UTF-8), or null
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    const std::vector<swf::Filter>* filters = nullptr; // groups; null or empty for none
    bool cacheAsBitmap = false;
    // A display object's identity for the life of the movie, and a number that changes
    // whenever anything it draws (or, for a group, anything inside it) changes other
    // than its own matrix.
    std::uint64_t objectId = 0;
    std::uint64_t contentVersion = 0;
};

struct DrawList {
    swf::Rect stage;      // the movie's stage rectangle, twips
    swf::Rgba background; // the movie's background colour
    swf::MoviePtr movie;  // keeps the characters alive while the list is drawn
    // The other movies commands draw from (movies scripts loaded), kept alive likewise.
    std::vector<swf::MoviePtr> otherMovies;
    std::vector<DrawCommand> commands;
    // Keeps what `text` and `filters` point to alive while the list is drawn, even when
    // the runtime moves on (a script changing a text field) before the renderer is done.
    std::vector<std::shared_ptr<const void>> retained;
};

} // namespace runtime
