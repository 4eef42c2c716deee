#include "InputPlayback.h"

#include <QString>

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
    case InputEvent::Type::TextInput: {
        const char32_t typed[] = {event.codepoint, 0};
        movie.textInput(QString::fromUcs4(typed, 1).toStdString());
        break;
    }
    case InputEvent::Type::TextControl:
        if (event.command)
            movie.textCommand(*event.command);
        break;
    case InputEvent::Type::SetClipboardText:
        movie.setClipboardText(event.text);
        break;
    case InputEvent::Type::FocusGained:
    case InputEvent::Type::FocusLost:
        movie.windowFocusChanged(event.type == InputEvent::Type::FocusGained);
        break;
    case InputEvent::Type::Wait:
        break;
    }
}

void playWithInput(runtime::MoviePlayer& movie, long frames, const std::vector<InputEvent>& events,
                   const QTransform& toStage, const std::function<void()>& afterFrame)
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
        if (afterFrame)
            afterFrame();
    }
}

} // namespace swfrun
