#pragma once

// Events the player's services report after the step's scripts have run, as the
// reference reports what a dialog or a connection did: a file dialog the player cannot
// show is cancelled, a socket it cannot open fails. Each is a broadcastMessage on the
// object, so its listeners and its own handler both hear it.

#include "avm1/Value.h"

#include <span>
#include <string_view>
#include <vector>

namespace avm1 {

class Object;
class String;
class Vm;

// Queues `target`.broadcastMessage(event, args...); false when too many wait.
bool deferBroadcast(Vm& vm, Object* target, std::string_view event, std::vector<Value> args);

// `target`.broadcastMessage(event, args...) now, with a fresh time budget; an uncaught
// exception is reported as the reference reports it.
void broadcastNow(Vm& vm, Object* target, String* event, std::span<const Value> args);

// Queues `target`.`method`(args...), for objects that are no broadcasters (XMLSocket's
// onConnect); false when too many wait.
bool deferCall(Vm& vm, Object* target, std::string_view method, std::vector<Value> args);

// Delivers what was queued before this call; what those handlers queue waits for the
// next.
void deliverDeferredEvents(Vm& vm);

} // namespace avm1
