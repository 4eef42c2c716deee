#include "MovieFiles.h"

#include "Limits.h"
#include "MovieInstance.h"
#include "format/ImageMovie.h"
#include "format/Imports.h"
#include "format/Limits.h"

#include <algorithm>
#include <cctype>

namespace runtime {

namespace {

bool isMovieFile(std::span<const std::uint8_t> file)
{
    if (file.size() < 8 || file[1] != 'W' || file[2] != 'S')
        return false;
    return file[0] == 'F' || file[0] == 'C' || file[0] == 'Z';
}

bool hasScheme(std::string_view url)
{
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    return std::all_of(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

} // namespace

swf::Result<LoadedFile> readLoadedFile(Host& host, const std::string& url, std::uint8_t ownVersion)
{
    auto fetched = host.fetchFile(url, limits::kMaxLoadedFileBytes);
    if (!fetched)
        return fetched.error();
    const std::vector<std::uint8_t>& bytes = *fetched;
    LoadedFile out;
    if (isMovieFile(bytes)) {
        auto movie = swf::loadMovie(bytes);
        if (!movie)
            return movie.error();
        // The movie's libraries lie beside it, as the host finds files.
        const swf::ImportFetcher fetch = [&host, &url](const std::string& importUrl,
                                                       std::size_t maxBytes) {
            return host.fetchFile(swf::importUrlFrom(url, importUrl), maxBytes);
        };
        const std::size_t slash = url.find_last_of("/\\");
        auto resolved = swf::resolveImports(std::move(*movie), fetch,
                                            slash == std::string::npos
                                                ? std::string_view(url)
                                                : std::string_view(url).substr(slash + 1));
        if (!resolved)
            return resolved.error();
        out.movie = std::move(*resolved);
        out.bytesTotal = MovieInstance::reportedLength(out.movie->header);
        return out;
    }
    if (!swf::isImageFile(bytes)) {
        auto empty = std::make_shared<swf::MovieDefinition>();
        // Its clip keeps the rules of the movie that loaded it.
        empty->header.version = ownVersion;
        out.movie = std::move(empty);
        out.isEmpty = true;
        out.bytesTotal = bytes.size();
        return out;
    }
    auto image = swf::movieFromImage(bytes, ownVersion);
    if (!image)
        return image.error();
    out.movie = std::move(*image);
    out.isImage = true;
    out.bytesTotal = bytes.size();
    return out;
}

std::string addressFrom(std::string_view base, std::string_view url)
{
    if (hasScheme(url) || base.empty())
        return std::string(url);
    const std::size_t slash = base.find_last_of('/');
    if (url.starts_with('/')) {
        // From the root of the base's path: after "scheme://host" when there is one.
        const std::size_t authority = base.find("://");
        if (authority == std::string_view::npos)
            return std::string(url);
        const std::size_t pathStart = base.find('/', authority + 3);
        return std::string(base.substr(0, pathStart)) + std::string(url);
    }
    if (slash == std::string_view::npos)
        return std::string(url);
    return std::string(base.substr(0, slash + 1)) + std::string(url);
}

} // namespace runtime
