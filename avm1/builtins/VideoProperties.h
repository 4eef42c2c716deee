#pragma once

// What a placed video answers besides the display properties clips share: its decoded
// picture's size (width, height: 0 before a picture), smoothing and deblocking.
#include "avm1/Value.h"

namespace runtime {
class DisplayObject;
}

namespace avm1 {

class String;
class Vm;

// Both are false for objects that are no video and for names that are none of these.
// Width and height are read-only: setting them is taken, and changes nothing.
bool getVideoProperty(Vm& vm, runtime::DisplayObject& object, String* name, Value& out);
bool setVideoProperty(Vm& vm, runtime::DisplayObject& object, String* name, const Value& value);

} // namespace avm1
