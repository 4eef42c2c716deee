#pragma once

#include "runtime/Host.h"

#include <QLoggingCategory>

// The player's diagnostic categories, off by default; Qt's logging rules switch them on
// (QT_LOGGING_RULES="reelvane.*=true").
Q_DECLARE_LOGGING_CATEGORY(lcPlayerFormat)
Q_DECLARE_LOGGING_CATEGORY(lcPlayerRuntime)

namespace player {

const QLoggingCategory& categoryFor(runtime::LogCategory category);

} // namespace player
