#pragma once

#include "InputScript.h"

#include <QTransform>
#include <functional>
#include <vector>

namespace swfrun {

// Plays `frames` frames of the movie (the first one counts: it was executed when the
// player was made) and sends the events in between as the reference run did: after
// each frame, the events up to the next Wait. Events after the last frame's share are
// not sent. `toStage` maps an event's pixels to stage twips; the player learns the
// view from it too (_xmouse works from where the pointer stands in the view).
// `afterFrame` runs once each frame has been executed and its events sent.
void playWithInput(runtime::MoviePlayer& movie, long frames, const std::vector<InputEvent>& events,
                   const QTransform& toStage, const std::function<void()>& afterFrame = {});

// Sends one event; a Wait does nothing here. Text and editing commands go to the
// focused text field, the clipboard text to the player's clipboard, and the window's
// focus changes to the player as its window's would.
void sendEvent(runtime::MoviePlayer& movie, const InputEvent& event, const QTransform& toStage);

} // namespace swfrun
