#pragma once

#include "format/Style.h"

#include <cstdint>
#include <memory>
#include <span>

namespace runtime {

class DisplayObject;

// One block of byte code waiting to run, with what it runs on.
struct QueuedAction {
    enum class Kind : std::uint8_t {
        Init,   // DoInitAction: once per sprite, before the frame actions queued with it
        Frame,  // DoAction of a frame just entered
        Button, // a ButtonAction block whose condition a pointer transition met
        // A pointer transition of a button, with no code: scripts may handle it
        // (onPress, onRelease...). Queued after the transition's Button blocks.
        ButtonEvent,
    };

    Kind kind = Kind::Frame;
    // The timeline the code runs on ("this"): the sprite whose frame it is, the timeline
    // holding the DoInitAction tag, or the button's parent.
    std::shared_ptr<DisplayObject> target;
    // The button whose transition queued a Button block or event; null otherwise.
    std::shared_ptr<DisplayObject> button;
    // The byte code, inside the movie definition the player keeps alive.
    std::span<const std::uint8_t> code;
    swf::CharacterId spriteId = 0; // Init: the sprite the block initialises
    std::uint16_t condition = 0;   // Button, ButtonEvent: the ButtonCondition bit met
};

// The ActionScript interpreter, as the runtime sees it. The player hands it each queued
// block in order; a block whose target has left the stage is not handed over (except
// Init blocks, which belong to the movie rather than to an object).
class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;
    virtual void runAction(const QueuedAction& action) = 0;
};

} // namespace runtime
