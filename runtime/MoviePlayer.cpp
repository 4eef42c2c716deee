#include "MoviePlayer.h"

#include "DrawListBuilder.h"
#include "FrameStep.h"
#include "Limits.h"
#include "MovieSounds.h"
#include "Paths.h"
#include "StageEvents.h"

#include <algorithm>

namespace runtime {

namespace {

// Code of an object taken off the stage does not run. Init blocks belong to the movie;
// a clip's Initialize and Construct complete its making even when a replay removed it
// at once (the reference still constructs it); its Unload is what a removal asks for.
bool runsOffStage(const QueuedAction& action)
{
    // A load's events follow the load wherever its target stands, or without one.
    if (action.kind == QueuedAction::Kind::Init || action.kind == QueuedAction::Kind::Load)
        return true;
    return action.kind == QueuedAction::Kind::Clip &&
           (action.event == ClipEvent::Initialize || action.event == ClipEvent::Construct ||
            action.event == ClipEvent::Unload);
}

swf::MoviePtr orEmpty(swf::MoviePtr movie)
{
    return movie ? std::move(movie) : std::make_shared<const swf::MovieDefinition>();
}

} // namespace

MoviePlayer::MoviePlayer(swf::MoviePtr movie, Host& host)
    : m_context(orEmpty(std::move(movie)), host),
      m_root(SpriteObject::createRoot(m_context, m_context.mainMovie()))
{
    m_context.setLevel(0, m_root);
    // The main timeline's first frame is a batch of its own: its Load comes after it.
    announcePlaced(*m_root);
    m_root->initialize();
    m_context.flushDeferredLoads();
    m_paintedVersion = m_root->contentVersion();
    m_paintedBackground = m_context.background();
    const swf::Rect& stage = m_context.movie().header.stage;
    m_context.input().placePointer(stage.xMin.value, stage.yMin.value);
    m_context.input().setViewMatrix(
        swf::Matrix::scale(1.0 / swf::Twips::kPerPixel, 1.0 / swf::Twips::kPerPixel) *
        swf::Matrix::translation(-stage.xMin.value, -stage.yMin.value));
    host.requestRepaint();
}

MoviePlayer::~MoviePlayer()
{
    // Queued actions and waiting clips hold objects; they go before the stage does.
    m_context.clearPending();
    while (!m_context.levels().empty())
        m_context.removeLevel(m_context.levels().rbegin()->first);
}

void MoviePlayer::setScriptEngine(ScriptEngine* engine)
{
    m_engine = engine;
    m_context.setScriptEngine(engine);
    if (!engine)
        return;
    std::vector<DisplayObject*> objects;
    for (const auto& [number, level] : m_context.levels())
        objects.push_back(level.get());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->kind() != ObjectKind::Sprite && objects[i]->kind() != ObjectKind::Button)
            continue;
        for (const auto& [depth, child] : static_cast<ContainerObject*>(objects[i])->children())
            objects.push_back(child.get());
    }
    std::sort(objects.begin(), objects.end(),
              [](const DisplayObject* a, const DisplayObject* b) { return a->id() < b->id(); });
    for (DisplayObject* object : objects)
        engine->objectCreated(*object);
}

void MoviePlayer::advance()
{
    if (m_context.quitRequested())
        return;
    drainActions();
    m_context.nextTick();
    stepClips(*m_root);
    trackStillPointer();
    runActions();
    m_context.sounds().endStep(m_context.tick());
}

DrawList MoviePlayer::buildDrawList() const
{
    return runtime::buildDrawList(m_context);
}

void MoviePlayer::play()
{
    m_root->play();
}

void MoviePlayer::stop()
{
    m_root->stop();
}

void MoviePlayer::gotoFrame(std::size_t frame)
{
    m_root->gotoFrame(frame);
    runActions();
}

bool MoviePlayer::gotoLabel(std::string_view label)
{
    const bool found = m_root->gotoLabel(label);
    runActions();
    return found;
}

void MoviePlayer::nextFrame()
{
    m_root->nextFrame();
    runActions();
}

void MoviePlayer::prevFrame()
{
    m_root->prevFrame();
    runActions();
}

DisplayObject* MoviePlayer::findByPath(std::string_view path) const
{
    return resolvePath(*m_root, path);
}

void MoviePlayer::runActions()
{
    if (m_runningActions)
        return;
    drainActions();
    // Movies asked for arrive once the step's own code has run (MovieLoading.cpp).
    loadRequestedMovies();
    finishUnloading(m_context);
    if (m_engine)
        m_engine->stepFinished();
    requestRepaintIfChanged();
    m_context.resetHitTests();
}

ScriptLimits MoviePlayer::scriptLimits() const
{
    return resolveScriptLimits(m_context.movie(), m_hostTimeoutSeconds);
}

void MoviePlayer::drainActions()
{
    // The engine may call back into the player while a block runs; what it queues then
    // is picked up by the loop already running.
    if (m_runningActions)
        return;
    m_runningActions = true;
    ActionQueue& queue = m_context.actions();
    std::uint64_t executed = 0;
    std::size_t blocks = 0;
    while (std::optional<QueuedAction> action = queue.pop()) {
        if (!m_engine) {
            m_context.log(LogCategory::Actions, [] { return "dropped: no script engine"; });
            continue;
        }
        if (!runsOffStage(*action) && !isLive(*action->target))
            continue;
        if (executed >= limits::kMaxActionsPerStep || blocks >= limits::kMaxBlocksPerStep) {
            m_context.log(LogCategory::Actions, [&] {
                return "dropped " + std::to_string(queue.size() + 1) +
                       " blocks: too much script work in one step";
            });
            queue.clear();
            break;
        }
        ++blocks;
        executed += m_engine->runAction(*action);
        // Clips the block placed without clip actions get their Load after it.
        m_context.flushDeferredLoads();
    }
    m_runningActions = false;
}

void MoviePlayer::requestRepaintIfChanged()
{
    if (m_runningActions)
        return;
    if (m_root->contentVersion() == m_paintedVersion &&
        m_context.background() == m_paintedBackground)
        return;
    m_paintedVersion = m_root->contentVersion();
    m_paintedBackground = m_context.background();
    m_context.host().requestRepaint();
}

} // namespace runtime
