#pragma once

#include "Bounds.h"
#include "format/Movie.h"

#include <vector>

namespace runtime {

// What a movie's character definitions can be hit by, worked out once per character
// and shared by every instance: the box around each hit area, and the placements of
// each sprite's first frame. Button hit areas are never made into objects, so their
// tests walk definitions (CharacterHitTest): the box lets a walk skip a whole subtree
// without inverting a matrix, and the first frames save replaying sprite timelines at
// every visit.
class HitAreas {
public:
    // The box, in the character's own twips, around everything its hit area may cover:
    // empty when nothing hits it; unbounded where it cannot be known (a shape without
    // bounds, or more work than limits::kMaxHitAreaWork to find it).
    struct Box {
        Bounds bounds;
        bool unbounded = false;

        // Whether the character placed with `matrix` may cover the point (x, y) of its
        // parent's space. A twip of slack keeps rounding from losing a point on the edge.
        bool mayCover(const swf::Matrix& matrix, double x, double y) const;
        bool operator==(const Box& other) const;
    };
    struct Placed {
        swf::CharacterId id = 0;
        swf::Matrix matrix;
    };

    explicit HitAreas(const swf::MovieDefinition& movie);

    const swf::MovieDefinition& movie() const { return m_movie; }
    const Box& box(swf::CharacterId id);
    // What the sprite's first frame places, by depth; empty for any other character.
    const std::vector<Placed>& firstFrame(swf::CharacterId spriteId);

private:
    enum class State : std::uint8_t { Unknown, Solving, Known };
    struct Entry {
        State state = State::Unknown;
        bool childrenKnown = false;
        Box box;
        // A sprite's first frame, or a button's hit records.
        std::vector<Placed> children;
    };

    Entry* entry(swf::CharacterId id);
    const std::vector<Placed>& children(swf::CharacterId id, Entry& e);
    void solve(swf::CharacterId id);

    const swf::MovieDefinition& m_movie;
    // By id; sized once, so references into it stay valid while boxes are worked out.
    std::vector<Entry> m_entries;
};

} // namespace runtime
