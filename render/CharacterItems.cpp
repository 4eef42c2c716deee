#include "CharacterItems.h"

#include "BitmapItems.h"
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

// Where a command's bitmap fills find their pixels: a drawing's own, not the movie's.
const std::vector<runtime::DrawnBitmap>* drawnBitmaps(const runtime::DrawCommand& command)
{
    return command.kind == runtime::DrawCommand::Kind::Drawing ? &command.drawingBitmaps : nullptr;
}

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
    const int level = scaleLevel(maxScale(transform));
    if (command.kind == runtime::DrawCommand::Kind::Drawing)
        return m_caches.shapes.getDrawing(command.drawing, command.objectId, command.contentVersion,
                                          level);
    if (!command.character)
        return nullptr;
    if (const auto* shape = std::get_if<swf::Shape>(&command.character->data))
        return m_caches.shapes.get(*shape, level);
    if (const auto* morph = std::get_if<swf::MorphShape>(&command.character->data))
        return m_caches.shapes.get(*morph, command.ratio, level);
    return nullptr;
}

void CharacterItems::prepareDrawings(const std::vector<runtime::DrawCommand>& commands)
{
    std::vector<ShapeCache::DrawingRequest> requests;
    for (const runtime::DrawCommand& command : commands) {
        if (command.kind != runtime::DrawCommand::Kind::Drawing || !command.drawing)
            continue;
        const QTransform transform = toQTransform(command.matrix) * m_context.view;
        requests.push_back({command.drawing, command.objectId, command.contentVersion,
                            scaleLevel(maxScale(transform))});
    }
    if (!requests.empty())
        m_caches.shapes.prepareDrawings(std::move(requests));
}

QRect CharacterItems::add(const runtime::DrawCommand& command, const QRect& clip, PaintList& out)
{
    if (command.bitmap)
        return addBitmapItem(command, m_context, m_caches.bitmaps, clip, out);
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    if (auto shape = shapeFor(command, transform))
        return addShape(*shape, command, transform, clip, out);
    if (!command.character)
        return {};
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
            const FillBrush brush = m_brushes.make(
                *fill.style, command.colorTransform, movieOf(command, m_context.movie),
                m_context.quality, fill.path.boundingRect(), transform, drawnBitmaps(command));
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
        brush =
            m_brushes.make(*line.fill, command.colorTransform, movieOf(command, m_context.movie),
                           m_context.quality, stroke.bounds, transform, drawnBitmaps(command));
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

    if (command.boxBackground) {
        FillBrush background;
        background.brush = QBrush(toQColor(*command.boxBackground, command.colorTransform));
        out.push_back(fillItem(boxPath, transform, bounds, background));
    }
    const auto prepared =
        command.textLayout
            ? m_caches.texts.editText(command.textLayout, field.bounds, command.textScrollX,
                                      command.textScrollY, movieOf(command, m_context.movie),
                                      scaleLevel(maxScale(transform)))
            : nullptr;
    // The focused field's selection shows as a black box, its letters white in it.
    QPainterPath selected;
    for (const swf::Rect& part : command.textSelection)
        selected.addRect(
            QRectF(part.xMin.value, part.yMin.value, part.width().value, part.height().value));
    if (!selected.isEmpty()) {
        m_paths.prepare(selected);
        FillBrush black;
        black.brush = QBrush(toQColor(swf::Rgba{0, 0, 0, 255}, command.colorTransform));
        out.push_back(fillItem(selected, transform, bounds, black));
    }
    if (prepared && !prepared->runs.empty()) {
        const auto letters = [&](const QPainterPath& clipPath, std::optional<swf::Rgba> over) {
            PaintItem push;
            push.kind = PaintItem::Kind::PushClip;
            push.path = clipPath;
            push.transform = transform;
            push.bounds = bounds;
            out.push_back(push);
            for (const PreparedText::Run& run : prepared->runs) {
                const QColor color = toQColor(over.value_or(run.color), command.colorTransform);
                if (color.alpha() == 0)
                    continue;
                FillBrush brush;
                brush.brush = QBrush(color);
                out.push_back(fillItem(run.path, transform, bounds, brush));
            }
            PaintItem pop;
            pop.kind = PaintItem::Kind::PopClip;
            out.push_back(pop);
        };
        letters(boxPath, std::nullopt);
        if (!selected.isEmpty())
            letters(selected.intersected(boxPath), swf::Rgba{255, 255, 255, 255});
    }
    if (command.textCaret) {
        // One pixel wide, whatever the scale.
        const double wide = 1 / std::max(1e-6, averageScale(transform));
        QPainterPath caret;
        caret.addRect(QRectF(command.textCaret->xMin.value, command.textCaret->yMin.value, wide,
                             command.textCaret->height().value));
        m_paths.prepare(caret);
        FillBrush black;
        black.brush = QBrush(toQColor(swf::Rgba{0, 0, 0, 255}, command.colorTransform));
        out.push_back(fillItem(caret, transform, bounds, black));
    }
    if (command.boxBorder) {
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
        frame.pen = QPen(toQColor(*command.boxBorder, command.colorTransform), 1);
        frame.pen.setCosmetic(true);
        out.push_back(std::move(frame));
    }
    return bounds.adjusted(-1, -1, 1, 1) & clip;
}

void CharacterItems::addGeometry(const runtime::DrawCommand& command,
                                 std::vector<QPainterPath>& out)
{
    if (command.bitmap) {
        out.push_back(bitmapOutline(command, m_context));
        return;
    }
    const QTransform transform = toQTransform(command.matrix) * m_context.view;
    if (auto shape = shapeFor(command, transform)) {
        for (const PreparedLayer& layer : shape->layers)
            for (const PreparedFill& fill : layer.fills)
                out.push_back(transform.map(fill.path));
        return;
    }
    if (!command.character)
        return;
    if (const auto* text = std::get_if<swf::StaticText>(&command.character->data)) {
        const QTransform textTransform = toQTransform(text->matrix) * transform;
        const auto prepared = m_caches.texts.staticText(*text, movieOf(command, m_context.movie),
                                                        scaleLevel(maxScale(textTransform)));
        for (const PreparedText::Run& run : prepared->runs)
            out.push_back(textTransform.map(run.path));
        return;
    }
    if (const auto* field = std::get_if<swf::EditText>(&command.character->data)) {
        // A field masks with the shapes of its letters, all of them: the box that cuts
        // what it shows does not cut what it masks.
        const auto prepared =
            command.textLayout
                ? m_caches.texts.editText(command.textLayout, field->bounds, command.textScrollX,
                                          command.textScrollY, movieOf(command, m_context.movie),
                                          scaleLevel(maxScale(transform)))
                : nullptr;
        if (prepared) {
            for (const PreparedText::Run& run : prepared->runs)
                out.push_back(transform.map(run.path));
            return;
        }
        QPainterPath box;
        box.addRect(QRectF(field->bounds.xMin.value, field->bounds.yMin.value,
                           field->bounds.width().value, field->bounds.height().value));
        out.push_back(transform.map(box));
    }
}

} // namespace render
