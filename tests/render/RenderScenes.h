#pragma once

#include "render/Quality.h"
#include "render/StageRenderer.h"
#include "runtime/DrawList.h"

#include <QImage>
#include <QTransform>
#include <memory>

// Builders for the renderer's tests: shapes, movies and draw lists made by hand.
namespace scenes {

// Twips of a pixel at the 1:1 view.
constexpr int kPx = 20;

// A closed rectangle path in twips.
swf::Path rectPath(int x0, int y0, int x1, int y1);
// A shape with one fill style over `paths` (each a closed contour).
swf::Shape filledShape(const swf::FillStyle& fill, std::vector<swf::Path> paths);
swf::Shape solidRect(int x0, int y0, int x1, int y1, swf::Rgba color);
swf::FillStyle solid(swf::Rgba color);
// A gradient fill whose square spans [x0, x1] horizontally (in twips).
swf::FillStyle gradientFill(int x0, int x1, std::vector<swf::GradientStop> stops,
                            swf::SpreadMode spread);
// A shape that only strokes an open polyline.
swf::Shape strokedLine(std::vector<QPoint> points, const swf::LineStyle& line);

// A movie holding characters, and draw lists over it.
class Scene {
public:
    Scene();
    const swf::Character* define(swf::CharacterId id, swf::CharacterData data);

    runtime::DrawList list(swf::Rgba background = {255, 255, 255, 255}) const;
    runtime::DrawCommand place(const swf::Character* character, const swf::Matrix& matrix = {},
                               std::uint64_t objectId = 0, std::uint64_t version = 0) const;
    static runtime::DrawCommand marker(runtime::DrawCommand::Kind kind, std::uint64_t objectId = 0);
    static runtime::DrawCommand group(const swf::Matrix& matrix, swf::BlendMode mode,
                                      std::uint64_t objectId = 0, std::uint64_t version = 0,
                                      const std::vector<swf::Filter>* filters = nullptr);

    std::shared_ptr<swf::MovieDefinition> movie;
};

// Twips to pixels, one to one.
QTransform pixelView();
// A whole frame drawn by a fresh renderer.
QImage renderFrame(const runtime::DrawList& list, QSize size,
                   render::Quality quality = render::Quality::High,
                   const QTransform& view = pixelView());

// Channels of a pixel, for QCOMPARE against {r, g, b, a}.
QColor at(const QImage& image, int x, int y);
bool near(QColor actual, QColor expected, int tolerance);

} // namespace scenes
