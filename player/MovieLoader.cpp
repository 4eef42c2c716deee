#include "MovieLoader.h"

#include "format/ByteBuffer.h"
#include "format/Limits.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <mutex>
#include <thread>

namespace player {

namespace {

const QEvent::Type kLoadedEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

struct LoadedEvent : QEvent {
    LoadedEvent(std::uint64_t g, MovieLoader::Result r)
        : QEvent(kLoadedEvent), generation(g), result(std::move(r))
    {}
    std::uint64_t generation;
    MovieLoader::Result result;
};

// The largest file read: a compressed movie is never larger than its uncompressed body.
constexpr std::size_t kMaxFileBytes = swf::limits::kMaxMovieBytes + 64;

} // namespace

// Shared by the loader and its workers: a worker posts its result only while the
// loader is there to receive it.
struct MovieLoader::Channel {
    std::mutex mutex;
    MovieLoader* receiver = nullptr;
};

MovieLoader::Result loadMovieFile(const QString& path)
{
    swf::Result<swf::MovieFile> decoded = swf::makeError(swf::ErrorCode::CannotRead);
    {
        swf::MappedFile file(QFile::encodeName(path).constData(), kMaxFileBytes);
        if (file.tooLarge())
            return swf::makeError(swf::ErrorCode::TooLarge, "file length");
        if (!file.ok())
            return swf::makeError(file.exists() ? swf::ErrorCode::CannotRead
                                                : swf::ErrorCode::CannotOpen);
        decoded = swf::decodeMovieFile(file.bytes());
    }
    if (!decoded)
        return decoded.error();
    return swf::parseMovie(*decoded);
}

MovieLoader::MovieLoader(Done done)
    : m_channel(std::make_shared<Channel>()), m_done(std::move(done))
{
    m_channel->receiver = this;
}

MovieLoader::~MovieLoader()
{
    std::lock_guard lock(m_channel->mutex);
    m_channel->receiver = nullptr;
}

void MovieLoader::load(const QString& path)
{
    const std::uint64_t generation = ++m_generation;
    m_loading = true;
    std::thread([channel = m_channel, path, generation] {
        Result result = loadMovieFile(path);
        std::lock_guard lock(channel->mutex);
        if (channel->receiver)
            QCoreApplication::postEvent(channel->receiver,
                                        new LoadedEvent(generation, std::move(result)));
    }).detach();
}

void MovieLoader::cancel()
{
    ++m_generation;
    m_loading = false;
}

void MovieLoader::customEvent(QEvent* event)
{
    if (event->type() != kLoadedEvent)
        return;
    auto* loaded = static_cast<LoadedEvent*>(event);
    if (loaded->generation != m_generation)
        return; // superseded by a later load
    m_loading = false;
    m_done(std::move(loaded->result));
}

} // namespace player
