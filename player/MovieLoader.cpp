#include "MovieLoader.h"

#include "format/ByteBuffer.h"
#include "format/Limits.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
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

swf::Error refused(const char* why)
{
    return swf::makeError(swf::ErrorCode::CannotOpen, std::string("refused, ") + why);
}

// Leniency: movies made on systems whose file names ignore case name their libraries
// in any case; the one file in the folder whose name matches but for case is taken.
QString matchIgnoringCase(const QFileInfo& wanted)
{
    const QDir folder = wanted.dir();
    if (!folder.exists())
        return {};
    QString found;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        if (name.compare(wanted.fileName(), Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {}; // two candidates: neither is taken
        found = folder.filePath(name);
    }
    return found;
}

bool inside(const QString& path, const QString& folder)
{
    return path.startsWith(folder.endsWith('/') ? folder : folder + '/');
}

} // namespace

swf::Result<QString> importedFilePath(const QString& movieFolder, const std::string& url)
{
    // Separators as either system writes them; a query or fragment names no file.
    QString text = QString::fromUtf8(url.data(), qsizetype(url.size()));
    text.replace('\\', '/');
    static const QRegularExpression suffix("[?#]");
    if (const qsizetype at = text.indexOf(suffix); at >= 0)
        text.truncate(at);
    static const QRegularExpression scheme("^([A-Za-z][A-Za-z0-9+.-]*):");
    if (const auto match = scheme.match(text); match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name.size() == 1)
            return refused("an absolute path"); // a drive letter
        if (name != "file")
            return refused("not a local file");
        text = text.mid(match.capturedLength());
        if (text.startsWith("//"))
            return refused("an absolute path");
    }
    text = QUrl::fromPercentEncoding(text.toUtf8());
    if (text.isEmpty())
        return refused("no file name");
    if (text.startsWith('/'))
        return refused("an absolute path");

    const QString folder = QDir::cleanPath(QDir(movieFolder).absolutePath());
    const QString wanted = QDir::cleanPath(folder + '/' + text);
    if (!inside(wanted, folder))
        return refused("outside the movie's folder");
    QFileInfo file(wanted);
    if (!file.exists()) {
        const QString other = matchIgnoringCase(file);
        if (other.isEmpty())
            return swf::makeError(swf::ErrorCode::CannotOpen, "no such file");
        file.setFile(other);
    }
    // A link inside the folder may still lead out of it.
    const QString real = file.canonicalFilePath();
    if (!inside(real, QFileInfo(folder).canonicalFilePath()))
        return refused("outside the movie's folder");
    if (!file.isFile())
        return swf::makeError(swf::ErrorCode::CannotOpen, "not a file");
    return real;
}

swf::ImportFetcher importFetcherFor(const QString& movieFolder)
{
    return [movieFolder](const std::string& url,
                         std::size_t maxBytes) -> swf::Result<std::vector<std::uint8_t>> {
        auto path = importedFilePath(movieFolder, url);
        if (!path)
            return path.error();
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly))
            return swf::makeError(swf::ErrorCode::CannotRead);
        const qint64 limit = qint64(std::min<std::size_t>(maxBytes, kMaxFileBytes));
        if (file.size() > limit)
            return swf::makeError(swf::ErrorCode::TooLarge, "import file");
        // The size may change under us: no more than the limit is read all the same.
        const QByteArray bytes = file.read(limit + 1);
        if (bytes.size() > limit)
            return swf::makeError(swf::ErrorCode::TooLarge, "import file");
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    };
}

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
    auto movie = swf::parseMovie(*decoded);
    if (!movie)
        return movie;
    const QFileInfo file(path);
    return swf::resolveImports(std::move(*movie), importFetcherFor(file.absolutePath()),
                               file.fileName().toStdString());
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
