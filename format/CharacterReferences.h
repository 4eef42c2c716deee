#pragma once

// The ids one definition uses to name others: the characters a sprite's timeline
// places (and removes, and the sprites of its init actions), its sounds, the fonts of
// texts, the bitmaps of fills, a button's records. Moving a character into another
// movie's dictionary (Imports.h) rewrites them to the ids they get there, bringing each
// one along the first time it is met.
#include "Movie.h"

#include <functional>

namespace swf {

// Called once for every id a definition names, in the order met; returns the id to
// name instead.
using Renumbering = std::function<CharacterId(CharacterId)>;

// A copy of `data` with every id it names replaced by `renumber(id)`. A shape's layers
// are made first where they were deferred, since its bitmap fills live in them; a
// shape without bitmap fills keeps its deferred records.
CharacterData renumberReferences(const CharacterData& data, const Renumbering& renumber);

} // namespace swf
