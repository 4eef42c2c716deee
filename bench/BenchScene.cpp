#include "BenchScene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kPx = 20;

// A small deterministic generator: the same scene on every run.
class Random {
public:
    double next()
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return double(m_state >> 11) / double(1ull << 53);
    }
    double between(double low, double high) { return low + (high - low) * next(); }
    std::uint8_t byte() { return static_cast<std::uint8_t>(next() * 256); }

private:
    std::uint64_t m_state = 0x853c49e6748fea9bull;
};

swf::Path circle(double radius)
{
    // Eight quadratic arcs, as authoring tools store circles.
    swf::Path path;
    const double r = radius * kPx;
    const double control = r / std::cos(M_PI / 8);
    path.segments.push_back({swf::SegmentKind::Move, int(r), 0});
    for (int i = 1; i <= 8; ++i) {
        const double a = i * M_PI / 4, m = a - M_PI / 8;
        path.segments.push_back({swf::SegmentKind::Curve, int(r * std::cos(a)),
                                 int(r * std::sin(a)), int(control * std::cos(m)),
                                 int(control * std::sin(m))});
    }
    return path;
}

swf::Path star(double radius, int points)
{
    swf::Path path;
    for (int i = 0; i <= points * 2; ++i) {
        const double a = i * M_PI / points;
        const double r = (i % 2 ? 0.45 : 1.0) * radius * kPx;
        path.segments.push_back({i == 0 ? swf::SegmentKind::Move : swf::SegmentKind::Line,
                                 int(r * std::cos(a)), int(r * std::sin(a))});
    }
    return path;
}

swf::Path roundedRect(double w, double h, double corner)
{
    const int x0 = int(-w / 2 * kPx), x1 = int(w / 2 * kPx), y0 = int(-h / 2 * kPx),
              y1 = int(h / 2 * kPx), c = int(corner * kPx);
    using K = swf::SegmentKind;
    swf::Path path;
    path.segments = {{K::Move, x0 + c, y0},          {K::Line, x1 - c, y0},
                     {K::Curve, x1, y0 + c, x1, y0}, {K::Line, x1, y1 - c},
                     {K::Curve, x1 - c, y1, x1, y1}, {K::Line, x0 + c, y1},
                     {K::Curve, x0, y1 - c, x0, y1}, {K::Line, x0, y0 + c},
                     {K::Curve, x0 + c, y0, x0, y0}};
    return path;
}

swf::Shape shapeWith(const swf::FillStyle& fill, swf::Path path, bool outline)
{
    swf::Shape shape;
    swf::ShapeLayer& layer = shape.layers.emplace_back();
    layer.fills.push_back(fill);
    layer.fillPaths.push_back({0, path});
    if (outline) {
        swf::LineStyle line;
        line.width = 2 * kPx;
        line.color = {20, 20, 20, 255};
        layer.lines.push_back(line);
        layer.strokePaths.push_back({0, std::move(path)});
    }
    return shape;
}

swf::FillStyle randomFill(Random& random, bool gradient, double size)
{
    swf::FillStyle fill;
    if (!gradient) {
        fill.color = {random.byte(), random.byte(), random.byte(), 255};
        return fill;
    }
    fill.type = random.next() < 0.5 ? swf::FillType::LinearGradient : swf::FillType::RadialGradient;
    fill.gradient.stops = {{0, {random.byte(), random.byte(), random.byte(), 255}},
                           {128, {random.byte(), random.byte(), random.byte(), 255}},
                           {255, {random.byte(), random.byte(), random.byte(), 200}}};
    const double scale = size * kPx / 16384;
    fill.matrix = swf::Matrix{scale, 0, 0, scale, 0, 0};
    return fill;
}

} // namespace

