#pragma once

#include "ContainerObject.h"
#include "Placement.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// A movie clip: a DefineSprite placed on a timeline, or the main timeline itself. It
// plays its own timeline, one frame per step, whatever its parent does.
//
// Frames are numbered from 0. The frame count is the larger of the declared count and
// the frames the definition holds, and at least 1: a definition cut short plays its
// missing frames as empty ones, and a count of 0 still has its first frame.
//
// Jumps follow the playing rules: going forward executes the frames in between for
// their placements only (their frame actions do not run); going back rebuilds the
// display list from frame 0, keeping every object whose depth holds the same character
// at the target frame, so nested clips there keep playing where they were.
class SpriteObject : public ContainerObject {
public:
    SpriteObject(PlayerContext& context, const swf::Character* character,
                 const swf::Timeline& timeline, std::uint16_t declaredFrameCount);
    // The main timeline: the movie's own frames, looping at the end while loops() is on.
    static std::shared_ptr<SpriteObject> createRoot(PlayerContext& context);

    const swf::Timeline& timeline() const { return m_timeline; }
    std::size_t frameCount() const { return m_frameCount; }
    std::size_t currentFrame() const { return m_currentFrame; }

    bool isPlaying() const { return m_playing; }
    void play() { m_playing = true; }
    void stop() { m_playing = false; }
    // Sprites always loop; the main timeline stops at its end when this is off.
    bool loops() const { return m_loops; }
    void setLoops(bool loops) { m_loops = loops; }

    // Jumps keep the playing state; a frame past the end means the last one. Frame
    // actions of the target frame are queued.
    void gotoFrame(std::size_t frame);
    // False (and no jump) when no frame has that label.
    bool gotoLabel(std::string_view label);
    // Step one frame and stop; nothing at the first or last frame but the stop.
    void nextFrame();
    void prevFrame();

    // The first frame labelled `label` (compared without regard to case), or -1.
    long frameForLabel(std::string_view label) const;
    // The labels of the current frame, and the last label at or before it ("" for none).
    std::vector<std::string> currentLabels() const;
    std::string currentLabel() const;

    void initialize() override;
    void advance() override;

private:
    enum class FrameMode : bool { Full, PlacementsOnly };
    using ActionBlocks = std::vector<std::span<const std::uint8_t>>;

    void stepFrame(ActionBlocks& actions);
    void jumpTo(std::size_t frame, ActionBlocks& actions);
    void executeFrame(std::size_t frame, FrameMode mode, ActionBlocks& actions);
    void executeTag(const swf::ControlTag& tag, FrameMode mode, ActionBlocks& actions);
    void rebuildTo(std::size_t frame, ActionBlocks& actions);
    void place(const swf::PlaceObject& tag);
    void replace(DisplayObject& existing, const swf::PlaceObject& tag);
    void createAt(int depth, const Placement& placement);
    void nameIfNeeded(DisplayObject& object);
    void queueFrameActions(const ActionBlocks& actions);
    void queueInitAction(const swf::DoInitAction& tag);

    const swf::Timeline& m_timeline;
    std::size_t m_frameCount;
    std::size_t m_currentFrame = 0;
    bool m_playing = true;
    bool m_loops = true;
};

} // namespace runtime
