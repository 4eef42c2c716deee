#include "RenderScenes.h"

#include <cstdlib>

namespace scenes {

swf::Path rectPath(int x0, int y0, int x1, int y1)
{
    using swf::SegmentKind;
    swf::Path path;
    path.segments = {{SegmentKind::Move, x0, y0},
                     {SegmentKind::Line, x1, y0},
                     {SegmentKind::Line, x1, y1},
                     {SegmentKind::Line, x0, y1},
                     {SegmentKind::Line, x0, y0}};
    return path;
}

swf::FillStyle solid(swf::Rgba color)
{
    swf::FillStyle fill;
    fill.type = swf::FillType::Solid;
    fill.color = color;
    return fill;
}

swf::Shape filledShape(const swf::FillStyle& fill, std::vector<swf::Path> paths)
{
    swf::Shape shape;
    swf::ShapeLayer& layer = shape.layers.emplace_back();
    layer.fills.push_back(fill);
    swf::FillPath fillPath;
    for (swf::Path& path : paths)
        fillPath.path.segments.insert(fillPath.path.segments.end(), path.segments.begin(),
                                      path.segments.end());
    layer.fillPaths.push_back(std::move(fillPath));
    return shape;
}

swf::Shape solidRect(int x0, int y0, int x1, int y1, swf::Rgba color)
{
    return filledShape(solid(color), {rectPath(x0, y0, x1, y1)});
}

swf::FillStyle gradientFill(int x0, int x1, std::vector<swf::GradientStop> stops,
                            swf::SpreadMode spread)
{
    swf::FillStyle fill;
    fill.type = swf::FillType::LinearGradient;
    fill.gradient.stops = std::move(stops);
    fill.gradient.spread = spread;
    // The gradient square is 32768 twips wide: scale it to the span and centre it there.
    const double scale = (x1 - x0) / 32768.0;
    fill.matrix = swf::Matrix{scale, 0, 0, scale, (x0 + x1) / 2.0, 0};
    return fill;
}

swf::Shape strokedLine(std::vector<QPoint> points, const swf::LineStyle& line)
{
    swf::Shape shape;
    swf::ShapeLayer& layer = shape.layers.emplace_back();
    layer.lines.push_back(line);
    swf::StrokePath stroke;
    for (std::size_t i = 0; i < points.size(); ++i)
        stroke.path.segments.push_back({i == 0 ? swf::SegmentKind::Move : swf::SegmentKind::Line,
                                        points[i].x(), points[i].y()});
    layer.strokePaths.push_back(std::move(stroke));
    return shape;
}

Scene::Scene() : movie(std::make_shared<swf::MovieDefinition>()) {}

const swf::Character* Scene::define(swf::CharacterId id, swf::CharacterData data)
{
    auto character = std::make_shared<swf::Character>();
    character->id = id;
    character->data = std::move(data);
    movie->define(character);
    return movie->character(id);
}

runtime::DrawList Scene::list(swf::Rgba background) const
{
    runtime::DrawList list;
    list.stage = swf::Rect{{0}, {kPx * 100}, {0}, {kPx * 100}};
    list.background = background;
    list.movie = movie;
    return list;
}

runtime::DrawCommand Scene::place(const swf::Character* character, const swf::Matrix& matrix,
                                  std::uint64_t objectId, std::uint64_t version) const
{
    runtime::DrawCommand command;
    command.kind = runtime::DrawCommand::Kind::Character;
    command.character = character;
    command.matrix = matrix;
    command.objectId = objectId;
    command.contentVersion = version;
    return command;
}

runtime::DrawCommand Scene::marker(runtime::DrawCommand::Kind kind, std::uint64_t objectId)
{
    runtime::DrawCommand command;
    command.kind = kind;
    command.objectId = objectId;
    return command;
}

runtime::DrawCommand Scene::group(const swf::Matrix& matrix, swf::BlendMode mode,
                                  std::uint64_t objectId, std::uint64_t version,
                                  const std::vector<swf::Filter>* filters)
{
    runtime::DrawCommand command;
    command.kind = runtime::DrawCommand::Kind::BeginGroup;
    command.matrix = matrix;
    command.blendMode = mode;
    command.objectId = objectId;
    command.contentVersion = version;
    command.filters = filters;
    return command;
}

QTransform pixelView()
{
    return QTransform::fromScale(1.0 / kPx, 1.0 / kPx);
}

QImage renderFrame(const runtime::DrawList& list, QSize size, render::Quality quality,
                   const QTransform& view)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    render::StageRenderer renderer;
    renderer.render(list, image, view, quality);
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return QColor::fromRgba(qUnpremultiply(image.pixel(x, y)));
}

bool near(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

} // namespace scenes
