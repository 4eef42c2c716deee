#pragma once

// Events the player's services report after the step's scripts have run, as the
// reference reports what a dialog or a connection did: a file dialog the player cannot
// show is cancelled, a socket it cannot open fails. Each is a broadcastMessage on the
// object, so its listeners and its own handler both hear it.

#include "avm1/Value.h"

#include <string_view>
#include <vector>

namespace avm1 {

class Object;
class Vm;

// Queues `target`.broadcastMessage(event, args...); false when too many wait.
bool deferBroadcast(Vm& vm, Object* target, std::string_view event, std::vector<Value> args);

// Delivers what was queued before this call; what those handlers queue waits for the
// next.
void deliverDeferredEvents(Vm& vm);

} // namespace avm1
