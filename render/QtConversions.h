#pragma once

#include "format/Geometry.h"
#include "format/Style.h"

#include <QColor>
#include <QRect>
#include <QTransform>

namespace render {

// The movie's matrix as Qt's: both map (x, y) to (a x + c y + tx, b x + d y + ty).
inline QTransform toQTransform(const swf::Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

// A colour after a colour transform, unpremultiplied as QColor keeps it.
inline QColor toQColor(swf::Rgba color, const swf::ColorTransform& transform)
{
    const swf::Rgba c = transform.isIdentity() ? color : transform.apply(color);
    return QColor(c.r, c.g, c.b, c.a);
}

// Line caps and joins as Qt's pens know them.
Qt::PenCapStyle toQtCap(swf::CapStyle cap);
Qt::PenJoinStyle toQtJoin(swf::JoinStyle join);

// Pixels per unit along the transform's axes, averaged: the factor a length grows by.
double averageScale(const QTransform& transform);
// The larger of the two: how finely outlines must be flattened.
double maxScale(const QTransform& transform);

// The device pixels a rectangle of path units may touch, antialiasing included.
QRect deviceBounds(const QRectF& bounds, const QTransform& transform);

} // namespace render
