#pragma once

#include "DisplayTags.h"
#include "Style.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace swf {

// DoAction: a block of ActionScript byte code run when its frame is reached.
struct DoAction {
    std::vector<std::uint8_t> actions;
};

// DoInitAction: byte code run once, before the first frame that places the sprite.
struct DoInitAction {
    CharacterId spriteId = 0;
    std::vector<std::uint8_t> actions;
};

struct SetBackgroundColor {
    Rgba color;
};

// StartSound and StartSound2, kept for the sound engine: the tag body as read.
struct StartSound {
    CharacterId soundId = 0;
    std::string className;
    std::vector<std::uint8_t> soundInfo;
};

// DoABC (and DoABCDefine, tag 72, which has no flags or name): a block of ActionScript 3
// byte code, loaded when its frame is reached. Flag 1 asks for lazy initialisation.
struct DoAbc {
    std::uint32_t flags = 0;
    std::string name;
    std::vector<std::uint8_t> abc;
};

// SymbolClass: ActionScript 3 classes linked to characters; id 0 is the main
// timeline, whose class is the document class.
struct SymbolClass {
    std::vector<std::pair<CharacterId, std::string>> symbols;
};

// A frame's control tags, in the order the movie gives them.
using ControlTag = std::variant<PlaceObject, RemoveObject, DoAction, DoInitAction,
                                SetBackgroundColor, StartSound, DoAbc, SymbolClass>;

struct Frame {
    std::vector<ControlTag> tags;
    std::vector<std::string> labels; // FrameLabel names, in order
    // SoundStreamBlock: this frame's part of the timeline's stream sound, as stored.
    std::vector<std::uint8_t> soundStreamBlock;
};

// A timeline: the movie's main one or a sprite's. Frames are numbered from 0 here.
struct Timeline {
    std::vector<Frame> frames;
    // Label to frame index; the first frame with a label keeps it.
    std::map<std::string, std::size_t> labels;
    // SoundStreamHead or SoundStreamHead2 (the last one read): the format of the
    // frames' stream blocks; empty for a timeline without a stream sound.
    std::vector<std::uint8_t> soundStreamHead;
    // Its last frame is whole, so a player may loop back from it. The reader clears it
    // for a tag stream cut short or with tags after its last ShowFrame: that last frame
    // waits for the rest.
    bool complete = true;

    // The frame with `label` (the format compares labels without regard to case), or -1.
    long frameForLabel(const std::string& label) const;
};

// DefineSprite.
struct Sprite {
    std::uint16_t declaredFrameCount = 0;
    Timeline timeline;
};

} // namespace swf
