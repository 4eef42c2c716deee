// Writes the fuzzer's seed movies with the project's own writer: one small movie for
// each kind of definition and display tag, in each compression.
//     make-fuzz-seeds FOLDER
#include "BitmapWriter.h"
#include "ButtonWriter.h"
#include "FontWriter.h"
#include "MorphShapeWriter.h"
#include "MovieWriter.h"
#include "ShapeWriter.h"
#include "TextWriter.h"

#include <cstdio>
#include <string>

using namespace swfwriter;

namespace {

Place placed(std::uint16_t depth, std::uint16_t id)
{
    Place place;
    place.depth = depth;
    place.characterId = id;
    place.matrix = Matrix::translate(200, 300);
    return place;
}

std::vector<std::uint8_t> square(int version, std::uint16_t id, Color color)
{
    ShapeWriter shape(version);
    shape.fill1(shape.addFill(FillStyle::solid(color))).rect(0, 0, 800, 600);
    return shape.body(id);
}

MovieWriter shapes()
{
    MovieWriter movie(8);
    for (int version = 1; version <= 4; ++version) {
        ShapeWriter shape(version);
        const int fill = shape.addFill(
            FillStyle::linear({{0, {255, 0, 0}}, {255, {0, 0, 255}}}, Matrix::scale(0.05, 0.05)));
        const int radial = shape.addFill(FillStyle::radial(
            {{0, {255, 255, 0}}, {255, {0, 128, 0, 128}}}, Matrix::scale(0.03, 0.03, 400, 400)));
        LineStyle line;
        line.width = 40;
        line.color = {0, 0, 0};
        const int stroke = shape.addLine(line);
        shape.fill0(fill)
            .fill1(radial)
            .line(stroke)
            .moveTo(0, 0)
            .lineTo(800, 0)
            .curveTo(1000, 400, 800, 800)
            .lineTo(0, 800)
            .lineTo(0, 0);
        shape.newStyles();
        shape.fill1(shape.addFill(FillStyle::solid({1, 2, 3}))).rect(100, 100, 200, 200);
        movie.add(shape.tagCode(), shape.body(static_cast<std::uint16_t>(version)));
        movie.place2(
            placed(static_cast<std::uint16_t>(version), static_cast<std::uint16_t>(version)));
    }
    movie.showFrame();
    return movie;
}

MovieWriter spritesAndMasks()
{
    MovieWriter movie(6);
    movie.add(32, square(3, 1, {255, 0, 0}));
    movie.add(32, square(3, 2, {0, 255, 0}));
    TagList inner;
    inner.place2(placed(1, 1));
    inner.showFrame();
    inner.remove2(1);
    inner.place2(placed(2, 2));
    inner.showFrame();
    movie.defineSprite(3, inner);
    Place mask = placed(1, 2);
    mask.clipDepth = 3;
    movie.place2(mask);
    movie.place2(placed(2, 3));
    Place filtered = placed(3, 3);
    filtered.blendMode = 3;
    movie.place3(filtered);
    movie.frameLabel("start");
    movie.showFrame();
    movie.showFrame();
    return movie;
}

MovieWriter bitmaps()
{
    MovieWriter movie(8);
    auto lossless = LosslessBitmap::pix24(2, Image::filled(8, 8, {10, 200, 30, 200}));
    lossless.id = 1;
    movie.add(lossless.tagCode(), lossless.body());
    auto mapped = LosslessBitmap::colorMapped(1, 5, 3, {{255, 0, 0}, {0, 0, 255}},
                                              {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
    mapped.id = 2;
    movie.add(mapped.tagCode(), mapped.body());
    ShapeWriter shape(3);
    shape.fill1(shape.addFill(FillStyle::bitmap(1, Matrix::scale(20, 20)))).rect(0, 0, 400, 400);
    movie.add(shape.tagCode(), shape.body(3));
    movie.place2(placed(1, 3));
    movie.showFrame();
    return movie;
}

MovieWriter textAndButtons()
{
    MovieWriter movie(7);
    ShapeWriter glyph(1);
    glyph.fill1(1).rect(0, -700, 500, 700);
    FontWriter font(2);
    font.addGlyph(glyph, 'A', 600).setName("Seed").setLayout(900, 200, 0);
    movie.add(font.tagCode(), font.body(1));
    TextWriter text;
    TextRecordFields run;
    run.fontId = 1;
    run.color = Color{0, 0, 0};
    run.x = 0;
    run.y = 400;
    run.glyphs = {{0, 600}, {0, 600}};
    text.setBounds({0, 2000, 0, 800}).addRecord(run);
    movie.add(text.tagCode(), text.body(2));
    movie.place2(placed(1, 2));
    movie.add(32, square(3, 3, {200, 0, 0}));
    ButtonRecord record;
    record.characterId = 3;
    ButtonCondAction release;
    release.conditions = 0x0008;
    release.actions = {0x07, 0x00};
    movie.add(34, defineButton2Body(4, false, {record}, {release}));
    movie.place2(placed(2, 4));
    movie.showFrame();
    return movie;
}

MovieWriter morph()
{
    MovieWriter movie(8);
    MorphShapeWriter morphShape(1);
    const int fill =
        morphShape.addFill(FillStyle::solid({255, 0, 0}), FillStyle::solid({0, 0, 255}));
    morphShape.startEdges().fill1(fill).rect(0, 0, 400, 400);
    morphShape.endEdges().rect(100, 100, 800, 600);
    movie.add(morphShape.tagCode(), morphShape.body(1));
    Place place = placed(1, 1);
    place.ratio = 30000;
    movie.place2(place);
    movie.showFrame();
    return movie;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::pair<const char*, MovieWriter> movies[] = {{"shapes", shapes()},
                                                          {"sprites", spritesAndMasks()},
                                                          {"bitmaps", bitmaps()},
                                                          {"text", textAndButtons()},
                                                          {"morph", morph()}};
    bool ok = true;
    for (const auto& [name, movie] : movies) {
        ok &= movie.writeFile(folder + "/" + name + ".swf", Compression::None);
        ok &= movie.writeFile(folder + "/" + name + "-zlib.swf", Compression::Zlib);
    }
    ok &= shapes().writeFile(folder + "/shapes-lzma.swf", Compression::Lzma);
    return ok ? 0 : 1;
}
