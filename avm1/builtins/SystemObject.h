#pragma once

// What System reports that depends on the movie playing: the engine tells it once the
// movie is loaded.

namespace avm1 {

class Object;
class String;
class Vm;

struct MovieFacts {
    // The movie asked for network access rather than local files (FileAttributes).
    bool useNetwork = false;
};

// The player's version as $version and System.capabilities.version give it.
String* playerVersionText(Vm& vm);

// Sets $version on the main timeline `root` and the movie's security sandbox.
void describeMovie(Vm& vm, Object* root, const MovieFacts& facts);

} // namespace avm1
