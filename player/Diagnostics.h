#pragma once

#include "runtime/Host.h"

#include <QLoggingCategory>

// The engine's diagnostic categories as Qt logging categories: "reelvane.<name>" for
// each entry of RUNTIME_LOG_CATEGORY_LIST (lcPlayerFormat, lcPlayerTimeline...). All
// are off by default; Qt's logging rules switch them on
// (QT_LOGGING_RULES="reelvane.*=true").
#define PLAYER_DECLARE_LOG_CATEGORY(id, name) Q_DECLARE_LOGGING_CATEGORY(lcPlayer##id)
RUNTIME_LOG_CATEGORY_LIST(PLAYER_DECLARE_LOG_CATEGORY)
#undef PLAYER_DECLARE_LOG_CATEGORY

namespace player {

const QLoggingCategory& categoryFor(runtime::LogCategory category);

} // namespace player
