// Movies scripts load into levels and clips, and unload from them, as the reference
// times it:
// 1. A request (loadMovie, loadMovieNum, MovieClipLoader.loadClip, unloadMovie...)
//    waits: nothing changes while the script that asked runs. At the end of its step,
//    once every block has run, a load's file is fetched and read (MovieFiles.h):
//    without one, the target clip is emptied, its _url the file's, and the follower
//    hears Error alone, there and then.
// 2. The next step carries the request out once its own frame code has run; a load
//    asked for there (by a handler below) waits for the step after. A load into a
//    clip that has left the stage by then is dropped without a word. A level keeps
//    its movie when a load into it fails.
// 3. With a file, the target's content goes (its clips unloading), its script object
//    starts afresh and the movie takes its place; the follower hears Start, Progress
//    and Complete, and those handlers run before any of the movie's code.
// 4. Then the movie's first frame executes: its init blocks, frame code and the
//    target's load event run, and after them the follower hears Init.
// A level that does not exist yet is made for the movie; loading into an existing one
// replaces its movie, keeping the root. Unloading a level takes it off the stage;
// unloading a clip leaves it empty and stopped, its unload handler called. A movie
// keeps its own version's rules for its code, and plays at the stage's rate with the
// rest of it; a movie loaded into level 0 gives the stage its size and rate.
#include "FrameStep.h"
#include "Limits.h"
#include "MovieFiles.h"
#include "MoviePlayer.h"
#include "StageEvents.h"

#include <algorithm>

