#pragma once

#include "BrushFactory.h"
#include "FrameContext.h"
#include "PaintItem.h"
#include "RenderCaches.h"
#include "SharedPaths.h"
#include "runtime/DrawList.h"

#include <vector>

namespace render {

// Turns one placed character (shape, morph, static or edit text) into paint items.
class CharacterItems {
public:
    CharacterItems(RenderCaches& caches, const FrameContext& context, SharedPaths& paths);

    // Appends what `command` draws inside `clip`; returns the device pixels it covers.
    QRect add(const runtime::DrawCommand& command, const QRect& clip, PaintList& out);

    // Prepares what the list's drawings need that the caches lack, before the
    // commands are added one by one.
    void prepareDrawings(const std::vector<runtime::DrawCommand>& commands);

    // Appends the areas `command` fills, in device pixels: what a mask clips to.
    void addGeometry(const runtime::DrawCommand& command, std::vector<QPainterPath>& out);

private:
    QRect addShape(const PreparedShape& shape, const runtime::DrawCommand& command,
                   const QTransform& transform, const QRect& clip, PaintList& out);
    QRect addStroke(const PreparedStroke& stroke, const runtime::DrawCommand& command,
                    const QTransform& transform, const QRect& clip, PaintList& out);
    QRect addStaticText(const swf::StaticText& text, const runtime::DrawCommand& command,
                        const QRect& clip, PaintList& out);
    QRect addEditText(const swf::EditText& field, const runtime::DrawCommand& command,
                      const QRect& clip, PaintList& out);
    std::shared_ptr<const PreparedShape> shapeFor(const runtime::DrawCommand& command,
                                                  const QTransform& transform);

    RenderCaches& m_caches;
    const FrameContext& m_context;
    SharedPaths& m_paths;
    BrushFactory m_brushes;
};

} // namespace render
