#pragma once

#include "Bounds.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace runtime {

class EditTextObject;

// Where the caret stands in a field's laid-out text, and back: in the field's own
// twips, with its scroll applied.

// The text unit the caret goes to for a press at the point (stage twips): the nearer
// edge of the character under it on the line at that height, the end of the line past
// its end.
std::size_t caretIndexAt(const EditTextObject& field, double x, double y);

// The text unit whose character holds the point (stage twips), if any: for links.
std::optional<std::size_t> unitAt(const EditTextObject& field, double x, double y);

// The laid-out line holding text unit `index`: its first unit and the unit after its
// last; nothing when the text is not laid out.
std::optional<std::pair<std::size_t, std::size_t>> lineAround(const EditTextObject& field,
                                                              std::size_t index);

// The caret's box before text unit `index`: a line's height, no width.
Bounds caretBox(const EditTextObject& field, std::size_t index);

// The boxes units [begin, end) cover, one a line, each as tall as its line.
std::vector<Bounds> selectionBoxes(const EditTextObject& field, std::size_t begin, std::size_t end);

// A box in whole twips (boxes here are far inside 32 bits: a field's own space).
swf::Rect twipsRect(const Bounds& box);

} // namespace runtime
