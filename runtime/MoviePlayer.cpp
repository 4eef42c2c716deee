#include "MoviePlayer.h"

#include "DrawListBuilder.h"
#include "Paths.h"
#include "format/Limits.h"

namespace runtime {

namespace {

swf::MoviePtr orEmpty(swf::MoviePtr movie)
{
    return movie ? std::move(movie) : std::make_shared<const swf::MovieDefinition>();
}

} // namespace

MoviePlayer::MoviePlayer(swf::MoviePtr movie, Host& host)
    : m_context(orEmpty(std::move(movie)), host), m_root(SpriteObject::createRoot(m_context))
{
    m_root->initialize();
    m_paintedVersion = m_root->contentVersion();
    m_paintedBackground = m_context.background();
    host.requestRepaint();
}

MoviePlayer::~MoviePlayer()
{
    // Queued actions hold objects; they go before the stage does.
    m_context.actions().clear();
}

void MoviePlayer::advance()
{
    drainActions();
    m_context.nextTick();
    m_root->advance();
    runActions();
}

void MoviePlayer::pointerMove(double x, double y)
{
    m_buttons.pointerMove(*m_root, x, y);
    runActions();
}

void MoviePlayer::pointerDown(double x, double y)
{
    m_buttons.pointerDown(*m_root, x, y);
    runActions();
}

void MoviePlayer::pointerUp(double x, double y)
{
    m_buttons.pointerUp(*m_root, x, y);
    runActions();
}

DrawList MoviePlayer::buildDrawList() const
{
    return runtime::buildDrawList(*m_root, m_context);
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
    drainActions();
    requestRepaintIfChanged();
}

void MoviePlayer::drainActions()
{
    // The engine may call back into the player while a block runs; what it queues then
    // is picked up by the loop already running.
    if (m_runningActions)
        return;
    m_runningActions = true;
    ActionQueue& queue = m_context.actions();
    std::size_t ran = 0;
    while (std::optional<QueuedAction> action = queue.pop()) {
        if (!m_engine) {
            m_context.log(LogCategory::Actions, [] { return "dropped: no script engine"; });
            continue;
        }
        // Code of an object the timeline has taken away does not run.
        if (action->kind != QueuedAction::Kind::Init && !action->target->onStage())
            continue;
        if (ran == swf::limits::kMaxActionsPerFrame) {
            m_context.log(LogCategory::Actions, [&] {
                return "dropped " + std::to_string(queue.size() + 1) +
                       " blocks: too many actions in one step";
            });
            queue.clear();
            break;
        }
        ++ran;
        m_engine->runAction(*action);
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