namespace runtime {

namespace {

// Movies loaded into movies above the clip, the clip's own included.
int movieNesting(const DisplayObject& clip)
{
    int nesting = 0;
    for (const DisplayObject* at = &clip; at; at = at->parent()) {
        if (at->kind() == ObjectKind::Sprite && static_cast<const SpriteObject*>(at)->isMovieRoot())
            ++nesting;
    }
    return nesting;
}

const swf::Timeline& noFrames()
{
    // Shared by every emptied clip of every player: it is never written.
    static const swf::Timeline timeline;
    return timeline;
}

} // namespace

void SpriteObject::removeAllChildren()
{
    std::vector<int> depths;
    for (const auto& [depth, child] : children()) {
        if (!child->isUnloading())
            depths.push_back(depth);
    }
    for (int depth : depths)
        removeChild(depth);
}

void SpriteObject::replaceMovie(MovieInstancePtr movie)
{
    removeAllChildren();
    m_drawing.reset();
    const swf::MovieDefinition& definition = movie->definition();
    setMovieInstance(std::move(movie));
    setCharacter(nullptr);
    m_timeline = &definition.timeline;
    m_frameCount =
        std::max<std::size_t>({1, definition.header.frameCount, definition.timeline.frames.size()});
    m_currentFrame = 0;
    m_playing = true;
    m_movieRoot = true;
    m_emptied = false;
    markContentChanged();
}

void SpriteObject::clearMovie()
{
    removeAllChildren();
    m_drawing.reset();
    // The clip is its parent's again, as an empty one; a level's root stays its movie's.
    if (parent() && isMovieRoot()) {
        setMovieInstance(parent()->movieInstancePtr());
        m_movieRoot = false;
    }
    m_emptied = true;
    m_timeline = &noFrames();
    m_frameCount = 1;
    m_currentFrame = 0;
    m_playing = false;
    markContentChanged();
}

long SpriteObject::framesLoaded() const
{
    if (m_emptied)
        return 0;
    if (m_movieRoot && movieInstance().content() == MovieInstance::Content::Missing)
        return -1;
    return static_cast<long>(m_frameCount);
}

long SpriteObject::totalFrames() const
{
    if (m_emptied || (m_movieRoot && movieInstance().content() == MovieInstance::Content::Missing))
        return 0;
    return static_cast<long>(m_frameCount);
}

long long SpriteObject::bytesTotal() const
{
    if (m_emptied)
        return 0;
    if (m_movieRoot) {
        if (movieInstance().content() == MovieInstance::Content::Missing)
            return -1;
        return static_cast<long long>(movieInstance().bytesTotal());
    }
    // A clip a script made empty holds nothing loaded; a symbol's clip is its movie's.
    return character() ? static_cast<long long>(movieInstance().bytesTotal()) : 0;
}

int SpriteObject::scriptVersion() const
{
    if (m_movieRoot && movieInstance().content() != MovieInstance::Content::Movie)
        return -1;
    if (const swf::Character* own = character(); own && own->swfVersion)
        return own->swfVersion;
    return movie().header.version;
}

void MoviePlayer::setMovieUrl(std::string url)
{
    m_context.mainMovie()->setUrl(std::move(url));
}

namespace {

bool sameTarget(const MovieRequest& a, const MovieRequest& b)
{
    if (a.level || b.level)
        return a.level == b.level;
    return !a.clip.expired() && !a.clip.owner_before(b.clip) && !b.clip.owner_before(a.clip);
}

} // namespace

void MoviePlayer::loadRequestedMovies()
{
    const std::uint64_t tick = m_context.tick();
    MovieRequests& queue = m_context.movieRequests();
    const std::vector<MovieRequest> due = queue.takeMadeBefore(tick, limits::kMaxMovieLoadsPerStep);
    for (std::size_t i = 0; i < due.size(); ++i) {
        if (due[i].abandoned || unloadFollows(due, i))
            abandonLoad(due[i]);
        else
            carryOut(due[i]);
    }

    // This step's loads fetch their files now; the missing ones fail at once.
    const auto version = static_cast<std::uint8_t>(m_context.swfVersion());
    // Failed loads and unloads, carried out at once, in the order asked.
    std::vector<MovieRequest> failed;
    std::size_t fetched = 0;
    auto& waiting = queue.waiting();
    for (auto it = waiting.begin(); it != waiting.end();) {
        // Unloading a clip waits for nothing: it is empty by the next step's scripts.
        // A level's unload waits for the next step, as a load into it does.
        if (it->tick == tick && it->kind == MovieRequest::Kind::Unload && !it->level) {
            for (auto earlier = waiting.begin(); earlier != it; ++earlier)
                if (earlier->tick == tick && earlier->kind == MovieRequest::Kind::Load &&
                    sameTarget(*earlier, *it))
                    earlier->abandoned = true;
            failed.push_back(std::move(*it));
            it = waiting.erase(it);
            continue;
        }
        if (it->tick != tick || it->kind != MovieRequest::Kind::Load || it->file ||
            !it->error.empty() || fetched >= limits::kMaxMovieLoadsPerStep) {
            ++it;
            continue;
        }
        ++fetched;
        auto file = readLoadedFile(m_context.host(), it->url, version);
        if (file) {
            it->file = std::make_shared<const LoadedFile>(std::move(*file));
            ++it;
            continue;
        }
        it->error = file.error().message();
        failed.push_back(std::move(*it));
        it = waiting.erase(it);
    }
    for (const MovieRequest& request : failed)
        carryOut(request);
}

bool MoviePlayer::unloadFollows(const std::vector<MovieRequest>& due, std::size_t index)
{
    const MovieRequest& load = due[index];
    if (load.kind != MovieRequest::Kind::Load || !load.error.empty())
        return false;
    for (std::size_t i = index + 1; i < due.size(); ++i) {
        if (due[i].kind == MovieRequest::Kind::Unload && sameTarget(load, due[i]))
            return true;
    }
    return false;
}

// A load that an unload of its target follows in the same batch: the file was opened,
// so its follower hears the start, but the unload wins and the movie never plays.
void MoviePlayer::abandonLoad(const MovieRequest& request)
{
    DisplayObject* target = nullptr;
    std::shared_ptr<DisplayObject> held;
    if (request.level) {
        target = m_context.level(*request.level);
    } else {
        held = request.clip.lock();
        target = held.get();
    }
    queueLoadEvent(request, target, LoadEvent::Start);
    // Its follower hears nothing more of it.
    queueLoadEvent(request, target, LoadEvent::Dropped);
    drainActions();
}

void MoviePlayer::carryOut(const MovieRequest& request)
{
    if (request.kind == MovieRequest::Kind::Unload) {
        unload(request);
        drainActions();
        return;
    }
    SpriteObject* clip = nullptr;
    if (request.level) {
        clip = m_context.level(*request.level);
    } else {
        const std::shared_ptr<DisplayObject> target = request.clip.lock();
        if (!target || target->kind() != ObjectKind::Sprite || !isLive(*target)) {
            m_context.log(LogCategory::Display,
                          [&] { return "load of " + request.url + " dropped: its clip is gone"; });
            queueLoadEvent(request, nullptr, LoadEvent::Dropped);
            drainActions();
            return;
        }
        clip = static_cast<SpriteObject*>(target.get());
    }
    loadInto(request, clip);
}

void MoviePlayer::loadInto(const MovieRequest& request, SpriteObject* clip)
{
    const std::string address = addressFrom(m_context.mainMovie()->url(), request.url);
    const auto version = static_cast<std::uint8_t>(m_context.swfVersion());
    auto refuse = [&](const std::string& why) {
        m_context.log(LogCategory::Display,
                      [&] { return "cannot load " + request.url + ": " + why; });
        if (clip && !request.level) {
            // The clip has let its content go for the file that did not come.
            clip->replaceMovie(
                std::make_shared<MovieInstance>(std::make_shared<const swf::MovieDefinition>(),
                                                address, 0, MovieInstance::Content::Missing));
            if (m_engine)
                m_engine->movieReplaced(*clip);
        }
        queueLoadEvent(request, clip, LoadEvent::Error);
        drainActions();
    };

    if (!clip && m_context.levels().size() >= limits::kMaxLevels)
        return refuse("too many levels");
    if (clip && movieNesting(*clip) > limits::kMaxMovieNesting)
        return refuse("movies nested too deep");
    // Loaded movies that nothing plays any more are forgotten.
    std::erase_if(m_loadedMovies,
                  [](const std::weak_ptr<MovieInstance>& movie) { return movie.expired(); });
    std::size_t aliveBytes = 0;
    for (const std::weak_ptr<MovieInstance>& movie : m_loadedMovies) {
        if (const MovieInstancePtr alive = movie.lock())
            aliveBytes += alive->bytesTotal();
    }
    if (m_loadedMovies.size() >= limits::kMaxLoadedMovies ||
        aliveBytes >= limits::kMaxLoadedMovieBytes)
        return refuse("too many movies loaded");

    if (!request.error.empty())
        return refuse(request.error);
    std::shared_ptr<const LoadedFile> file = request.file;
    if (!file) {
        auto read = readLoadedFile(m_context.host(), request.url, version);
        if (!read)
            return refuse(read.error().message());
        file = std::make_shared<const LoadedFile>(std::move(*read));
    }
    auto movie = std::make_shared<MovieInstance>(file->movie, address, file->bytesTotal,
                                                 file->isImage ? MovieInstance::Content::Image
                                                               : MovieInstance::Content::Movie);
    m_loadedMovies.push_back(movie);

    std::shared_ptr<SpriteObject> target;
    const bool newLevel = !clip;
    if (clip == m_root.get() && !file->isImage && !file->isEmpty && file->movie)
        m_context.adoptStage(file->movie->header);
    if (clip) {
        target = std::static_pointer_cast<SpriteObject>(clip->shared_from_this());
        target->replaceMovie(movie);
    } else {
        target = SpriteObject::createRoot(m_context, movie, *request.level);
        m_context.setLevel(*request.level, target);
    }
    if (m_engine)
        m_engine->movieReplaced(*target);
    queueLoadEvent(request, target.get(), LoadEvent::Start);
    queueLoadEvent(request, target.get(), LoadEvent::Progress, file->bytesTotal);
    queueLoadEvent(request, target.get(), LoadEvent::Complete);
    drainActions();
    // A handler may have taken the target away, or loaded another movie into it.
    if (isLive(*target) && &target->movieInstance() == movie.get()) {
        // Its load event comes after its first frame's code, as a new clip's does.
        if (newLevel)
            announcePlaced(*target);
        else
            m_context.deferLoad(target);
        target->initialize();
        m_context.flushDeferredLoads();
        drainActions();
    }
    queueLoadEvent(request, target.get(), LoadEvent::Init);
    drainActions();
}

void MoviePlayer::unload(const MovieRequest& request)
{
    if (request.level && *request.level != 0) {
        std::shared_ptr<SpriteObject> root = m_context.removeLevel(*request.level);
        if (!root)
            return;
        // Its unload handlers still run, the level gone from the stage.
        queueUnloads(*root);
        announceRemoved(*root);
        return;
    }
    SpriteObject* clip = request.level ? m_root.get() : nullptr;
    if (!clip) {
        const std::shared_ptr<DisplayObject> target = request.clip.lock();
        if (!target || target->kind() != ObjectKind::Sprite || !isLive(*target))
            return;
        clip = static_cast<SpriteObject*>(target.get());
    }
    clip->clearMovie();
    queueClipEvent(*clip, ClipEvent::Unload);
}

void MoviePlayer::queueLoadEvent(const MovieRequest& request, DisplayObject* target,
                                 LoadEvent event, std::size_t bytes)
{
    if (!request.observer)
        return;
    QueuedAction action;
    action.kind = QueuedAction::Kind::Load;
    action.target = target ? target->shared_from_this() : nullptr;
    action.loadEvent = event;
    action.observer = request.observer;
    action.bytes = bytes;
    m_context.actions().push(std::move(action));
}

} // namespace runtime
