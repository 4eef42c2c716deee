#include "PreparedShape.h"

#include "PathFlattener.h"
#include "QtConversions.h"
#include "RoundStroker.h"
#include "SharedPaths.h"

#include <QPainterPathStroker>

namespace render {

namespace {

std::size_t pathBytes(const QPainterPath& path)
{
    return sizeof(QPainterPath) + std::size_t(path.elementCount()) * 24;
}

PreparedStroke prepareStroke(const swf::LineStyle& line, const swf::Path& path, double tolerance)
{
    PreparedStroke stroke;
    stroke.style = &line;
    // A closed loop is joined where it meets itself unless the style asks for caps there.
    const SubpathClosing closing =
        line.noClose ? SubpathClosing::KeepOpen : SubpathClosing::CloseLoops;
    stroke.centre = flattenPath(path, tolerance, closing);
    const double halfWidth = line.width / 2.0;
    if (line.width > 0) {
        if (auto outline = roundJoinedOutline(stroke.centre, line, tolerance,
                                              closing == SubpathClosing::CloseLoops)) {
            stroke.outline = std::move(*outline);
        } else {
            QPainterPathStroker stroker;
            stroker.setWidth(line.width);
            stroker.setCapStyle(toQtCap(line.startCap));
            stroker.setJoinStyle(toQtJoin(line.join));
            stroker.setMiterLimit(line.miterLimit);
            stroker.setCurveThreshold(tolerance);
            stroke.outline =
                flattenQtPath(stroker.createStroke(curvedPath(path, closing)), tolerance);
        }
        stroke.outline.setFillRule(Qt::WindingFill);
        stroke.bounds = stroke.outline.boundingRect();
    } else {
        stroke.bounds = stroke.centre.boundingRect();
    }
    // Strokes that keep their width in pixels reach beyond their outline's bounds.
    if (line.noHScale || line.noVScale || line.width == 0)
        stroke.bounds =
            stroke.centre.boundingRect().adjusted(-halfWidth, -halfWidth, halfWidth, halfWidth);
    return stroke;
}

} // namespace

std::shared_ptr<PreparedShape> prepareShape(const swf::Shape& shape, double tolerance)
{
    auto prepared = std::make_shared<PreparedShape>();
    prepared->bytes = sizeof(PreparedShape);
    const Qt::FillRule rule = shape.nonZeroWinding ? Qt::WindingFill : Qt::OddEvenFill;
    for (const swf::ShapeLayer& layer : shape.drawing()) {
        PreparedLayer& out = prepared->layers.emplace_back();
        for (const swf::FillPath& fill : layer.fillPaths) {
            // Style indexes come from the movie: one past the array draws nothing.
            if (fill.style >= layer.fills.size() || fill.path.empty())
                continue;
            PreparedFill item;
            item.style = &layer.fills[fill.style];
            item.path = flattenPath(fill.path, tolerance, SubpathClosing::CloseAll);
            item.path.setFillRule(rule);
            prepared->bounds |= item.path.boundingRect();
            prepared->bytes += pathBytes(item.path);
            out.fills.push_back(std::move(item));
        }
        for (const swf::StrokePath& strokePath : layer.strokePaths) {
            if (strokePath.style >= layer.lines.size() || strokePath.path.empty())
                continue;
            PreparedStroke item =
                prepareStroke(layer.lines[strokePath.style], strokePath.path, tolerance);
            prepared->bounds |= item.bounds;
            prepared->bytes += pathBytes(item.centre) + pathBytes(item.outline);
            out.strokes.push_back(std::move(item));
        }
    }
    SharedPaths& warmer = SharedPaths::forThisThread();
    for (const PreparedLayer& layer : prepared->layers) {
        for (const PreparedFill& fill : layer.fills)
            warmer.prepare(fill.path);
        for (const PreparedStroke& stroke : layer.strokes) {
            warmer.prepare(stroke.centre);
            warmer.prepare(stroke.outline);
        }
    }
    return prepared;
}

} // namespace render
