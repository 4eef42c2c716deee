#include "FlawedMovies.h"

#include "ShapeWriter.h"

namespace swfwriter {

MovieWriter movieWithTwoFlaws()
{
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::solid({0, 0, 255}))).rect(0, 0, 400, 400);
    const std::vector<std::uint8_t> square = shape.body(1);
    MovieWriter movie(8);
    movie.add(32, square);
    movie.add(32, square);
    Place place;
    place.depth = 1;
    place.characterId = 9;
    movie.place2(place);
    movie.showFrame();
    return movie;
}

} // namespace swfwriter
