#include "HitAreas.h"

#include "Limits.h"
#include "TimelineState.h"
#include "format/Limits.h"

#include <cmath>

namespace runtime {

namespace {

const HitAreas::Box kNothing{};
const std::vector<HitAreas::Placed> kNoPlacements;

HitAreas::Box unbounded()
{
    HitAreas::Box box;
    box.unbounded = true;
    return box;
}

HitAreas::Box boxOf(const swf::Rect& rect)
{
    HitAreas::Box box;
    box.bounds = Bounds::fromRect(rect);
    return box;
}

bool finite(const Bounds& b)
{
    return std::isfinite(b.xMin) && std::isfinite(b.xMax) && std::isfinite(b.yMin) &&
           std::isfinite(b.yMax);
}

} // namespace

bool HitAreas::Box::mayCover(const swf::Matrix& matrix, double x, double y) const
{
    if (unbounded)
        return true;
    if (bounds.empty)
        return false;
    constexpr double kSlack = 1.0;
    const Bounds placed = bounds.transformed(matrix);
    return x >= placed.xMin - kSlack && x <= placed.xMax + kSlack && y >= placed.yMin - kSlack &&
           y <= placed.yMax + kSlack;
}

bool HitAreas::Box::operator==(const Box& other) const
{
    if (unbounded || other.unbounded)
        return unbounded == other.unbounded;
    if (bounds.empty || other.bounds.empty)
        return bounds.empty == other.bounds.empty;
    return bounds.xMin == other.bounds.xMin && bounds.xMax == other.bounds.xMax &&
           bounds.yMin == other.bounds.yMin && bounds.yMax == other.bounds.yMax;
}

HitAreas::HitAreas(const swf::MovieDefinition& movie) : m_movie(movie) {}

HitAreas::Entry* HitAreas::entry(swf::CharacterId id)
{
    if (m_entries.empty())
        m_entries.resize(m_movie.idLimit());
    return id < m_entries.size() ? &m_entries[id] : nullptr;
}

const std::vector<HitAreas::Placed>& HitAreas::children(swf::CharacterId id, Entry& e)
{
    if (e.childrenKnown)
        return e.children;
    e.childrenKnown = true;
    if (const auto* sprite = m_movie.get<swf::Sprite>(id)) {
        TimelineState state(m_movie);
        state.replay(sprite->timeline, 0);
        for (const auto& [depth, placement] : state.entries()) {
            if (placement.characterId)
                e.children.push_back(
                    {*placement.characterId, placement.matrix.value_or(swf::Matrix{})});
        }
    } else if (const auto* button = m_movie.get<swf::Button>(id)) {
        for (const swf::ButtonRecord& record : button->records) {
            if (record.states & swf::ButtonHitTest)
                e.children.push_back({record.characterId, record.matrix});
        }
    }
    return e.children;
}

const std::vector<HitAreas::Placed>& HitAreas::firstFrame(swf::CharacterId spriteId)
{
    Entry* e = entry(spriteId);
    if (!e || !m_movie.get<swf::Sprite>(spriteId))
        return kNoPlacements;
    return children(spriteId, *e);
}

const HitAreas::Box& HitAreas::box(swf::CharacterId id)
{
    Entry* e = entry(id);
    if (!e)
        return kNothing;
    if (e->state != State::Known)
        solve(id);
    return e->box;
}

// The boxes of every sprite and button reachable from `id` that are not known yet, at
// once: sprites and buttons may place one another, themselves included, so a box is
// the least one that holds what each placement of its children adds. Starting from
// empty boxes, each round widens every box by its children's, so that after n rounds
// a box holds every path of n placements; nothing hits past the nesting cap, so
// kMaxDisplayNesting rounds are enough, and most movies settle after a round or two.
// Leaves (shapes, morphs, texts) have boxes of their own.
void HitAreas::solve(swf::CharacterId id)
{
    std::vector<swf::CharacterId> containers;
    std::vector<swf::CharacterId> pending{id};
    std::uint64_t placements = 0;
    while (!pending.empty()) {
        const swf::CharacterId next = pending.back();
        pending.pop_back();
        Entry* e = entry(next);
        if (!e || e->state != State::Unknown)
            continue;
        if (const auto* shape = m_movie.get<swf::Shape>(next)) {
            // A shape without bounds is tested in full (ShapeHitTest).
            e->box = shape->bounds.isEmpty() ? unbounded() : boxOf(shape->bounds);
        } else if (const auto* morph = m_movie.get<swf::MorphShape>(next)) {
            e->box = boxOf(morph->startBounds);
        } else if (const auto* text = m_movie.get<swf::StaticText>(next)) {
            e->box = boxOf(text->bounds);
        } else if (const auto* field = m_movie.get<swf::EditText>(next)) {
            e->box = boxOf(field->bounds);
        } else if (m_movie.get<swf::Sprite>(next) || m_movie.get<swf::Button>(next)) {
            e->state = State::Solving;
            containers.push_back(next);
            for (const Placed& child : children(next, *e)) {
                pending.push_back(child.id);
                ++placements;
            }
            continue;
        }
        e->state = State::Known;
    }

    // Rounds cost a step per placement; past the cap the boxes stay unknown.
    const std::uint64_t rounds = placements == 0 ? 1 : limits::kMaxHitAreaWork / placements;
    bool settled = false;
    for (std::uint64_t round = 0;
         !settled && round < std::min<std::uint64_t>(rounds, swf::limits::kMaxDisplayNesting);
         ++round) {
        settled = true;
        for (const swf::CharacterId container : containers) {
            Entry& e = *entry(container);
            Box wider;
            for (const Placed& child : e.children) {
                const Box& inner = entry(child.id) ? entry(child.id)->box : kNothing;
                if (inner.unbounded) {
                    wider = unbounded();
                    break;
                }
                wider.bounds.include(inner.bounds.transformed(child.matrix));
            }
            if (!wider.unbounded && !wider.bounds.empty && !finite(wider.bounds))
                wider = unbounded();
            if (!(wider == e.box)) {
                e.box = wider;
                settled = false;
            }
        }
    }
    for (const swf::CharacterId container : containers) {
        Entry& e = *entry(container);
        // Boxes still widening when the rounds ran out hold only the paths walked so far.
        if (!settled && rounds < swf::limits::kMaxDisplayNesting)
            e.box = unbounded();
        e.state = State::Known;
    }
}

} // namespace runtime