BenchScene::BenchScene(const BenchSceneSettings& settings)
    : m_movie(std::make_shared<swf::MovieDefinition>()),
      m_movingEvery(std::max(1, settings.movingEvery))
{
    Random random;
    swf::CharacterId nextId = 1;
    auto define = [&](swf::CharacterData data) {
        auto character = std::make_shared<swf::Character>();
        character->id = nextId++;
        character->data = std::move(data);
        m_movie->define(character);
        return m_movie->character(character->id);
    };
    auto randomShape = [&](bool gradient, double size) {
        const double pick = random.next();
        swf::Path path = pick < 0.4   ? circle(size / 2)
                         : pick < 0.7 ? star(size / 2, 5 + int(random.next() * 4))
                                      : roundedRect(size, size * 0.7, size / 8);
        return define(
            shapeWith(randomFill(random, gradient, size), std::move(path), random.next() < 0.3));
    };
    auto mover = [&](const swf::Character* character, std::uint64_t id) {
        Mover m;
        m.character = character;
        m.x = random.between(0, 1920);
        m.y = random.between(0, 1080);
        m.vx = random.between(-6, 6);
        m.vy = random.between(-4, 4);
        m.angle = random.between(0, 6.28);
        m.spin = random.next() < 0.3 ? random.between(-0.05, 0.05) : 0;
        m.id = id;
        return m;
    };

    std::uint64_t id = 1;
    for (int i = 0; i < settings.shapes; ++i) {
        const bool gradient = settings.gradientEvery > 0 && i % settings.gradientEvery == 0;
        m_shapes.push_back(mover(randomShape(gradient, random.between(40, 140)), id++));
    }
    // A 128x128 bitmap, repeated under several shapes.
    swf::Bitmap bitmap;
    bitmap.width = bitmap.height = 128;
    for (std::uint32_t y = 0; y < 128; ++y)
        for (std::uint32_t x = 0; x < 128; ++x)
            bitmap.pixels.push_back(0xff000000u | ((x * 2) << 16) | ((y * 2) << 8) |
                                    (((x ^ y) & 16) ? 0xffu : 0x40u));
    const swf::CharacterId bitmapId = nextId;
    define(std::move(bitmap));
    for (int i = 0; i < settings.bitmaps; ++i) {
        swf::FillStyle fill;
        fill.type = i % 2 ? swf::FillType::ClippedBitmap : swf::FillType::RepeatingBitmap;
        fill.bitmapId = bitmapId;
        fill.matrix = swf::Matrix{kPx * 1.0, 0, 0, kPx * 1.0, -64.0 * kPx, -64.0 * kPx};
        m_shapes.push_back(mover(define(shapeWith(fill, roundedRect(128, 128, 10), false)), id++));
    }
    for (int i = 0; i < settings.sprites; ++i) {
        m_sprites.push_back(mover(nullptr, id++));
        std::vector<Mover> contents;
        for (int k = 0; k < 5; ++k) {
            Mover child = mover(randomShape(k == 0, random.between(30, 80)), id++);
            child.x = random.between(-80, 80);
            child.y = random.between(-60, 60);
            contents.push_back(child);
        }
        m_spriteContents.push_back(std::move(contents));
    }
}

swf::Matrix BenchScene::placeAt(const Mover& mover, int n) const
{
    auto wrap = [](double v, double size) { return std::fmod(std::fmod(v, size) + size, size); };
    const double x = wrap(mover.x + mover.vx * n, 2120) - 100;
    const double y = wrap(mover.y + mover.vy * n, 1280) - 100;
    const double a = mover.angle + mover.spin * n;
    return swf::Matrix{std::cos(a), std::sin(a), -std::sin(a), std::cos(a), x * kPx, y * kPx};
}

runtime::DrawList BenchScene::frame(int n) const
{
    runtime::DrawList list;
    list.stage = swf::Rect{{0}, {1920 * kPx}, {0}, {1080 * kPx}};
    list.background = {240, 240, 232, 255};
    list.movie = m_movie;
    auto place = [&](const swf::Character* character, const swf::Matrix& matrix, std::uint64_t id) {
        runtime::DrawCommand command;
        command.character = character;
        command.matrix = matrix;
        command.objectId = id;
        command.contentVersion = 1;
        list.commands.push_back(command);
    };
    for (std::size_t i = 0; i < m_shapes.size(); ++i)
        place(m_shapes[i].character, placeAt(m_shapes[i], i % m_movingEvery ? 0 : n),
              m_shapes[i].id);
    // Sprites move whole, without turning; the last child of each is a sprite too.
    for (std::size_t i = 0; i < m_sprites.size(); ++i) {
        Mover still = m_sprites[i];
        still.spin = 0;
        still.angle = 0;
        const swf::Matrix at = placeAt(still, n);
        runtime::DrawCommand begin;
        begin.kind = runtime::DrawCommand::Kind::BeginGroup;
        begin.matrix = at;
        begin.objectId = m_sprites[i].id;
        begin.contentVersion = 1;
        list.commands.push_back(begin);
        const auto& contents = m_spriteContents[i];
        for (std::size_t k = 0; k < contents.size(); ++k) {
            const Mover& child = contents[k];
            const swf::Matrix local =
                swf::Matrix{std::cos(child.angle), std::sin(child.angle), -std::sin(child.angle),
                            std::cos(child.angle), child.x * kPx,         child.y * kPx};
            if (k + 1 == contents.size()) {
                runtime::DrawCommand inner = begin;
                inner.matrix = at * local;
                inner.objectId = child.id + 100000;
                list.commands.push_back(inner);
                place(child.character, at * local, child.id);
                runtime::DrawCommand end;
                end.kind = runtime::DrawCommand::Kind::EndGroup;
                list.commands.push_back(end);
            } else {
                place(child.character, at * local, child.id);
            }
        }
        runtime::DrawCommand end;
        end.kind = runtime::DrawCommand::Kind::EndGroup;
        list.commands.push_back(end);
    }
    return list;
}
