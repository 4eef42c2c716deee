#pragma once

#include <vector>

namespace runtime {

class DisplayObject;
class SpriteObject;

// The objects the Tab key moves the focus through, in the order it visits them.
//
// Objects on the stage and shown take part: buttons that are enabled, clips acting as
// buttons, input text fields, and whatever scripts set tabEnabled on (tabEnabled false
// leaves one out; a dynamic field never takes part). A clip with tabChildren false
// hides what it holds, the main timeline included.
//
// When scripts gave any of them a tabIndex, the order is by tabIndex and only the
// objects with one take part, plain clips with one too; otherwise it is the automatic
// order, from the top of the stage down and, along one line, from left to right. The
// display order breaks ties, a clip before what it holds.
std::vector<DisplayObject*> tabOrder(SpriteObject& root);

} // namespace runtime
