#pragma once

// The runtime plays a loaded movie: it turns the definitions and frames the file format
// read into display objects on a stage, steps their timelines, tracks the pointer over
// buttons, and describes each frame to the renderer as a DrawList.
//
// Design notes (why it is shaped this way):
// - The runtime owns all mutable state and the renderer owns none: a DrawList is a
//   self-contained snapshot (it keeps the movie and any texts alive), so painting can
//   happen on another thread or later, and the renderer never sees a display object.
// - Display objects are shared pointers with a plain parent pointer back: scripts will
//   hold objects the timeline removes, and such objects must stay valid (off the stage,
//   their actions are dropped) rather than dangle.
// - Nothing here runs byte code. Timelines, buttons and clip events queue work, and
//   the player hands the queue to a ScriptEngine when one is attached, in the order the
//   reference runs it (the rules are in FrameStep.cpp). The timeline rules can thus be
//   tested without an interpreter, and the interpreter can call back into timelines
//   (gotoFrame, attachCharacter...) while it runs, as that only queues more work.
// - Jumps back replay the tags from frame 0 instead of undoing frames: tags cannot be
//   undone, and the replay says exactly which objects survive (the same instance placed
//   again) and which come and go on the way.
// - A hostile movie meets caps at every place it could make the runtime grow: nesting
//   (limits::kMaxDisplayNesting), live objects (kMaxDisplayObjects), actions run per
//   step (runtime's limits::kMaxActionsPerStep). Bad references are ignored with a diagnostic;
//   playing never fails, so nothing here returns an error.

#include "ButtonTracker.h"
#include "DrawList.h"
#include "Host.h"
#include "PlayerContext.h"
#include "ScriptEngine.h"
#include "ScriptLimits.h"
#include "SpriteObject.h"
#include "TextEditing.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

class EditTextObject;

class MoviePlayer {
public:
    // Builds the stage and executes the first frame. Its actions stay queued until a
    // script engine is attached and runActions() or advance() is called. A null movie
    // plays as an empty one.
    MoviePlayer(swf::MoviePtr movie, Host& host);
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Without an engine, queued actions are dropped when they would run. The engine is
    // told of every object already on the stage (objectCreated, oldest first), as the
    // first frame was executed before it was attached.
    void setScriptEngine(ScriptEngine* engine);

    // One frame step: actions still queued run first, then every clip on the stage steps
    // (enterFrame, then its timeline; the newest clip first, the main timeline last),
    // then the actions this queued run. Nothing, once a script has quit the player.
    void advance();
    // A script asked the player to quit (fscommand "quit"): the movie stays as it is.
    bool hasQuit() const { return m_context.quitRequested(); }

    // Input (PlayerInput.cpp). The pointer is in stage twips; keys are numbered as
    // scripts number them (KeyCodes.h), with the character a key types (0 for none).
    // What the input triggers runs at once: clip events (mouseDown, keyUp...) for every
    // clip, the newest first, then the Mouse or Key listeners, then what the input does
    // to buttons (transitions, key presses) or to the focus. Only the left button
    // presses; the others are keys and nothing more.
    enum class MouseButton : std::uint8_t { Left, Right, Middle };
    void pointerMove(double x, double y);
    void pointerDown(double x, double y, MouseButton button = MouseButton::Left);
    void pointerUp(double x, double y, MouseButton button = MouseButton::Left);
    // The wheel turned by `lines` (up is positive) with the pointer at (x, y): the Mouse
    // listeners hear it (onMouseWheel), and the text field under the pointer scrolls
    // unless its mouseWheelEnabled is off.
    void pointerWheel(double x, double y, int lines);
    // The context menu opens with the pointer at (x, y) (PlayerInput.cpp): the movie
    // decides what it shows; a choice of one of its own items runs that item's handler.
    ContextMenuModel openContextMenu(double x, double y);
    void chooseContextMenuItem(std::size_t index);
    // After the clip events, a focused button or clip that the keys reach hears the key
    // (onKeyDown; see FocusControl); a button's key-press condition for it then takes
    // it, and otherwise Tab moves the focus and Enter or Space press the focused button
    // or clip. A press of the left button gives the focus to the selectable text field
    // under the pointer, or takes it away.
    void keyDown(int keyCode, int ascii);
    void keyUp(int keyCode, int ascii);
    // Text (PlayerTextInput.cpp), for the focused text field: what the user typed (one
    // character, or a composed string; UTF-8), and the editing keys and clipboard
    // commands. A change of the text runs the field's onChanged.
    void textInput(std::string_view utf8);
    void textCommand(TextCommand command);
    // The clipboard fields copy to and paste from, the player's own: a host keeps it in
    // step with the system's as it likes.
    std::string clipboardText() const;
    void setClipboardText(std::string_view utf8);
    // The player's window took or lost the keyboard: losing it takes the focus away.
    void windowFocusChanged(bool hasKeyboard);
    InputState& input() { return m_context.input(); }
    const InputState& input() const { return m_context.input(); }

    // How the host shows the stage (PlayerStage.cpp): the view's size in pixels, told
    // whenever it changes; with no-scale the stage's size as scripts see it follows,
    // and Stage's listeners hear onResize. Scripts may change the scale mode and the
    // alignment the host places the stage by.
    void setViewport(double widthPixels, double heightPixels);
    StageView& stageView() { return m_context.stageView(); }
    const StageView& stageView() const { return m_context.stageView(); }

