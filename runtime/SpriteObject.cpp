#include "SpriteObject.h"

#include "PlayerContext.h"

#include <algorithm>

namespace runtime {

SpriteObject::SpriteObject(PlayerContext& context, const swf::Character* character,
                           const swf::Timeline& timeline, std::uint16_t declaredFrameCount)
    : ContainerObject(context, ObjectKind::Sprite, character), m_timeline(&timeline),
      // Leniency: a count that disagrees with the frames held takes the larger, and a
      // count of 0 still means one (empty) frame, so advancing never runs off the end.
      m_frameCount(std::max<std::size_t>({1, declaredFrameCount, timeline.frames.size()}))
{}

std::shared_ptr<SpriteObject> SpriteObject::createRoot(PlayerContext& context,
                                                       MovieInstancePtr movie, int level)
{
    const swf::MovieDefinition& definition = movie->definition();
    auto root = std::make_shared<SpriteObject>(context, nullptr, definition.timeline,
                                               definition.header.frameCount);
    root->setMovieInstance(std::move(movie));
    root->markAsRoot(level);
    root->m_movieRoot = true;
    return root;
}

std::shared_ptr<SpriteObject> SpriteObject::createEmpty(PlayerContext& context)
{
    // Shared by every empty clip of every player: it is never written.
    static const swf::Timeline kNoFrames;
    return std::make_shared<SpriteObject>(context, nullptr, kNoFrames, 1);
}

Drawing& SpriteObject::editDrawing()
{
    if (!m_drawing)
        m_drawing = std::make_unique<Drawing>(&context().drawingBudget());
    markContentChanged();
    return *m_drawing;
}

Bounds SpriteObject::localBounds() const
{
    Bounds bounds = ContainerObject::localBounds();
    if (m_drawing)
        bounds.include(m_drawing->bounds());
    return bounds;
}

bool SpriteObject::runsActions() const
{
    // A movie made for the other virtual machine keeps its code to itself: a movie
    // loading it plays its frames, none of its scripts.
    return !movie().attributes.actionScript3;
}

void SpriteObject::initialize()
{
    executeFrame(0, FrameMode::Full);
}

void SpriteObject::stepTimeline()
{
    // Playing goes through the frames the file holds, whatever count it declares. A
    // single frame is never entered again: its actions ran once. An unfinished timeline
    // (cut short, or with tags after its last ShowFrame) waits at its last frame for
    // the rest, which never comes: it neither goes on nor loops.
    const std::size_t held = std::max<std::size_t>(1, m_timeline->frames.size());
    if (!m_playing || held <= 1)
        return;
    if (m_currentFrame + 1 < held)
        executeFrame(m_currentFrame + 1, FrameMode::Full);
    else if (!m_timeline->complete)
        return;
    else if (m_loops)
        rebuildTo(0, FrameMode::Full);
    else
        m_playing = false;
}

void SpriteObject::gotoFrame(std::size_t frame)
{
    const bool pastTheEnd = frame >= m_frameCount;
    const FrameMode targetMode = pastTheEnd ? FrameMode::PlacementsOnly : FrameMode::Full;
    frame = std::min(frame, m_frameCount - 1);
    if (frame == m_currentFrame)
        return;
    if (frame < m_currentFrame) {
        rebuildTo(frame, targetMode);
        return;
    }
    for (std::size_t f = m_currentFrame + 1; f < frame; ++f)
        executeFrame(f, FrameMode::PlacementsOnly);
    executeFrame(frame, targetMode);
}

bool SpriteObject::gotoLabel(std::string_view label)
{
    const long frame = frameForLabel(label);
    if (frame < 0) {
        context().log(LogCategory::Timeline, [&] {
            return "no frame labelled \"" + std::string(label) + "\" in " + path();
        });
        return false;
    }
    gotoFrame(static_cast<std::size_t>(frame));
    return true;
}

void SpriteObject::nextFrame()
{
    if (m_currentFrame + 1 < m_frameCount)
        gotoFrame(m_currentFrame + 1);
    stop();
}

void SpriteObject::prevFrame()
{
    if (m_currentFrame > 0)
        gotoFrame(m_currentFrame - 1);
    stop();
}

long SpriteObject::frameForLabel(std::string_view label) const
{
    for (std::size_t f = 0; f < m_timeline->frames.size(); ++f) {
        for (const std::string& name : m_timeline->frames[f].labels) {
            if (sameLabel(name, label))
                return static_cast<long>(f);
        }
    }
    return -1;
}

std::vector<std::string> SpriteObject::currentLabels() const
{
    if (m_currentFrame >= m_timeline->frames.size())
        return {};
    return m_timeline->frames[m_currentFrame].labels;
}

std::string SpriteObject::currentLabel() const
{
    const std::size_t stored = std::min(m_currentFrame + 1, m_timeline->frames.size());
    for (std::size_t f = stored; f-- > 0;) {
        const auto& labels = m_timeline->frames[f].labels;
        if (!labels.empty())
            return labels.back();
    }
    return {};
}

void SpriteObject::queueFrameAction(std::span<const std::uint8_t> code)
{
    if (!runsActions())
        return;
    QueuedAction action;
    action.kind = QueuedAction::Kind::Frame;
    action.target = shared_from_this();
    action.code = code;
    context().actions().push(std::move(action));
}

void SpriteObject::queueInitAction(const swf::DoInitAction& tag)
{
    if (!runsActions())
        return;
    if (!movieInstance().claimInitAction(tag.spriteId))
        return;
    QueuedAction action;
    action.kind = QueuedAction::Kind::Init;
    action.target = shared_from_this();
    action.code = tag.actions;
    action.spriteId = tag.spriteId;
    context().actions().push(std::move(action));
}

} // namespace runtime
