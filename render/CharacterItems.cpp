#include "CharacterItems.h"

#include "PathFlattener.h"
#include "QtConversions.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// The definitions a command's character draws from: its own movie's for a character
// of a movie a script loaded, the list's otherwise.
const swf::MovieDefinition* movieOf(const runtime::DrawCommand& command,
                                    const swf::MovieDefinition* listMovie)
{
    return command.movie ? command.movie : listMovie;
}

// The stroke of a text field's border, and the box it encloses.
const swf::Rgba kBorderColor{0, 0, 0, 255};
const swf::Rgba kBackgroundColor{255, 255, 255, 255};

PaintItem fillItem(const QPainterPath& path, const QTransform& transform, const QRect& bounds,
                   const FillBrush& brush)
{
    PaintItem item;
    item.kind = PaintItem::Kind::Fill;
    item.path = path;
    item.transform = transform;
    item.bounds = bounds;
    item.brush = brush.brush;
    item.gradient = brush.gradient;
    item.opacity = brush.opacity;
    item.smooth = brush.smooth;
    return item;
}

} // namespace

CharacterItems::CharacterItems(RenderCaches& caches, const FrameContext& context,
                               SharedPaths& paths)
    : m_caches(caches), m_context(context), m_paths(paths), m_brushes(caches.ramps, caches.bitmaps)
{}

std::shared_ptr<const PreparedShape> CharacterItems::shapeFor(const runtime::DrawCommand& command,
                                                              const QTransform& transform)
{
    if (!command.character)
        return nullptr;
    const int level = scaleLevel(maxScale(transform));
    if (const auto* shape = std::get_if<swf::Shape>(&command.character->data))
        return m_caches.shapes.get(*shape, level);
    if (const auto* morph = std::get_if<swf::MorphShape>(&command.character->data))
        return m_caches.shapes.get(*morph, command.ratio, level);
    return nullptr;
}

QRect CharacterItems::add(const runtime::DrawCommand& command, const QRect& clip, PaintList& out)
{
    if (!command.character)
        return {};
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    if (auto shape = shapeFor(command, transform))
        return addShape(*shape, command, transform, clip, out);
    if (const auto* text = std::get_if<swf::StaticText>(&command.character->data))
        return addStaticText(*text, command, clip, out);
    if (const auto* field = std::get_if<swf::EditText>(&command.character->data))
        return addEditText(*field, command, clip, out);
    return {};
}

QRect CharacterItems::addShape(const PreparedShape& shape, const runtime::DrawCommand& command,
                               const QTransform& transform, const QRect& clip, PaintList& out)
{
    QRect covered;
    if (!(deviceBounds(shape.bounds, transform) & clip).isValid())
        return covered;
    for (const PreparedLayer& layer : shape.layers) {
        for (const PreparedFill& fill : layer.fills) {
            const QRect bounds = deviceBounds(fill.path.boundingRect(), transform) & clip;
            if (bounds.isEmpty())
                continue;
            const FillBrush brush = m_brushes.make(*fill.style, command.colorTransform,
                                                   movieOf(command, m_context.movie),
                                                   m_context.quality, fill.path.boundingRect());
            if (!brush.visible)
                continue;
            out.push_back(fillItem(fill.path, transform, bounds, brush));
            covered |= bounds;
        }
        for (const PreparedStroke& stroke : layer.strokes)
            covered |= addStroke(stroke, command, transform, clip, out);
    }
    return covered;
}

QRect CharacterItems::addStroke(const PreparedStroke& stroke, const runtime::DrawCommand& command,
                                const QTransform& transform, const QRect& clip, PaintList& out)
{
    const swf::LineStyle& line = *stroke.style;
    FillBrush brush;
    if (line.fill) {
        brush = m_brushes.make(*line.fill, command.colorTransform,
                               movieOf(command, m_context.movie), m_context.quality, stroke.bounds);
    } else {
        const QColor color = toQColor(line.color, command.colorTransform);
        brush.brush = QBrush(color);
        brush.visible = color.alpha() > 0;
    }
    if (!brush.visible)
        return {};

    // The width on the device: scaled with the shape, or kept (in stage pixels) along
    // the axes the style asks for.
    const double viewScale = averageScale(m_context.view);
    double width = line.width * averageScale(transform);
    if (line.noHScale && line.noVScale)
        width = line.width * viewScale;
    else if (line.noHScale)
        width = line.width * viewScale * std::hypot(command.matrix.c, command.matrix.d);
    else if (line.noVScale)
        width = line.width * viewScale * std::hypot(command.matrix.a, command.matrix.b);
    const bool keepsWidth = line.noHScale || line.noVScale;

    if (!keepsWidth && width >= 1 && !stroke.outline.isEmpty()) {
        const QRect bounds = deviceBounds(stroke.outline.boundingRect(), transform) & clip;
        if (bounds.isEmpty())
            return {};
        out.push_back(fillItem(stroke.outline, transform, bounds, brush));
        return bounds;
    }
    // Hairlines (width 0) and lines thinner than a pixel are drawn one pixel wide.
    const double penWidth = std::max(1.0, width);
    const int reach = static_cast<int>(std::ceil(penWidth)) + 1;
    const QRect bounds = deviceBounds(stroke.centre.boundingRect(), transform)
                             .adjusted(-reach, -reach, reach, reach) &
                         clip;
    if (bounds.isEmpty())
        return {};
    PaintItem item;
    item.kind = PaintItem::Kind::Stroke;
    item.path = stroke.centre;
    item.transform = transform;
    item.bounds = bounds;
    item.pen =
        QPen(brush.brush, penWidth, Qt::SolidLine, toQtCap(line.startCap), toQtJoin(line.join));
    item.pen.setMiterLimit(line.miterLimit);
    item.pen.setCosmetic(true);
    item.opacity = brush.opacity;
    item.smooth = brush.smooth;
    out.push_back(std::move(item));
    return bounds;
}

