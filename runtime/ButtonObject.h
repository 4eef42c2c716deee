#pragma once

#include "ContainerObject.h"
#include "format/Button.h"

#include <cstdint>
#include <map>
#include <optional>

namespace runtime {

// Where the pointer stands with a button, as the button conditions name the states.
enum class ButtonTracking : std::uint8_t { Idle, OverUp, OverDown, OutDown };

// A placed DefineButton or DefineButton2. Its children are the records of the state it
// shows (up, over or down); its hit area is the records of the hit-test state, tested
// against the shapes themselves and never drawn.
//
// Pointer input reaches it as transitions (the ButtonCondition bits), from the
// ButtonTracker; each transition moves the tracking state, shows the matching state
// and queues the ButtonAction blocks whose conditions include it, then the transition
// itself for handlers scripts set. A button that is
// pressed and dragged off shows its over state, as the pointer still holds it.
class ButtonObject : public ContainerObject {
public:
    ButtonObject(PlayerContext& context, const swf::Character* character,
                 const swf::Button& definition);

    const swf::Button& definition() const { return m_definition; }
    // Whether it takes a release over it of a press begun elsewhere: the definition's
    // flag until a script sets trackAsMenu.
    bool trackAsMenu() const { return m_trackAsMenu.value_or(m_definition.trackAsMenu); }
    void setTrackAsMenu(bool value) { m_trackAsMenu = value; }
    ButtonTracking tracking() const { return m_tracking; }
    // The state shown: ButtonUp, ButtonOver or ButtonDown.
    swf::ButtonState shownState() const { return m_shown; }
    // A disabled button ignores the pointer (scripts will set this).
    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }

    // Takes the state of a button this one replaces, showing it, without actions.
    void takeTracking(ButtonTracking state);
    // Applies one transition if the button is in the state it starts from; returns
    // whether it did.
    bool transition(swf::ButtonCondition condition);
    // The press and release a focused button gets from the keyboard: both transitions'
    // actions and events are queued, and the button's state stays as it is.
    void pressByKey();
    // Queues the blocks of the key-press conditions for `buttonKeyCode` (see
    // runtime::buttonKeyCode); false when the button has none.
    bool queueKeyPress(std::uint8_t buttonKeyCode);
    // Whether the point (stage twips) falls in the hit area.
    bool hitTest(double stageX, double stageY) const;

    // The button has no timeline of its own; clips in its states play on, stepped by
    // the player like every other clip.
    void initialize() override;

private:
    void show(swf::ButtonState state);
    // The transition's sound (DefineButtonSound), if it has one.
    void playSound(swf::ButtonCondition condition);
    void queueActions(swf::ButtonCondition condition);

    const swf::Button& m_definition;
    std::optional<bool> m_trackAsMenu;
    ButtonTracking m_tracking = ButtonTracking::Idle;
    swf::ButtonState m_shown = swf::ButtonUp;
    bool m_enabled = true;
    // For each depth shown, the record it came from: a record in both the old and the
    // new state keeps its object (and a clip in it keeps playing).
    std::map<int, std::size_t> m_recordAtDepth;
};

} // namespace runtime
