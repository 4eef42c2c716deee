// The host's view of the stage: its size, and what a change of it tells scripts.
#include "MoviePlayer.h"

namespace runtime {

void MoviePlayer::setViewport(double widthPixels, double heightPixels)
{
    StageView& view = m_context.stageView();
    const double width = view.width(stageWidthPixels());
    const double height = view.height(stageHeightPixels());
    view.setViewport(widthPixels, heightPixels);
    if (view.width(stageWidthPixels()) == width && view.height(stageHeightPixels()) == height)
        return;
    QueuedAction action;
    action.kind = QueuedAction::Kind::Resize;
    action.target = m_root;
    m_context.actions().push(std::move(action));
    runActions();
}

} // namespace runtime
