#include "MovieSession.h"

#include "ChosenFiles.h"
#include "Diagnostics.h"
#include "ScriptEngines.h"
#include "render/DeviceFonts.h"
#include "runtime/MovieSounds.h"
#include "runtime/PlayerContext.h"

namespace player {

namespace {
// The movie's own trace output: for developers, off by default like the diagnostics.
Q_LOGGING_CATEGORY(lcMovieTrace, "reelvane.trace", QtWarningMsg)
} // namespace

MovieSession::MovieSession(swf::MoviePtr movie, swf::ImportFetcher files,
                           const std::function<void(runtime::MoviePlayer&)>& prepare,
                           QWidget* dialogParent)
    : m_files(std::move(files)), m_dialogs(dialogParent),
      m_player(std::make_unique<runtime::MoviePlayer>(std::move(movie),
                                                      static_cast<runtime::Host&>(*this))),
      m_scripts(makeScriptEngine(*m_player, static_cast<runtime::Host&>(*this)))
{
    if (prepare)
        prepare(*m_player);
    // The first frame's scripts run as soon as the movie is set, as its frame was.
    m_player->runActions();
}

void MovieSession::trace(std::string_view line)
{
    qCDebug(lcMovieTrace).noquote() << QString::fromUtf8(line.data(), qsizetype(line.size()));
}

MovieSession::~MovieSession()
{
    m_scripts.reset();
}

bool MovieSession::logEnabled(runtime::LogCategory category) const
{
    return categoryFor(category).isDebugEnabled();
}

void MovieSession::log(runtime::LogCategory category, std::string_view message)
{
    qCDebug(categoryFor(category)).noquote()
        << QString::fromUtf8(message.data(), qsizetype(message.size()));
}

swf::Result<std::vector<std::uint8_t>> MovieSession::fetchFile(std::string_view url,
                                                               std::size_t maxBytes)
{
    if (!m_files)
        return runtime::Host::fetchFile(url, maxBytes);
    return m_files(std::string(url), maxBytes);
}

bool MovieSession::writeChosenFile(std::string_view path, std::span<const std::uint8_t> bytes)
{
    return player::writeChosenFile(QString::fromUtf8(path.data(), qsizetype(path.size())), bytes);
}

std::shared_ptr<const runtime::FontMetrics> MovieSession::deviceFont(std::string_view family,
                                                                     bool bold, bool italic)
{
    // Measured with the faces the renderer draws with.
    return render::DeviceFonts::shared().metrics(std::string(family), bold, italic);
}

void MovieSession::advance(int frames)
{
    for (int i = 0; i < frames; ++i)
        m_player->advance();
    m_audio.wake();
}

std::optional<std::int64_t> MovieSession::streamSoundMs() const
{
    if (!m_player->root().context().sounds().streamPlaying())
        return std::nullopt;
    return m_audio.heardMs();
}

void MovieSession::draw(QImage& target, const QTransform& view, render::Quality quality,
                        std::optional<QColor> background)
{
    m_renderer.setBackgroundOverride(background);
    m_renderer.render(m_player->buildDrawList(), target, view, quality);
    m_dirty = false;
}

} // namespace player
