#pragma once

#include "DisplayObject.h"

#include <memory>

namespace runtime {

class ContainerObject;

// Shapes, morph shapes, texts, buttons, sprites, videos and bitmaps; not fonts or sounds.
bool isPlaceable(const swf::Character* character);

// Makes the display object for a character about to be placed in `parent`. Returns
// null, with a diagnostic, for what cannot be placed: an id the movie does not define,
// a character that is not drawn by itself (bitmaps, fonts, sounds), a sprite or button
// nested past limits::kMaxDisplayNesting, or one object past limits::kMaxDisplayObjects.
// These are ignored rather than fatal: the rest of the movie still plays.
// The character is the one `parent`'s movie defines under `id`, and the object belongs
// to that movie too. The object is not yet placed: place it, apply its placement, then
// initialize() it.
std::shared_ptr<DisplayObject> createObject(swf::CharacterId id, const ContainerObject& parent);
// The same for a character of `movie` (duplicateMovieClip copies a clip of its own).
std::shared_ptr<DisplayObject> createObject(const swf::Character* character,
                                            const ContainerObject& parent,
                                            const MovieInstancePtr& movie);

} // namespace runtime
