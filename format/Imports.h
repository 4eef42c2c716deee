#pragma once

// ImportAssets and ImportAssets2 resolved: the characters a movie imports by name are
// fetched from the movies that export them and defined in the importer under the ids
// its import tags give, with everything they draw on brought along under ids the
// importer leaves free. The host fetches the files (the format library reads none).
#include "Movie.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace swf {

/// The host's side: the bytes of the movie at `url`, or the reason there are none. The
/// url is the import tag's, taken from the folder of the movie holding the tag
/// (importUrlFrom), so a relative one is relative to the main movie's place at every
/// level of nesting. A file larger than `maxBytes` is refused without being read whole.
using ImportFetcher =
    std::function<Result<std::vector<std::uint8_t>>(const std::string& url, std::size_t maxBytes)>;

/// The movie with its imports resolved (the same movie when it imports nothing).
/// `movieUrl` names the movie itself as its libraries would (its file name), so that a
/// library importing it back is seen as the cycle it is. What cannot be brought in (a
/// missing file or name, a cycle, a cap of Limits.h reached) leaves a note in the
/// movie's notes: the movie plays without it.
///
/// Each character brought in is a copy with its ids renumbered (CharacterReferences.h)
/// and its `swfVersion` set to the version of the movie that wrote it. The init actions
/// its movie gives for the sprites brought in are put on the importer's main timeline
/// where the import tag stood, before the tags that followed it there: the runtime
/// meets them as it meets the importer's own, and runs them before any frame code of
/// that frame, the imported sprite's first frame included. An imported name becomes an
/// export of the importer too (unless it exports that name itself), so that scripts can
/// attach the character by the name it was imported under.
Result<MoviePtr> resolveImports(MoviePtr movie, const ImportFetcher& fetch,
                                std::string_view movieUrl = {});

/// `url` as seen from the movie at `base`: a relative url is taken from the folder of
/// `base`, with "." and "name/.." steps folded away; any other url stays as written.
std::string importUrlFrom(std::string_view base, std::string_view url);

} // namespace swf
