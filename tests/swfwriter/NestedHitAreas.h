// Movies whose buttons' hit areas place buttons, as damaged or hostile movies have
// them: what makes hit tests multiply. Shared by the hit-test tests, the pointer
// benchmark and the fuzzers' seeds.
#pragma once

#include "MovieWriter.h"

namespace swfwriter {

enum class HitNesting {
    // Each level places the one below twice at the same spot, and the innermost also
    // places itself: 2^levels paths, all to one point.
    SameSpot,
    // The second record of each level is scaled a little, so that every path reaches
    // the ring at a point of its own.
    SpreadPoints,
};

struct NestedHitAreas {
    int levels = 20;
    int instances = 200;
    HitNesting nesting = HitNesting::SameSpot;
};

// A 400 x 300 movie at 12 frames a second. Shape 1 is a 2000-twip square ring with a
// 1000-twip hole; button 2 shows it and hits on it; button 2 + k places button
// 2 + k - 1 in its hit area twice; `instances` of the outermost stand at (1000, 1000)
// twips, so that the hole's centre is at (2000, 2000) on the stage and the ring's fill
// at (1200, 1200).
MovieWriter nestedHitAreas(const NestedHitAreas& shape);

} // namespace swfwriter
