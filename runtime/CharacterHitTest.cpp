#include "CharacterHitTest.h"

#include "ShapeHitTest.h"
#include "TimelineState.h"
#include "format/Limits.h"

namespace runtime {

namespace {

bool inRect(const swf::Rect& r, double x, double y)
{
    return x >= r.xMin.value && x <= r.xMax.value && y >= r.yMin.value && y <= r.yMax.value;
}

// One test visits at most as many placed characters as the stage may hold objects:
// the nesting cap alone would let a sprite that places itself twice double at every
// level.
class HitTester {
public:
    explicit HitTester(const swf::MovieDefinition& movie) : m_movie(movie) {}

    bool placed(swf::CharacterId id, const swf::Matrix& matrix, double x, double y, int level)
    {
        swf::Matrix inverse;
        // A matrix that flattens the character to a line covers nothing.
        if (!matrix.invert(inverse))
            return false;
        return character(id, inverse.mapX(x, y), inverse.mapY(x, y), level);
    }

    bool character(swf::CharacterId id, double x, double y, int level)
    {
        if (level >= swf::limits::kMaxDisplayNesting || m_visitsLeft == 0)
            return false;
        --m_visitsLeft;
        if (const auto* shape = m_movie.get<swf::Shape>(id))
            return hitTestShape(*shape, x, y);
        if (const auto* morph = m_movie.get<swf::MorphShape>(id))
            return inRect(morph->startBounds, x, y);
        if (const auto* text = m_movie.get<swf::StaticText>(id))
            return inRect(text->bounds, x, y);
        if (const auto* field = m_movie.get<swf::EditText>(id))
            return inRect(field->bounds, x, y);
        if (const auto* sprite = m_movie.get<swf::Sprite>(id)) {
            TimelineState state(m_movie);
            state.replay(sprite->timeline, 0);
            for (const auto& [depth, placement] : state.entries()) {
                if (placed(*placement.characterId, placement.matrix.value_or(swf::Matrix{}), x, y,
                           level + 1))
                    return true;
            }
            return false;
        }
        if (const auto* button = m_movie.get<swf::Button>(id)) {
            for (const swf::ButtonRecord& record : button->records) {
                if ((record.states & swf::ButtonHitTest) &&
                    placed(record.characterId, record.matrix, x, y, level + 1))
                    return true;
            }
        }
        return false;
    }

private:
    const swf::MovieDefinition& m_movie;
    std::size_t m_visitsLeft = swf::limits::kMaxDisplayObjects;
};

} // namespace

bool hitTestPlaced(const swf::MovieDefinition& movie, swf::CharacterId id,
                   const swf::Matrix& matrix, double x, double y, int nestingLevel)
{
    return HitTester(movie).placed(id, matrix, x, y, nestingLevel);
}

bool hitTestCharacter(const swf::MovieDefinition& movie, swf::CharacterId id, double x, double y,
                      int nestingLevel)
{
    return HitTester(movie).character(id, x, y, nestingLevel);
}

} // namespace runtime
