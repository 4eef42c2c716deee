#include "SharedPaths.h"

namespace render {

SharedPaths::SharedPaths() : m_image(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    m_painter.begin(&m_image);
}

SharedPaths& SharedPaths::forThisThread()
{
    thread_local SharedPaths paths;
    return paths;
}

void SharedPaths::prepare(const QPainterPath& path)
{
    if (path.isEmpty())
        return;
    path.boundingRect();
    const QRectF box = path.controlPointRect();
    // Drawing builds the vector form and its control-point box. Moved off the image, the
    // path is measured and then left alone: nothing is rasterised.
    m_painter.setTransform(QTransform::fromTranslate(-box.right() - 16, 0));
    m_painter.fillPath(path, Qt::black);
}

} // namespace render
