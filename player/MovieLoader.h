#pragma once

#include "format/Imports.h"
#include "format/Movie.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

namespace player {

// Loads movies on a worker thread of their own, so that a large file never freezes
// the window, and hands each result back on the thread that asked for it. A newer load
// supersedes an older one still under way: the older result is dropped when it
// arrives. The loader never waits for a worker: one still reading when the loader
// goes (the program closing mid-load) finishes on its own and its result is dropped.
class MovieLoader : public QObject {
public:
    using Result = swf::Result<swf::MoviePtr>;
    using Done = std::function<void(Result)>;

    explicit MovieLoader(Done done);
    ~MovieLoader() override;

    void load(const QString& path);
    // Drops the result of any load under way.
    void cancel();
    bool isLoading() const { return m_loading; }

protected:
    void customEvent(QEvent* event) override;

private:
    struct Channel;
    std::shared_ptr<Channel> m_channel;
    Done m_done;
    std::uint64_t m_generation = 0;
    bool m_loading = false;
};

// Reads and parses one movie file, with the movies it imports from (found beside it by
// importFetcherFor); what the worker runs. The file's bytes are let go as soon as they
// are decompressed, and the uncompressed body once it is parsed.
MovieLoader::Result loadMovieFile(const QString& path);

// The file an import's url names: one in `movieFolder` or a folder below it, reached
// by a relative path or a relative file: url. Absolute paths, paths leaving the folder
// (through ".." or a link) and other schemes are refused; a refusal or a missing file
// is the reason why, which the format library keeps as a note of the movie.
swf::Result<QString> importedFilePath(const QString& movieFolder, const std::string& url);
// Fetches imports for a movie in `movieFolder`, through importedFilePath.
swf::ImportFetcher importFetcherFor(const QString& movieFolder);

} // namespace player
