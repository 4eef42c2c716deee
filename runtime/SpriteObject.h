#pragma once

#include "ContainerObject.h"
#include "Drawing.h"
#include "PixelSnapping.h"
#include "Placement.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// A movie clip: a DefineSprite placed on a timeline, an empty clip a script made, or
// the main timeline itself. It plays its own timeline, one frame per step, whatever
// its parent does; the player steps every clip in the reference's order (FrameStep.cpp).
//
// Frames are numbered from 0. The frame count is the larger of the declared count and
// the frames the definition holds, and at least 1: a definition cut short plays its
// missing frames as empty ones, and a count of 0 still has its first frame.
//
// Jumps follow the playing rules (SpriteFrames.cpp): going forward executes the frames
// in between for their placements only (their frame actions do not run), and the
// target frame fully; going back replays the timeline from frame 0 the same way, keeping
// each object that the replay places again as the same instance. Depths from script
// depth 0 up are the scripts' own: no jump or loop touches them.
class SpriteObject : public ContainerObject {
public:
    SpriteObject(PlayerContext& context, const swf::Character* character,
                 const swf::Timeline& timeline, std::uint16_t declaredFrameCount);
    // The root of a level playing `movie`: its own frames, looping at the end while
    // loops() is on. The main timeline is level 0's.
    static std::shared_ptr<SpriteObject> createRoot(PlayerContext& context, MovieInstancePtr movie,
                                                    int level = 0);
    // A clip with one empty frame, as createEmptyMovieClip makes.
    static std::shared_ptr<SpriteObject> createEmpty(PlayerContext& context);

    const swf::Timeline& timeline() const { return *m_timeline; }
    std::size_t frameCount() const { return m_frameCount; }
    std::size_t currentFrame() const { return m_currentFrame; }

    bool isPlaying() const { return m_playing; }
    void play() { m_playing = true; }
    void stop() { m_playing = false; }
    // Sprites always loop; the main timeline stops at its end when this is off.
    bool loops() const { return m_loops; }
    void setLoops(bool loops) { m_loops = loops; }

    // Jumps keep the playing state. The target frame's actions are queued, to run after
    // the code now running; what the frames in between place is made at once. A frame
    // past the end means the last one, entered for its placements only: its actions do
    // not run, as in the reference. The current frame is no jump at all.
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
    // One step of this clip's own timeline (its children step on their own turn): the
    // next frame, or frame 0 again after the last.
    void stepTimeline();

    // What scripts place (ScriptDisplayList.cpp). Depths are as scripts see them, from
    // limits::kMinScriptDepth to limits::kMaxScriptDepth; whatever stands at the depth
    // is removed first. Each returns the new object (already placed, named, its first
    // frame executed and its actions queued like a timeline placement's, and marked
    // script-placed), or null when the depth is out of range or the object cannot be
    // made.
    // attachMovie: a character (the engine resolves the export name).
    std::shared_ptr<DisplayObject> attachCharacter(swf::CharacterId id, std::string name,
                                                   long long scriptDepth);
    // createEmptyMovieClip.
    std::shared_ptr<SpriteObject> createEmptyClip(std::string name, long long scriptDepth);
    // duplicateMovieClip: a copy of this clip in the same parent, with its character,
    // matrix, colour transform and clip actions, starting at its first frame.
    std::shared_ptr<SpriteObject> duplicateAs(std::string name, long long scriptDepth);
    // loadMovie (MovieLoading.cpp): what the clip shows and plays is taken away, the
    // clips in it unloading, and `movie` takes its place, playing from its first frame
    // (which initialize() then executes). The clip keeps its place, its name and its
    // display properties; it is made from no character of its parent's any more.
    void replaceMovie(MovieInstancePtr movie);
    // unloadMovie: the same with nothing in its place: one empty frame, stopped.
    void clearMovie();
    // A movie was loaded into this clip (or it is a level's root).
    bool isMovieRoot() const { return m_movieRoot; }
    // unloadMovie emptied it (until the next load).
    bool isEmptied() const { return m_emptied; }
    // What scripts read of it as a movie, as the reference reports the states a load
    // leaves: _framesloaded and _totalframes (-1 and 0 after a load that found no file,
    // 0 and 0 once emptied, else the frame count), getBytesTotal (-1, 0, the movie's
    // length; 0 for a clip a script made empty) and getSWFVersion (-1 for an image or
    // nothing loaded).
    long framesLoaded() const;
    long totalFrames() const;
    long long bytesTotal() const;
    int scriptVersion() const;
    // createTextField: an empty field whose box is `box` (twips) in its own space, placed
    // at (x, y) twips.
    std::shared_ptr<DisplayObject> createTextField(std::string name, long long scriptDepth,
                                                   swf::Twips x, swf::Twips y,
                                                   const swf::Rect& box);
    // duplicateMovieClip of a field this clip holds: a field of no settings, text or box
    // at the depth, where `field` was placed and in its colours.
    std::shared_ptr<DisplayObject> duplicateTextField(const class EditTextObject& field,
                                                      std::string name, long long scriptDepth);
    // attachBitmap: shows `bitmap` at the depth, its top-left corner at the clip's origin.
    std::shared_ptr<DisplayObject> attachBitmap(std::shared_ptr<class BitmapData> bitmap,
                                                long long scriptDepth, bool smoothing,
                                                PixelSnapping snapping = PixelSnapping::Auto);

    // What its scripts drew (Drawing.h), painted below its children; null before
    // anything was drawn. Changing it through editDrawing() marks the clip changed.
    const Drawing* drawing() const { return m_drawing.get(); }
    Drawing& editDrawing();
    // Its children's bounds and its drawing's.
    Bounds localBounds() const override;

private:
    enum class FrameMode : bool { Full, PlacementsOnly };

    void executeFrame(std::size_t frame, FrameMode mode);
    void executeTag(const swf::ControlTag& tag, FrameMode mode);
    void rebuildTo(std::size_t frame, FrameMode targetMode);
    void place(const swf::PlaceObject& tag);
    void replace(DisplayObject& existing, const swf::PlaceObject& tag);
    void createAt(int depth, const Placement& placement, const swf::PlaceObject* tag);
    void nameIfNeeded(DisplayObject& object);
    void queueFrameAction(std::span<const std::uint8_t> code);
    void queueInitAction(const swf::DoInitAction& tag);
    std::shared_ptr<DisplayObject> placeForScript(std::shared_ptr<DisplayObject> object,
                                                  std::string name, long long scriptDepth);

    void removeAllChildren();
    bool runsActions() const;

    const swf::Timeline* m_timeline;
    std::size_t m_frameCount;
    std::size_t m_currentFrame = 0;
    bool m_playing = true;
    bool m_loops = true;
    bool m_movieRoot = false;
    bool m_emptied = false;
    std::unique_ptr<Drawing> m_drawing;
};

} // namespace runtime
