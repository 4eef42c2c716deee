#pragma once

#include "DisplayObject.h"
#include "VideoFrameDecoder.h"
#include "format/Bitmap.h"
#include "format/Video.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace runtime {

// An embedded video placed on a timeline (DefineVideoStream). The frame it shows is the
// placement's ratio, a frame number of its stream; the timeline may move that through
// many frames in one step (a jump replays the frames on the way), so the frame is decoded
// only when its picture is asked for, from the keyframe before it when that is shorter.
// It may show pictures from elsewhere instead (a script's attachVideo), handed to it with
// showPicture. Its bounds are the stream's size from its origin, whatever size the
// pictures have: they are drawn scaled to it.
class VideoObject : public DisplayObject {
public:
    VideoObject(PlayerContext& context, const swf::Character* character,
                const swf::VideoStream& stream);
    ~VideoObject() override;

    const swf::VideoStream& stream() const { return m_stream; }

    // The picture shown, premultiplied ARGB; null before the first and after clear().
    // Asking decodes the frame the ratio numbers if it has moved: the content version
    // changed with the ratio already, so the object's drawing stays the same between
    // two changes of its version.
    const std::shared_ptr<const swf::Bitmap>& picture() const;
    // Changes whenever the picture does.
    std::uint64_t pictureVersion() const;
    // The stream frame last shown, decoded or not (a damaged one keeps the picture
    // before it); none before one, or when the picture came from elsewhere.
    std::optional<std::uint16_t> shownFrame() const;

    // Pictures from another source (attachVideo): while attached, the timeline's frame
    // numbers no longer change the picture; detached, the next frame number set does.
    bool isAttached() const { return m_attached; }
    void setAttached(bool attached);
    // Shows `picture` (null: none) in place of what was shown, until the ratio changes.
    void showPicture(std::shared_ptr<const swf::Bitmap> picture);
    // clear(): no picture until the next one decoded or given.
    void clear();

    // Sampled bilinearly when scaled: the stream's flag until a script sets it.
    bool smoothing() const { return m_smoothing; }
    void setSmoothing(bool value);
    // The stream's deblocking setting (0 as coded, 1 off, 2 and up on), which a script
    // may change: the frames decoded after the change follow it (the decoder starts
    // again, from the keyframe before the next frame shown).
    int deblocking() const { return m_deblocking; }
    void setDeblocking(int value);

    Bounds localBounds() const override;
    void initialize() override;

protected:
    void ratioChanged() override;

private:
    // Brings the picture to the frame wanted; what it changes is a cache of that frame.
    void catchUp() const;

    const swf::VideoStream& m_stream;
    std::unique_ptr<VideoFrameDecoder> m_decoder;
    bool m_attached = false;
    bool m_smoothing;
    int m_deblocking;
    // The frame the ratio asks for, until it is shown.
    mutable std::optional<std::uint16_t> m_wantedFrame;
    mutable std::optional<std::uint16_t> m_shownFrame;
    mutable std::shared_ptr<const swf::Bitmap> m_picture;
    mutable std::uint64_t m_pictureVersion = 0;
};

} // namespace runtime
