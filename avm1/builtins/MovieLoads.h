#pragma once

// Movies scripts load into levels and clips: loadMovie, loadMovieNum, unloadMovie and
// unloadMovieNum (the GetURL actions and MovieClip's methods) and MovieClipLoader. A
// request goes to the player, which carries it out in a later step
// (runtime/MovieLoading.cpp); a MovieClipLoader hears how it went through its
// broadcastMessage, with the clip the movie went into:
//   onLoadStart(target), onLoadProgress(target, bytesLoaded, bytesTotal),
//   onLoadComplete(target, httpStatus), onLoadInit(target) once the movie's first
//   frame has run, or onLoadError(target, errorCode, httpStatus) alone.

#include "avm1/Heap.h"
#include "avm1/Value.h"
#include "runtime/ScriptEngine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace runtime {
class DisplayObject;
} // namespace runtime

namespace avm1 {

class ClipObject;
class Object;
class Vm;

// Where a load goes: a level, or a clip.
struct LoadTarget {
    std::optional<int> level;
    ClipObject* clip = nullptr;
    bool valid() const { return level.has_value() || clip; }
};

// The level a target string names ("_level3", any case; digits only), or nothing.
std::optional<int> levelTargetOf(std::string_view text);

// The player is asked to load `url` into `target` (unload it, for an empty url);
// `observer` is the MovieClipLoader following it (0 for none). False when the request
// cannot be made (no such target, too many waiting).
bool requestMovie(Vm& vm, const LoadTarget& target, std::string url, std::uint64_t observer = 0);
bool requestUnload(Vm& vm, const LoadTarget& target);

// The loaders following loads under way, by the name the player knows them by. A
// loader stays alive while one of its loads is under way.
class MovieLoadObservers final : public Cell {
public:
    std::uint64_t add(Object* loader);
    Object* find(std::uint64_t observer) const;
    void remove(std::uint64_t observer);
    std::size_t size() const { return m_loaders.size(); }

    void traceChildren(Tracer& tracer) override;
    std::size_t extraBytes() const override { return m_loaders.size() * 32; }

private:
    std::unordered_map<std::uint64_t, Object*> m_loaders;
    std::uint64_t m_next = 1;
};

// The VM's table, made on first use.
MovieLoadObservers& movieLoadObservers(Vm& vm);

// Hands one load event to the loader following it, through its broadcastMessage;
// `target` is the clip the movie went into (null for a level that never came). The
// loader is let go after Init and Error.
void deliverLoadEvent(Vm& vm, std::uint64_t observer, runtime::LoadEvent event, ClipObject* target,
                      std::size_t bytes);

// A movie was loaded into `clip`: its variables and handlers go, it is a plain clip
// again, and the variables the movie's address gives after "?" are set on it.
void startClipAfresh(Vm& vm, ClipObject& clip);

} // namespace avm1
