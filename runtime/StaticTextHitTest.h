#pragma once

#include "format/Text.h"

namespace swf {
struct MovieDefinition;
}

namespace runtime {

class HitTestBudget;

// Whether a point of a DefineText (in its character's twips) falls inside one of its
// glyphs' outlines: the spaces between letters and lines are not the text's. A glyph
// whose font the movie lacks covers nothing.
bool hitTestStaticText(const swf::StaticText& text, const swf::MovieDefinition& movie, double x,
                       double y, HitTestBudget* budget);

} // namespace runtime