    // The frame as it stands, in painting order.
    DrawList buildDrawList() const;

    // The main timeline; frames are numbered from 0.
    std::size_t currentFrame() const { return m_root->currentFrame(); }
    std::size_t frameCount() const { return m_root->frameCount(); }
    bool isPlaying() const { return m_root->isPlaying(); }
    void play();
    void stop();
    void gotoFrame(std::size_t frame);
    bool gotoLabel(std::string_view label);
    void nextFrame();
    void prevFrame();
    std::vector<std::string> currentLabels() const { return m_root->currentLabels(); }
    std::string currentLabel() const { return m_root->currentLabel(); }
    // On (the default): the main timeline starts again after its last frame.
    void setLoop(bool loop) { m_root->setLoops(loop); }
    bool loops() const { return m_root->loops(); }

    const swf::MovieDefinition& movie() const { return m_context.movie(); }
    swf::Rect stage() const { return m_context.stageRect(); }
    double stageWidthPixels() const { return m_context.movie().header.widthPixels(); }
    double stageHeightPixels() const { return m_context.movie().header.heightPixels(); }
    // Frames per second as the header gives it; 0 is possible and left to the host.
    double frameRate() const { return m_context.frameRate(); }
    swf::Rgba background() const { return m_context.background(); }
    int swfVersion() const { return m_context.swfVersion(); }
    // Frame steps taken so far: the movie's clock for timers and getTimer.
    std::uint64_t steps() const { return m_context.tick(); }

    SpriteObject& root() { return *m_root; }
    const SpriteObject& root() const { return *m_root; }
    // A path as scripts write it, from the main timeline ("_level0.clip.inner").
    DisplayObject* findByPath(std::string_view path) const;
    const ButtonTracker& buttons() const { return m_buttons; }
    // The hit tests' work: what the last step used (limits::kMaxHitTestWorkPerStep).
    const HitTestBudget& hitTests() const { return m_context.hitTests(); }

    // Hands queued actions to the script engine (or drops them without one) until none
    // are left or the step's caps are reached (limits::kMaxActionsPerStep actions,
    // kMaxBlocksPerStep blocks), takes away removed clips kept for their unload
    // handlers, tells the engine the step is over, and asks for a repaint if the
    // picture changed. Every call above ends with it; called while actions run, it
    // leaves them to the loop already running.
    void runActions();
    std::size_t queuedActions() const { return m_context.actions().size(); }

    // The limits the engine runs scripts within: the defaults, the movie's
    // ScriptLimits tag over them, the host's time budget over both.
    ScriptLimits scriptLimits() const;
    // The host's budget per block in seconds (swfrun's --max-execution-seconds);
    // nothing restores the movie's own.
    void setScriptTimeout(std::optional<double> seconds) { m_hostTimeoutSeconds = seconds; }

    // Movies scripts load or unload (MovieLoading.cpp): asked for through the context's
    // movieRequests(), fetched as the step that asked ends, carried out in the next
    // advance() after its frame code.
    SpriteObject* level(int number) const { return m_context.level(number); }
    // The main movie's address, as scripts read it back (_url) and as the addresses of
    // the movies they load are taken from ("file:///movie.swf"); empty until set.
    void setMovieUrl(std::string url);

private:
    void drainActions();
    void loadRequestedMovies();
    void carryOut(const MovieRequest& request);
    // Whether an unload of the same target comes after the load at `index`.
    static bool unloadFollows(const std::vector<MovieRequest>& due, std::size_t index);
    void abandonLoad(const MovieRequest& request);
    void loadInto(const MovieRequest& request, SpriteObject* clip);
    void unload(const MovieRequest& request);
    void queueLoadEvent(const MovieRequest& request, DisplayObject* target, LoadEvent event,
                        std::size_t bytes = 0);
    void queueListeners(ClipEvent event);
    bool queueKeyPress(int keyCode, int ascii);
    // A press of the pointer gives the focus (PlayerTextInput.cpp); a drag then selects.
    void focusByPointer(double x, double y);
    // A press on a text field's script link calls it.
    void followLink(double x, double y);
    void selectByPointer(double x, double y);
    EditTextObject* focusedField() const;
    void queueTextChanged(EditTextObject& field);
    // Queues onScroller for `field` when its scroll state is no longer `before`.
    void queueTextScrolled(EditTextObject& field, const std::array<std::int32_t, 4>& before);
    void pressFocused();
    // After a frame, the pointer is over what the frame put under it.
    void trackStillPointer();
    void requestRepaintIfChanged();

    PlayerContext m_context;
    std::shared_ptr<SpriteObject> m_root;
    ButtonTracker m_buttons;
    ScriptEngine* m_engine = nullptr;
    std::optional<double> m_hostTimeoutSeconds;
    bool m_runningActions = false;
    std::uint64_t m_paintedVersion = 0;
    swf::Rgba m_paintedBackground;
    // The movies scripts loaded, while anything plays them (against the caps on them).
    std::vector<std::weak_ptr<MovieInstance>> m_loadedMovies;
    // The field a press of the pointer went into, while the button stays down.
    std::weak_ptr<DisplayObject> m_selecting;
    std::u16string m_clipboard;
};

} // namespace runtime
