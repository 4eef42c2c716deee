#include "SharedPaths.h"

namespace render {

SharedPaths::SharedPaths() : m_image(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    m_painter.begin(&m_image);
}

void SharedPaths::prepare(const QPainterPath& path)
{
    if (path.isEmpty())
        return;
    path.boundingRect();
    path.controlPointRect();
    // Drawing builds the vector form and its control-point box; the 1x1 image keeps it cheap.
    m_painter.fillPath(path, Qt::black);
}

} // namespace render
