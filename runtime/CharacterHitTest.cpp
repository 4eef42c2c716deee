#include "CharacterHitTest.h"

#include "HitAreas.h"
#include "HitTestBudget.h"
#include "Limits.h"
#include "ShapeHitTest.h"
#include "format/Limits.h"

#include <functional>
#include <unordered_map>

namespace runtime {

namespace {

bool inRect(const swf::Rect& r, double x, double y)
{
    return x >= r.xMin.value && x <= r.xMax.value && y >= r.yMin.value && y <= r.yMax.value;
}

class HitTester {
public:
    HitTester(HitAreas& areas, HitTestBudget& budget)
        : m_areas(areas), m_budget(budget), m_movie(areas.movie())
    {}

    bool placed(swf::CharacterId id, const swf::Matrix& matrix, double x, double y, int level)
    {
        // The box first: most of a hit area's subtrees lie away from the point, and
        // need no matrix inverted nor any visit paid for.
        if (!m_areas.box(id).mayCover(matrix, x, y))
            return false;
        swf::Matrix inverse;
        // A matrix that flattens the character to a line covers nothing.
        if (!matrix.invert(inverse))
            return false;
        return character(id, inverse.mapX(x, y), inverse.mapY(x, y), level);
    }

    bool character(swf::CharacterId id, double x, double y, int level)
    {
        if (level >= swf::limits::kMaxDisplayNesting || !m_budget.spend(limits::kHitTestVisitCost))
            return false;
        if (const auto* shape = m_movie.get<swf::Shape>(id))
            return hitTestShape(*shape, x, y, &m_budget);
        if (const auto* morph = m_movie.get<swf::MorphShape>(id))
            return inRect(morph->startBounds, x, y);
        if (const auto* text = m_movie.get<swf::StaticText>(id))
            return inRect(text->bounds, x, y);
        if (const auto* field = m_movie.get<swf::EditText>(id))
            return inRect(field->bounds, x, y);
        if (m_movie.get<swf::Sprite>(id)) {
            return container(id, x, y, level, [&] {
                for (const HitAreas::Placed& child : m_areas.firstFrame(id)) {
                    if (placed(child.id, child.matrix, x, y, level + 1))
                        return true;
                }
                return false;
            });
        }
        if (const auto* button = m_movie.get<swf::Button>(id)) {
            return container(id, x, y, level, [&] {
                for (const swf::ButtonRecord& record : button->records) {
                    if ((record.states & swf::ButtonHitTest) &&
                        placed(record.characterId, record.matrix, x, y, level + 1))
                        return true;
                }
                return false;
            });
        }
        return false;
    }

private:
    // A sprite or button at a point it was already tested at is not tested again: a
    // miss there stays a miss with fewer levels left, and one met again inside its own
    // test can find nothing its outer test does not find by itself. Hit areas whose
    // definitions place one another at the same spot (a button placing itself, or two
    // buttons each placing the other twice) thus cost a visit per definition, not one
    // per path through them.
    template <typename Walk>
    bool container(swf::CharacterId id, double x, double y, int level, Walk&& walk)
    {
        // Most hit areas are a few definitions deep: they are walked without the table.
        if (++m_containers <= kWalksWithoutTable)
            return walk();
        const Key key{id, x, y};
        if (!m_budget.spend(limits::kHitTestRecordCost))
            return false;
        auto [seen, first] = m_seen.try_emplace(key, Seen{level, true});
        if (!first) {
            if (seen->second.testing || seen->second.level <= level)
                return false;
            seen->second = Seen{level, true};
        }
        if (walk())
            return true;
        m_seen[key] = Seen{level, false};
        return false;
    }

    struct Key {
        swf::CharacterId id;
        double x, y;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const
        {
            const std::size_t hx = std::hash<double>{}(k.x), hy = std::hash<double>{}(k.y);
            return (hx * 31 + hy) * 65599 + k.id;
        }
    };
    struct Seen {
        int level;
        bool testing;
    };

    HitAreas& m_areas;
    HitTestBudget& m_budget;
    const swf::MovieDefinition& m_movie;
    static constexpr int kWalksWithoutTable = 32;
    int m_containers = 0;
    std::unordered_map<Key, Seen, KeyHash> m_seen;
};

} // namespace

bool hitTestPlaced(HitAreas& areas, HitTestBudget& budget, swf::CharacterId id,
                   const swf::Matrix& matrix, double x, double y, int nestingLevel)
{
    return HitTester(areas, budget).placed(id, matrix, x, y, nestingLevel);
}

bool hitTestCharacter(HitAreas& areas, HitTestBudget& budget, swf::CharacterId id, double x,
                      double y, int nestingLevel)
{
    return HitTester(areas, budget).character(id, x, y, nestingLevel);
}

} // namespace runtime
