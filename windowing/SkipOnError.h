#pragma once

#include "RuntimeError.h"

#include <utility>

namespace windowing {

// Skip-on-error mode for one handler invocation: each step is passed as a callable;
// while the mode is on, a step that raises a run-time error is abandoned at that point
// and the handler goes on with the next step. While it is off, the error passes on.
//
//     SkipOnError step(!StrictErrors);
//     step([&] { HighlightEntry(-1); });
//     step([&] { NewLeft = ...; });
class SkipOnError {
public:
    explicit SkipOnError(bool active) : m_active(active) {}

    template <typename Step> void operator()(Step&& step) const
    {
        if (!m_active) {
            std::forward<Step>(step)();
            return;
        }
        try {
            std::forward<Step>(step)();
        } catch (const RuntimeError&) {
            // Abandoned: the next step runs.
        }
    }

    bool active() const { return m_active; }

private:
    bool m_active;
};

} // namespace windowing
