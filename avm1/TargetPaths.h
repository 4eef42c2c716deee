#pragma once

// Target paths as scripts write them, to the objects they name. One grammar serves
// tellTarget, GetProperty's targets, the path forms of variable names and the natives
// that take a target (getBounds, hitTest), as the reference player resolves them:
//   - "/" first starts at the main timeline; "/" separates names, and from SWF 5 so
//     do ":" and (until a "/" has been met) "."; empty names are skipped, except
//     that "//", a "." with no name before it, and a path ending in ":" after another
//     separator name nothing;
//   - ".." where a name may start (not right after a ".") is the parent, as is
//     "_parent"; "_root" and "_levelN"/"_flashN" (any text may follow the digits)
//     are the root of the start's movie (ClipRoots.h) and the levels' roots, nothing
//     for a level where no movie plays; SWF 4 knows no "_root" and takes a level only
//     as the path's first name;
//   - any other name is the child of that instance name (a shape stands for the clip
//     holding it, having no script object of its own), or else a member of the
//     object reached that holds an object (from SWF 5 a string, number or boolean
//     met there is reported in the trace output, as the reference does).
// A removed clip with nothing at its path now is the top of a tree of its own: its
// "_root" is itself.

#include "String.h"
#include "Value.h"

#include <functional>
#include <optional>
#include <string_view>

namespace avm1 {

struct Activation;
class Interpreter;
class Object;
class Vm;

// Looks the first name of a path up in the running code's scope (variable paths
// reach locals and "this" that way).
using ScopeLookup = std::function<Value(std::string_view name)>;

// The object `path` names from `start`; null when a name on the way names nothing.
// `root` is the main timeline's object; `scope`, when given, answers a first name that
// is no child of `start`.
Object* walkTargetPath(Vm& vm, Object* start, Object* root, std::string_view path,
                       const ScopeLookup* scope = nullptr);
// The same from a clip, for natives: the main timeline is the clip's registry's.
Object* resolveTargetFrom(Vm& vm, Object* start, std::string_view path);

// A variable name's path form: "path:name" or (from SWF 5) "path.name", split at the
// last of them; the path's first name may be any variable in scope, and "this" there
// is the timeline the code runs on. `owner` is null when the path names nothing (an
// empty path names nothing either).
struct VariablePath {
    bool isPath = false;
    Object* owner = nullptr;
    std::string_view member;
};
VariablePath resolveVariablePath(Interpreter& in, Activation& frame, std::string_view name);

// The level a "_levelN" or "_flashN" name gives (digits after the prefix, wrapped to 32
// bits as the reference reads them; none means 0); nothing for other names. The prefix
// is compared as the movie compares names: from SWF 7, "_LEVEL0" names no level.
std::optional<long long> levelNumber(std::string_view name, CaseRule rule = CaseRule::Insensitive);

} // namespace avm1
