#pragma once

#include "script/gc/Heap.h"

namespace avm1 {

// The collector is shared with the ActionScript 3 machine.
using script::Cell;
using script::Heap;
using script::Tracer;

} // namespace avm1
