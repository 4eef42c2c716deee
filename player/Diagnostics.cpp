#include "Diagnostics.h"

Q_LOGGING_CATEGORY(lcPlayerFormat, "reelvane.format", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayerRuntime, "reelvane.runtime", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayerTimeline, "reelvane.runtime.timeline", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayerDisplay, "reelvane.runtime.display", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayerButtons, "reelvane.runtime.buttons", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlayerActions, "reelvane.runtime.actions", QtInfoMsg)

namespace player {

const QLoggingCategory& categoryFor(runtime::LogCategory category)
{
    switch (category) {
    case runtime::LogCategory::Timeline:
        return lcPlayerTimeline();
    case runtime::LogCategory::Display:
        return lcPlayerDisplay();
    case runtime::LogCategory::Buttons:
        return lcPlayerButtons();
    case runtime::LogCategory::Actions:
        return lcPlayerActions();
    }
    return lcPlayerRuntime();
}

} // namespace player
