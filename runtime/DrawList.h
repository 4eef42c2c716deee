#pragma once

#include "PixelSnapping.h"
#include "format/Filter.h"
#include "format/Geometry.h"
#include "format/Movie.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

struct TextLayout;

// A script's bitmap as a drawing's fill paints it: its pixels now (none once disposed),
// and a stamp that differs for any other pixels, of this bitmap or another.
struct DrawnBitmap {
    std::shared_ptr<const swf::Bitmap> pixels;
    std::uint64_t stamp = 0;
};

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
        // What a clip's scripts drew (`drawing`), painted like a Shape right after the
        // clip's BeginGroup, below its children. A new drawing of the same clip has a
        // new `contentVersion`: the renderer keys what it prepared from it by
        // `objectId` and that.
        Drawing,
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
    // Edit text: its text laid out, and how far it is scrolled (twips up and left).
    std::shared_ptr<const TextLayout> textLayout;
    std::int32_t textScrollY = 0, textScrollX = 0;
    // Edit text: the colours of the box's fill and frame, when the field shows them.
    std::optional<swf::Rgba> boxBackground, boxBorder;
    // Edit text with the focus: the boxes its selection covers, and the caret (a box
    // without width) while nothing is selected, in the field's own twips.
    std::vector<swf::Rect> textSelection;
    std::optional<swf::Rect> textCaret;
    // Character with pixels: a script's bitmap (attachBitmap), or a video's picture
    // (its matrix scales the picture to the video's size), each pixel 20 twips of its
    // own space, sampled bilinearly when `smoothing` is on.
    const swf::Bitmap* bitmap = nullptr;
    bool smoothing = false;
    PixelSnapping pixelSnapping = PixelSnapping::Never;
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    const std::vector<swf::Filter>* filters = nullptr; // groups; null or empty for none
    bool cacheAsBitmap = false;
    // Groups: their contents are cut to `clipRect` of the group's own space (a scroll
    // rectangle), and drawn over `background` filling `backgroundBox` (an opaque
    // background), when set. Inside a mask neither counts: only shapes do.
    std::optional<swf::Rect> clipRect;
    std::optional<swf::Rgba> background;
    swf::Rect backgroundBox;
    // A display object's identity for the life of the movie, and a number that changes
    // whenever anything it draws (or, for a group, anything inside it) changes other
    // than its own matrix.
    std::uint64_t objectId = 0;
    std::uint64_t contentVersion = 0;
    std::shared_ptr<const swf::Shape> drawing; // Drawing
    // Drawing: what its bitmap fills paint with, by their bitmapId. Their stamps are
    // folded into `contentVersion`.
    std::vector<DrawnBitmap> drawingBitmaps;
};

struct DrawList {
    swf::Rect stage;      // the movie's stage rectangle, twips
    swf::Rgba background; // the movie's background colour
    swf::MoviePtr movie;  // keeps the characters alive while the list is drawn
    // The other movies commands draw from (movies scripts loaded), kept alive likewise.
    std::vector<swf::MoviePtr> otherMovies;
    std::vector<DrawCommand> commands;
    // The rectangle the keyboard focus shows around the focused object, stage twips:
    // drawn over everything, its edges inside the box.
    std::optional<swf::Rect> focusRect;
    // Keeps what `text` and `filters` point to alive while the list is drawn, even when
    // the runtime moves on (a script changing a text field) before the renderer is done.
    std::vector<std::shared_ptr<const void>> retained;
};

} // namespace runtime
