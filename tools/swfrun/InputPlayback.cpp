#include "InputPlayback.h"

namespace swfrun {

void sendEvent(runtime::MoviePlayer& movie, const InputEvent& event, const QTransform& toStage)
{
    const QPointF at = toStage.map(QPointF(event.x, event.y));
    switch (event.type) {
    case InputEvent::Type::MouseMove:
        movie.pointerMove(at.x(), at.y());
        break;
    case InputEvent::Type::MouseDown:
        movie.pointerDown(at.x(), at.y(), event.button);
        break;
    case InputEvent::Type::MouseUp:
        movie.pointerUp(at.x(), at.y(), event.button);
        break;
    case InputEvent::Type::KeyDown:
        movie.keyDown(event.keyCode, event.ascii);
        break;
    case InputEvent::Type::KeyUp:
        movie.keyUp(event.keyCode, event.ascii);
        break;
    case InputEvent::Type::TextInput:
    case InputEvent::Type::TextControl:
    case InputEvent::Type::SetClipboardText:
    case InputEvent::Type::FocusGained:
    case InputEvent::Type::FocusLost:
    case InputEvent::Type::Wait:
        break;
    }
}

void playWithInput(runtime::MoviePlayer& movie, long frames, const std::vector<InputEvent>& events,
                   const QTransform& toStage)
{
    const QTransform toView = toStage.inverted();
    movie.input().setViewMatrix(swf::Matrix{toView.m11(), toView.m12(), toView.m21(), toView.m22(),
                                            toView.dx(), toView.dy()});
    std::size_t next = 0;
    for (long frame = 1; frame <= frames; ++frame) {
        if (frame > 1)
            movie.advance();
        for (; next < events.size(); ++next) {
            if (events[next].type == InputEvent::Type::Wait) {
                ++next;
                break;
            }
            sendEvent(movie, events[next], toStage);
        }
    }
}

} // namespace swfrun
