#pragma once

// LocalConnection: movies calling each other's methods by a connection name. Every
// movie this player plays shares one set of names (there is no other player to reach).
// A receiver connects under a name; a sender sends a method and arguments to a name.
// The message waits until the step's scripts have run, then the sender's onStatus hears
// "status" or "error", and the method of whichever receiver holds the name then runs
// with copies of the arguments.

namespace avm1 {

class Vm;

// Delivers the messages sent before this call; those the deliveries send wait for the
// next.
void deliverLocalConnectionMessages(Vm& vm);

} // namespace avm1
