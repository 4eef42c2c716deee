#pragma once

// Target paths as scripts write them, to the objects they name. One grammar serves
// tellTarget, GetProperty's targets, the path forms of variable names and the natives
// that take a target (getBounds, hitTest):
//   - "/" first starts at the main timeline; "/", ":" and (from SWF 5, until a "/"
//     has been met) "." separate names; empty names are skipped;
//   - ".." before a separator or the end is the parent, as are "_parent"; "_root" and
//     "_level0" (and "_flash0", with any text after the digits) the main timeline;
//     other levels are never loaded; "_global" the global object;
//   - any other name is the child clip of that instance name, or else a member of the
//     object reached that holds an object.
// A removed clip with nothing at its path now is the top of a tree of its own: its
// "_root" is itself.

#include <functional>
#include <optional>
#include <string_view>

namespace avm1 {

class Object;
class Vm;

// Looks the first name of a path up in the running code's scope (variable paths
// reach locals and "this" that way); returns null when it names no object.
using ScopeLookup = std::function<Object*(std::string_view name)>;

// The object `path` names from `start`; null when a name on the way names nothing.
// `root` is the main timeline's object; `scope`, when given, answers a first name that
// is no child of `start`.
Object* walkTargetPath(Vm& vm, Object* start, Object* root, std::string_view path,
                       const ScopeLookup* scope = nullptr);
// The same from a clip, for natives: the main timeline is the clip's registry's.
Object* resolveTargetFrom(Vm& vm, Object* start, std::string_view path);

// The level a "_levelN" or "_flashN" name gives (digits after the prefix, wrapped to 32
// bits as the reference reads them; none means 0); nothing for other names.
std::optional<long long> levelNumber(std::string_view name);

} // namespace avm1
