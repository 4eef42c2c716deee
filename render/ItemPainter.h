#pragma once

#include "PaintItem.h"
#include "Quality.h"

#include <QImage>
#include <QRegion>
#include <optional>

namespace render {

// Draws a compiled list onto a surface: the stage image, one band of it, or a group's
// layer. `origin` is the device position of the surface's top-left pixel.
class ItemPainter {
public:
    ItemPainter(QImage& surface, QPoint origin, Quality quality)
        : m_surface(surface), m_origin(origin), m_quality(quality)
    {}

    // Draws the items that touch `clip` (device coordinates), inside it, over the
    // background colour if one is set.
    void paint(const PaintList& items, const QRegion& clip);
    void setBackground(QColor color) { m_background = color; }
    // The whole image the surface is part of (a band's stage image), device pixels.
    void setFrame(const QRect& frame) { m_frame = frame; }

private:
    void drawLayer(QPainter& painter, const PaintItem& item, const QRect& clipBounds);

    QImage& m_surface;
    QPoint m_origin;
    Quality m_quality;
    std::optional<QColor> m_background;
    QRect m_frame;
};

} // namespace render
