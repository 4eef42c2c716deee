#pragma once

// The files scripts load into levels and clips, fetched through the host and read.
#include "Host.h"
#include "format/Movie.h"
#include "format/Result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

struct LoadedFile {
    swf::MoviePtr movie;
    bool isImage = false;
    // Neither a movie nor an image (a text file, say): it loads as an empty movie, as
    // the reference lets a clip take any file it can fetch.
    bool isEmpty = false;
    // What getBytesTotal reports: a movie's declared length, another file's size.
    std::size_t bytesTotal = 0;
};

// The movie in the file at `url` (as the script wrote it; the host takes it from the
// main movie's place): a movie with its imports resolved beside it, or an image as
// swf::movieFromImage makes it (of version `ownVersion`). Fails when the host has no
// such file or refuses it, and for a file that is neither, or that cannot be read.
swf::Result<LoadedFile> readLoadedFile(Host& host, const std::string& url, std::uint8_t ownVersion);

// `url` as an address seen from the movie at `base` ("file:///movie.swf"): a relative
// url replaces the last part of the base's path; an absolute one stays as written.
std::string addressFrom(std::string_view base, std::string_view url);

} // namespace runtime
