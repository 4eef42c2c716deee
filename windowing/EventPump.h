#pragma once

namespace windowing {

// Dispatches every pending event, then returns. Handlers that run inside it may pump
// again; past a fixed nesting depth the pump returns at once, so that a stream of
// input cannot recurse without bound.
void DoEvents();

inline constexpr int kMaxPumpNesting = 32;

} // namespace windowing
