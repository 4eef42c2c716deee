#include "Diagnostics.h"

// Below QtInfoMsg nothing is enabled unless a rule asks for it: a normal run is silent.
#define PLAYER_DEFINE_LOG_CATEGORY(id, name)                                                       \
    Q_LOGGING_CATEGORY(lcPlayer##id, "reelvane." name, QtInfoMsg)
RUNTIME_LOG_CATEGORY_LIST(PLAYER_DEFINE_LOG_CATEGORY)
#undef PLAYER_DEFINE_LOG_CATEGORY

namespace player {

const QLoggingCategory& categoryFor(runtime::LogCategory category)
{
    switch (category) {
#define PLAYER_CATEGORY_CASE(id, name)                                                             \
    case runtime::LogCategory::id:                                                                 \
        return lcPlayer##id();
        RUNTIME_LOG_CATEGORY_LIST(PLAYER_CATEGORY_CASE)
#undef PLAYER_CATEGORY_CASE
    }
    return lcPlayerFormat();
}

} // namespace player
