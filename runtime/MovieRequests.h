#pragma once

#include "MovieFiles.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

class DisplayObject;

// loadMovie, loadMovieNum, MovieClipLoader.loadClip and their unloading counterparts
// as the player receives them: asked for by a script, carried out by the player in a
// later step (MovieLoading.cpp says when and how).
struct MovieRequest {
    enum class Kind : std::uint8_t { Load, Unload };
    Kind kind = Kind::Load;
    // The file, as the script wrote it (a query string included).
    std::string url;
    // Where: a level, or a clip (held weakly: a clip removed before its turn cancels
    // the request).
    std::optional<int> level;
    std::weak_ptr<DisplayObject> clip;
    // The script engine's name for whoever follows the load's events (a
    // MovieClipLoader); 0 when nobody does.
    std::uint64_t observer = 0;
    // The step the request was made in: it is carried out in a later one.
    std::uint64_t tick = 0;
    // A load's file, fetched and read at the end of the step that asked for it; or why
    // there is none.
    std::shared_ptr<const LoadedFile> file;
    std::string error;
    // A load whose target an unload asked later in the same step emptied at once: its
    // follower hears the start alone, and the movie never plays.
    bool abandoned = false;
};

class MovieRequests {
public:
    // False, and nothing queued, when limits::kMaxMovieRequests are waiting already.
    bool push(MovieRequest request);
    // The requests made before step `tick`, oldest first, `most` at most; later ones
    // stay queued.
    std::vector<MovieRequest> takeMadeBefore(std::uint64_t tick, std::size_t most);
    // The requests still waiting, oldest first.
    std::deque<MovieRequest>& waiting() { return m_requests; }
    bool empty() const { return m_requests.empty(); }
    std::size_t size() const { return m_requests.size(); }
    void clear() { m_requests.clear(); }

private:
    std::deque<MovieRequest> m_requests;
};

} // namespace runtime
