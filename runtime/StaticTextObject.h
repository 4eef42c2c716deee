#pragma once

#include "DisplayObject.h"

namespace runtime {

// A placed DefineText or DefineText2: its runs never change.
class StaticTextObject : public DisplayObject {
public:
    StaticTextObject(PlayerContext& context, const swf::Character* character)
        : DisplayObject(context, ObjectKind::StaticText, character)
    {}
};

} // namespace runtime