QRect CharacterItems::addStaticText(const swf::StaticText& text,
                                    const runtime::DrawCommand& command, const QRect& clip,
                                    PaintList& out)
{
    const QTransform transform =
        toQTransform(text.matrix) * toQTransform(command.matrix) * m_context.view;
    const auto prepared = m_caches.texts.staticText(text, movieOf(command, m_context.movie),
                                                    scaleLevel(maxScale(transform)));
    QRect covered;
    for (const PreparedText::Run& run : prepared->runs) {
        const QRect bounds = deviceBounds(run.path.boundingRect(), transform) & clip;
        const QColor color = toQColor(run.color, command.colorTransform);
        if (bounds.isEmpty() || color.alpha() == 0)
            continue;
        FillBrush brush;
        brush.brush = QBrush(color);
        out.push_back(fillItem(run.path, transform, bounds, brush));
        covered |= bounds;
    }
    return covered;
}

QRect CharacterItems::addEditText(const swf::EditText& field, const runtime::DrawCommand& command,
                                  const QRect& clip, PaintList& out)
{
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    const QRectF box(field.bounds.xMin.value, field.bounds.yMin.value, field.bounds.width().value,
                     field.bounds.height().value);
    const QRect bounds = deviceBounds(box, transform) & clip;
    if (bounds.isEmpty() || box.isEmpty())
        return {};
    QPainterPath boxPath;
    boxPath.addRect(box);
    m_paths.prepare(boxPath);

    // The border flag draws a white box with a black frame.
    if (field.border) {
        FillBrush background;
        background.brush = QBrush(toQColor(kBackgroundColor, command.colorTransform));
        out.push_back(fillItem(boxPath, transform, bounds, background));
    }
    const std::string& text = command.text ? *command.text : field.initialText;
    const auto glyphs = m_caches.texts.editText(field, text, movieOf(command, m_context.movie),
                                                scaleLevel(maxScale(transform)));
    const QColor color = toQColor(field.color, command.colorTransform);
    if (!glyphs->isEmpty() && color.alpha() > 0) {
        PaintItem push;
        push.kind = PaintItem::Kind::PushClip;
        push.path = boxPath;
        push.transform = transform;
        push.bounds = bounds;
        out.push_back(push);
        FillBrush brush;
        brush.brush = QBrush(color);
        out.push_back(fillItem(*glyphs, transform, bounds, brush));
        PaintItem pop;
        pop.kind = PaintItem::Kind::PopClip;
        out.push_back(pop);
    }
    if (field.border) {
        // The frame's one-pixel line lies just inside the box.
        const double inset = 0.5 / std::max(1e-6, averageScale(transform));
        QPainterPath framePath;
        framePath.addRect(box.adjusted(inset, inset, -inset, -inset));
        m_paths.prepare(framePath);
        PaintItem frame;
        frame.kind = PaintItem::Kind::Stroke;
        frame.path = framePath;
        frame.transform = transform;
        frame.bounds = bounds.adjusted(-1, -1, 1, 1) & clip;
        frame.pen = QPen(toQColor(kBorderColor, command.colorTransform), 1);
        frame.pen.setCosmetic(true);
        out.push_back(std::move(frame));
    }
    return bounds.adjusted(-1, -1, 1, 1) & clip;
}

void CharacterItems::addGeometry(const runtime::DrawCommand& command,
                                 std::vector<QPainterPath>& out)
{
    if (!command.character)
        return;
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    if (auto shape = shapeFor(command, transform)) {
        for (const PreparedLayer& layer : shape->layers)
            for (const PreparedFill& fill : layer.fills)
                out.push_back(transform.map(fill.path));
        return;
    }
    if (const auto* text = std::get_if<swf::StaticText>(&command.character->data)) {
        const QTransform textTransform = toQTransform(text->matrix) * transform;
        const auto prepared = m_caches.texts.staticText(*text, movieOf(command, m_context.movie),
                                                        scaleLevel(maxScale(textTransform)));
        for (const PreparedText::Run& run : prepared->runs)
            out.push_back(textTransform.map(run.path));
        return;
    }
    if (const auto* field = std::get_if<swf::EditText>(&command.character->data)) {
        QPainterPath box;
        box.addRect(QRectF(field->bounds.xMin.value, field->bounds.yMin.value,
                           field->bounds.width().value, field->bounds.height().value));
        out.push_back(transform.map(box));
    }
}

} // namespace render
