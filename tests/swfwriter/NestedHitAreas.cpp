#include "NestedHitAreas.h"

#include "ButtonWriter.h"
#include "ShapeWriter.h"

namespace swfwriter {

namespace {

constexpr std::uint16_t kRing = 1;
constexpr std::uint16_t kInnermost = 2;

ButtonRecord hitRecord(std::uint16_t id, std::uint16_t depth, Matrix matrix = {})
{
    ButtonRecord record;
    record.states = 0x08;
    record.characterId = id;
    record.depth = depth;
    record.matrix = matrix;
    return record;
}

} // namespace

MovieWriter nestedHitAreas(const NestedHitAreas& shape)
{
    MovieWriter movie(8, 400, 300, 12);
    ShapeWriter ring(3);
    ring.fill1(ring.addFill(FillStyle::solid({200, 0, 0}))).rect(0, 0, 2000, 2000);
    ring.rect(500, 500, 1000, 1000);
    movie.add(ring.tagCode(), ring.body(kRing));

    ButtonRecord shown = hitRecord(kRing, 1);
    shown.states = 0x0f;
    std::vector<ButtonRecord> innermost{shown};
    if (shape.nesting == HitNesting::SameSpot)
        innermost.push_back(hitRecord(kInnermost, 2));
    movie.add(34, defineButton2Body(kInnermost, false, innermost, {}));
    for (int level = 1; level <= shape.levels; ++level) {
        const auto id = std::uint16_t(kInnermost + level);
        const Matrix second = shape.nesting == HitNesting::SameSpot
                                  ? Matrix{}
                                  : Matrix::scale(1.0 + level / 4096.0, 1.0);
        movie.add(34, defineButton2Body(id, false,
                                        {hitRecord(id - 1, 1), hitRecord(id - 1, 2, second)}, {}));
    }
    for (int i = 0; i < shape.instances; ++i) {
        Place place;
        place.depth = std::uint16_t(i + 1);
        place.characterId = std::uint16_t(kInnermost + shape.levels);
        place.matrix = Matrix::translate(1000, 1000);
        movie.place2(place);
    }
    movie.showFrame();
    return movie;
}

} // namespace swfwriter
